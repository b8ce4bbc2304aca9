#!/usr/bin/env bash
# Starts the real program under a virtual X server with a fresh home, waits
# for its main window, and checks the journal it created.
set -euo pipefail
program=$1
template=$(dirname "$program")/master.gen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/.config
unset QT_QPA_PLATFORM XDG_DOCUMENTS_DIR

xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x1024x24" bash -c '
  "$1" & pid=$!
  found=0
  for _ in $(seq 1 150); do
    # The main window: caption Movilibro, client area 978x575.
    if xwininfo -root -tree 2>/dev/null | grep -q "\"Movilibro\".*978x575"; then found=1; break; fi
    sleep 0.2
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ "$found" = 1 ] || { echo "main window not seen" >&2; exit 1; }
' _ "$program"

journal=$work/Documents/MovilibroDB/movilibro.mdb
[ -f "$journal" ] || { echo "journal not created" >&2; exit 1; }
cmp -s "$journal" "$template" || { echo "journal differs from the template" >&2; exit 1; }
[ "$(sqlite3 "$journal" 'PRAGMA integrity_check')" = ok ] || { echo "journal damaged" >&2; exit 1; }
tables=$(sqlite3 "$journal" "SELECT group_concat(name, ',') FROM (SELECT name FROM sqlite_master WHERE type='table' AND name IN ('Movilibro','Conti','Parametri') ORDER BY name)")
[ "$tables" = "Conti,Movilibro,Parametri" ] || { echo "tables: $tables" >&2; exit 1; }
echo "end-to-end: main window shown, journal created from the template"
