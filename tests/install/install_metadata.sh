#!/usr/bin/env bash
# The installed desktop entry, AppStream metainfo and manual page, checked with
# the tools that desktops and Debian use on them.
# Environment: BUILD_DIR APP_ID BINDIR DATADIR MANDIR VERSION.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$here/testlib.sh"

prefix=$work/prefix
cmake --install "$BUILD_DIR" --prefix "$prefix" >"$work/install.log" || fail "install: $(cat "$work/install.log")"
desktop=$prefix/$DATADIR/applications/$APP_ID.desktop
metainfo=$prefix/$DATADIR/metainfo/$APP_ID.metainfo.xml
manpage=$prefix/$MANDIR/man1/movilibro.1

# Desktop entry: valid, and it launches and shows what is installed.
desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 || fail "desktop entry: $(cat "$work/desktop.log")"
[ ! -s "$work/desktop.log" ] || fail "desktop entry: $(cat "$work/desktop.log")"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Name)" = Movilibro ] || fail "Name=$(entry Name)"
[ "$(entry Exec)" = movilibro ] || fail "Exec=$(entry Exec)"
[ -L "$prefix/$BINDIR/$(entry Exec)" ] || fail "Exec names no installed program"
[ "$(entry Icon)" = "$APP_ID" ] || fail "Icon=$(entry Icon)"
[ "$(entry Categories)" = "Office;Finance;" ] || fail "Categories=$(entry Categories)"
entry Comment | grep -q 'entrate e le uscite' || fail "Comment is not Italian: $(entry Comment)"

# AppStream: valid on its own and together with the desktop entry and icons.
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    fail "metainfo: $(cat "$work/appstream.log")"
appstreamcli validate-tree --no-net "$prefix" >"$work/tree.log" 2>&1 ||
    fail "installed tree: $(cat "$work/tree.log")"
grep -q '<description xml:lang="it">\|<p xml:lang="it">' "$metainfo" || fail "no Italian description"
grep -q "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" "$metainfo" || fail "no launchable"
grep -q '<content_rating type="oars-1.1"' "$metainfo" || fail "no content rating"
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n1 | cut -d'"' -f2)
[ "$newest" = "$VERSION" ] || fail "newest release $newest, program version $VERSION"

# Manual page: renders without a single warning, in Italian, naming every option.
MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "$manpage" >"$work/man.txt" 2>"$work/man.log" ||
    fail "man: $(cat "$work/man.log")"
[ ! -s "$work/man.log" ] || fail "man warnings: $(cat "$work/man.log")"
grep -q '^NOME' "$work/man.txt" || fail "manual page is not in Italian"
grep -q "Movilibro $VERSION" "$work/man.txt" || fail "manual page does not carry version $VERSION"
for option in --export-pdf --export-csv --from --to --layout --db --import-mdb --restore --help --version; do
    grep -Eq -- "^ *(-[a-z], )?$option\b" "$work/man.txt" || fail "manual page lacks $option"
done

# ...and every option the program itself lists.
QT_QPA_PLATFORM=offscreen "$prefix/$BINDIR/movilibro" --help >"$work/help.txt" 2>"$work/help.err" ||
    fail "--help: $(cat "$work/help.err")"
options=$(grep -o -- '--[a-z][a-z-]*' "$work/help.txt" | sort -u)
[ -n "$options" ] || fail "--help lists no options"
for option in $options; do
    grep -Eq -- "^ *(-[a-z], )?$option\b" "$work/man.txt" || fail "manual page lacks $option, listed by --help"
done

echo "metadata: desktop entry, metainfo and manual page accepted"
