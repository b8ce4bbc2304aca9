#!/usr/bin/env bash
# Builds the Debian package from the built tree into a folder of its own, checks
# its contents and dependencies, then unpacks it elsewhere and starts the program
# from there: it must make its journal from the packaged template.
# Environment: BUILD_DIR APP_ID PRIVATEDIR BINDIR DATADIR MANDIR ICON_SIZES VERSION.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'stop_xserver; rm -rf "$work"' EXIT
source "$here/testlib.sh"

cpack -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$work/cpack.log")"
debs=("$work"/out/movilibro_"$VERSION"_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "no package: $(ls "$work/out")"
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = movilibro ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$VERSION" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
case $(field Section) in misc | office) ;; *) fail "Section: $(field Section)" ;; esac

# Files, as dpkg lists them (./usr/...).
dpkg-deb -c "$deb" >"$work/listing"
awk '{ print $6 }' "$work/listing" | sed 's|^\./||' >"$work/contents"
listed() { grep -qx "$1" "$work/contents" || fail "package lacks $1"; }
listed "usr/$BINDIR/movilibro"
listed "usr/$PRIVATEDIR/movilibro"
listed "usr/$PRIVATEDIR/master.gen"
listed "usr/$DATADIR/applications/$APP_ID.desktop"
listed "usr/$DATADIR/metainfo/$APP_ID.metainfo.xml"
listed "usr/$DATADIR/icons/hicolor/scalable/apps/$APP_ID.svg"
listed "usr/$MANDIR/man1/movilibro.1"
for size in $ICON_SIZES; do
    listed "usr/$DATADIR/icons/hicolor/${size}x${size}/apps/$APP_ID.png"
done
grep -q "^l.* \./usr/$BINDIR/movilibro -> \.\./" "$work/listing" || fail "bin/movilibro is not a relative link"

# Depends: every shared library the program loads is provided by a declared
# package (found by dpkg-shlibdeps), plus what is only loaded at run time.
depends=$(field Depends)
declared() {
    local item items
    IFS=, read -ra items <<<"$depends"
    for item in "${items[@]}"; do
        item=${item# }
        [ "${item%% *}" = "$1" ] && return 0
    done
    return 1
}
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6svg6 libqt6charts6 libsqlite3-0 \
    libquazip1-qt6-1 libfreexl1 libofx7 libxlsxwriter4 qt6-translations-l10n; do
    declared "$package" || fail "Depends lacks $package: $depends"
done
dpkg-deb -x "$deb" "$work/root"
program=$work/root/usr/$PRIVATEDIR/movilibro
objdump -p "$program" | awk '/NEEDED/ { print $2 }' >"$work/needed"
for library in libmdb libquazip1-qt6 libfreexl libofx; do
    grep -q "^$library\.so" "$work/needed" || fail "the program does not load $library"
done
while read -r soname; do
    # "name => path (address)", or "path (address)" for the dynamic loader.
    path=$(ldd "$program" | awk -v so="$soname" '$2 == "=>" && $1 == so { print $3 } substr($1, length($1) - length(so)) == "/" so { print $1 }')
    [ -f "$path" ] || fail "cannot find $soname"
    # By folder and name, as /lib and /usr/lib are one on merged systems.
    owner=$(dpkg -S "*/$(basename "$(dirname "$path")")/$soname" 2>/dev/null |
        awk -F': ' 'NR == 1 { sub(/[:,].*/, "", $1); print $1 }')
    [ -n "$owner" ] || fail "no package owns $soname"
    declared "$owner" || fail "Depends lacks $owner (for $soname): $depends"
done <"$work/needed"

# The unpacked program, started through its link, finds the packaged template.
mark_template "$work/root/usr/$PRIVATEDIR/master.gen"
first_start "$work/root/usr/$BINDIR/movilibro"
expect_journal_from "$work/root/usr/$PRIVATEDIR/master.gen"
imports_statements "$work/root/usr/$BINDIR/movilibro" "$work/root/usr/$PRIVATEDIR/master.gen"

echo "package: $(basename "$deb"), Depends: $depends"
