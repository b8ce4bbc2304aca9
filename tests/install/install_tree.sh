#!/usr/bin/env bash
# Installs the build once into a temporary prefix and checks every installed
# file; the desktop entry, AppStream metainfo and manual page with the tools
# that desktops and Debian use on them. Then starts the installed program
# through its bin/ link with an empty home under a private X server: its main
# window must show, and it must make its journal from the template beside its
# real executable.
# Environment: BUILD_DIR SOURCE_DIR APP_ID PRIVATEDIR BINDIR DATADIR MANDIR ICON_SIZES VERSION.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'stop_xserver; rm -rf "$work"' EXIT
source "$here/testlib.sh"

prefix=$work/prefix
cmake --install "$BUILD_DIR" --prefix "$prefix" >"$work/install.log" || fail "install: $(cat "$work/install.log")"

icons=()
for size in $ICON_SIZES; do
    icons+=("$DATADIR/icons/hicolor/${size}x${size}/apps/$APP_ID.png")
done
expect_files "$prefix" \
    "$BINDIR/movilibro" \
    "$PRIVATEDIR/movilibro" \
    "$PRIVATEDIR/master.gen" \
    "$DATADIR/applications/$APP_ID.desktop" \
    "$DATADIR/metainfo/$APP_ID.metainfo.xml" \
    "$DATADIR/icons/hicolor/scalable/apps/$APP_ID.svg" \
    "$MANDIR/man1/movilibro.1" \
    "${icons[@]}"

# bin/movilibro: a relative link to the executable, so the tree can move.
link=$prefix/$BINDIR/movilibro
[ -L "$link" ] || fail "$BINDIR/movilibro is not a link"
case $(readlink "$link") in /*) fail "absolute link: $(readlink "$link")" ;; esac
[ "$(readlink -f "$link")" = "$(readlink -f "$prefix/$PRIVATEDIR/movilibro")" ] ||
    fail "$BINDIR/movilibro points to $(readlink "$link")"
[ -x "$prefix/$PRIVATEDIR/movilibro" ] || fail "the program is not executable"
kind=$(file -L -b "$link")
[[ $kind == ELF*executable* ]] || fail "not a program: $kind"

cmp -s "$prefix/$PRIVATEDIR/master.gen" "$BUILD_DIR/bin/master.gen" || fail "installed template differs"
cmp -s "$prefix/$DATADIR/icons/hicolor/scalable/apps/$APP_ID.svg" "$SOURCE_DIR/resources/icons/movilibro.svg" ||
    fail "the scalable icon is not the program's artwork"

# Each PNG has the size of its folder and an alpha channel.
for size in $ICON_SIZES; do
    png=$prefix/$DATADIR/icons/hicolor/${size}x${size}/apps/$APP_ID.png
    kind=$(file -b "$png")
    [[ $kind == "PNG image data, $size x $size, 8-bit/color RGBA"* ]] || fail "icon ${size}x${size}: $kind"
done

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

# The first start through the link. The installed template is marked so the
# journal can only have come from it, not from the build tree.
mark_template "$prefix/$PRIVATEDIR/master.gen"
first_start "$link"
expect_journal_from "$prefix/$PRIVATEDIR/master.gen"
imports_statements "$link" "$prefix/$PRIVATEDIR/master.gen"

# The desktop entry's StartupWMClass must match the window, or docks show a
# second, generic icon for the running program.
wm_class=$(sed -n 's/^StartupWMClass=//p' "$prefix/$DATADIR/applications/$APP_ID.desktop")
[ "$window_class" = "\"movilibro\" \"$wm_class\"" ] ||
    fail "window class $window_class, desktop entry says $wm_class"

echo "install tree: every file in place, metadata accepted; the program started through its link made its journal and imported statements"
