#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks every installed file, then
# starts the installed program through its bin/ link with an empty home: it must
# find the template beside its real executable and make the journal from it.
# Environment: BUILD_DIR APP_ID PRIVATEDIR BINDIR DATADIR MANDIR ICON_SIZES.
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

# The first start through the link. The installed template is marked so the
# journal can only have come from it, not from the build tree.
mark_template "$prefix/$PRIVATEDIR/master.gen"
first_start "$link"
expect_journal_from "$prefix/$PRIVATEDIR/master.gen"

# The desktop entry's StartupWMClass must match the window, or docks show a
# second, generic icon for the running program.
wm_class=$(sed -n 's/^StartupWMClass=//p' "$prefix/$DATADIR/applications/$APP_ID.desktop")
[ "$window_class" = "\"movilibro\" \"$wm_class\"" ] ||
    fail "window class $window_class, desktop entry says $wm_class"

echo "install tree: every file in place; the program started through its link made its journal"
