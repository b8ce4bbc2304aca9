# Shared by the install tests; sourced, never run. Expects $work (a temporary folder).

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Fails unless the file or link exists under the given root.
expect_files() {
    local root=$1
    shift
    local f
    for f in "$@"; do
        [ -e "$root/$f" ] || [ -L "$root/$f" ] || fail "missing: $f"
    done
}

# A private X server. -displayfd lets the server pick a free display itself, so
# tests running side by side never race for the same one.
start_xserver() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    local _
    for _ in $(seq 1 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || fail "the X server did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=":$(head -n1 "$work/display")"
}

stop_xserver() {
    if [ -n "${xvfb_pid:-}" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    xvfb_pid=
}

# The first start of PROGRAM with an empty home: waits until its main window is
# shown, then ends it. Sets $journal and $window_class ("instance" "class").
first_start() {
    local program=$1
    local home=$work/home
    mkdir -p "$home"
    journal=$home/Documents/MovilibroDB/movilibro.mdb
    window_class=

    start_xserver
    (
        export HOME=$home
        unset QT_QPA_PLATFORM XDG_CONFIG_HOME XDG_DOCUMENTS_DIR XDG_DATA_DIRS WAYLAND_DISPLAY
        exec "$program" >"$work/program.log" 2>&1
    ) &
    local pid=$! line="" _
    for _ in $(seq 1 150); do
        # The main window is the viewable top-level window called Movilibro that
        # carries the journal grid, so wider than the splash.
        line=$(main_window_line || true)
        [ -n "$line" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.2
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    stop_xserver
    [ -n "$line" ] || fail "main window not seen; program output: $(cat "$work/program.log")"
    window_class=$(sed -n 's/.*"Movilibro": (\(.*\)) .*/\1/p' <<<"$line")
}

main_window_line() {
    local id
    xwininfo -root -tree 2>/dev/null | grep '"Movilibro": (' | while read -r id _; do
        local info
        info=$(xwininfo -id "$id" 2>/dev/null) || continue
        grep -q 'Map State: IsViewable' <<<"$info" || continue
        [ "$(sed -n 's/^ *Width: //p' <<<"$info")" -ge 640 ] || continue
        xwininfo -root -tree 2>/dev/null | grep "^ *$id "
        break
    done
}

# The journal a first start made must be a byte-for-byte copy of the template
# that lies beside the real executable.
expect_journal_from() {
    local template=$1
    [ -f "$journal" ] || fail "journal not created: $journal"
    cmp -s "$journal" "$template" || fail "journal differs from $template"
    [ "$(sqlite3 "$journal" 'PRAGMA integrity_check')" = ok ] || fail "journal damaged"
}

# Marks a template so a journal copied from it can be told from any other.
mark_template() {
    sqlite3 "$1" "INSERT INTO Parametri (Chiave, Valore) VALUES ('install_test_mark', $$)" ||
        fail "cannot mark $1"
}

# PROGRAM imports the sample statements of every library it reads them with
# (QuaZip, FreeXL, LibOFX and the OFX definitions LibOFX finds on its own)
# into a journal made from TEMPLATE.
imports_statements() {
    local program=$1 template=$2 folder=$work/statements samples=$SOURCE_DIR/tests/data/statement
    mkdir -p "$folder"
    cp "$template" "$folder/movilibro.mdb"
    local file expected output account=0
    # Each into an account of its own: the card's movements are in two of the files.
    for file in "conto.ofx|4 movimenti importati" "carta.qfx|3 movimenti importati" \
        "movimenti.xlsx --sheet Carta|3 movimenti importati" "movimenti.xls|4 movimenti importati"; do
        expected=${file#*|}
        file=${file%|*}
        account=$((account + 1))
        sqlite3 "$folder/movilibro.mdb" "INSERT INTO Conti (cntNome) VALUES ('Conto $account')" ||
            fail "cannot add an account"
        # shellcheck disable=SC2086 # the sheet option is split on purpose
        output=$(HOME=$work/home QT_QPA_PLATFORM=offscreen "$program" --db "$folder" --account "Conto $account" \
            --import-statement "$samples/"$file 2>&1) || fail "import of $file: $output"
        grep -q "$expected" <<<"$output" || fail "import of $file: $output"
    done
    [ "$(sqlite3 "$folder/movilibro.mdb" 'SELECT count(*) FROM Movilibro')" = 14 ] || fail "not 14 entries imported"
}
