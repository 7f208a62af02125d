# shellcheck shell=bash
# The end-to-end scenarios' shared helpers, sourced by scenarios.sh before the scenario files: the scenario's
# folder and program, the driver, and the checks of log, caption, menu and files. Every wait here is on a state
# the driver or the shell can see (a window, a dialog, a text, a colour, the program's end), never on a time.

source "$here/wine-env.sh"

readonly TITLE="TORVALE Conversion Utility"
readonly CRLF=$'\r\n'

work=
program_pid=
own_session=

fail() {
    echo "FAIL [$scenario]: $*" >&2
    # What the program itself said (Wine's own messages among it) tells a crash from a wrong expectation.
    if [ -n "$work" ] && [ -s "$work/program.out" ]; then
        echo "--- the program's output:" >&2
        tail -n 20 "$work/program.out" >&2
    fi
    exit 1
}

cleanup() {
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
        echo "the program was still running; ending it" >&2
        kill "$program_pid" 2>/dev/null
        wait "$program_pid" 2>/dev/null
    fi
    [ -n "$work" ] && rm -rf "$work"
    [ -n "$own_session" ] && torvale_wine_stop
}
trap cleanup EXIT

setup() {
    for var in TORVALE_EXE TORVALE_DRIVER TORVALE_FIXTURES; do
        [ -f "${!var:-}" ] || fail "$var does not name a built program"
    done
    if [ -z "${TORVALE_WINE_SESSION:-}" ] || ! torvale_wine_attach "$TORVALE_WINE_SESSION"; then
        own_session=1
        torvale_wine_start || fail "cannot start Wine"
    fi
    work=$(mktemp -d /tmp/torvale-e2e.XXXXXX)
    mkdir -p "$work/app" "$work/fixtures" "$work/out"
    cp "$TORVALE_EXE" "$work/app/torvale.exe"
    "$TORVALE_WINE64" "$TORVALE_FIXTURES" "$(torvale_winpath "$work/fixtures")" </dev/null ||
        fail "cannot write the fixtures"
}

# The table that ships beside the program, or the fixtures' own, whose pairs the expected rooms follow.
use_shipped_texlate() {
    local shipped
    shipped=$(dirname "$TORVALE_EXE")/texlate.rsc
    [ -f "$shipped" ] || fail "no texlate.rsc beside $TORVALE_EXE"
    cp "$shipped" "$work/app/texlate.rsc"
}
use_fixture_texlate() { cp "$work/fixtures/texlate.rsc" "$work/app/texlate.rsc"; }

# A driver that ends without a word of its own (Wine could not start it, or it crashed) is named with its code.
drive() {
    "$TORVALE_WINE64" "$TORVALE_DRIVER" "$@" </dev/null
    local status=$?
    [ "$status" -eq 0 ] || echo "(the driver ended with exit code $status: $*)" >&2
    return "$status"
}

# Arguments, if any, go to the program's command line.
start_program() {
    # The driver finds the program by its window class: another copy on this desktop would confuse it.
    drive wait-gone || fail "another TORVALE main window is open on this desktop"
    "$TORVALE_WINE64" "$work/app/torvale.exe" "$@" </dev/null >"$work/program.out" 2>&1 &
    program_pid=$!
}

start_and_wait() {
    start_program
    drive wait-main || fail "the main window did not appear"
    drive log >"$work/banner.txt" || fail "cannot read the log"
    check_banner "$work/banner.txt"
}

# The program ends by itself once its last window has gone, with exit code 0 unless "any" is given.
wait_program_end() {
    local deadline=$((SECONDS + 60))
    while kill -0 "$program_pid" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do
        sleep 0.1 # polling the process's end, not a wait for time to pass
    done
    kill -0 "$program_pid" 2>/dev/null && fail "the program did not end"
    wait "$program_pid"
    local status=$?
    program_pid=
    [ "$status" -eq 0 ] || [ "${1:-}" = any ] || fail "the program ended with exit code $status"
}

# Byte-for-byte comparison; on a difference, both files are shown with their control characters.
check_same() {
    local expected=$1 actual=$2 what=$3
    [ -f "$actual" ] || fail "$what: $actual was not written"
    if ! cmp -s "$expected" "$actual"; then
        echo "--- expected $what ($(stat -c %s "$expected") bytes)" >&2
        if LC_ALL=C grep -qa '[^[:print:][:space:]]' "$expected"; then
            od -An -tx1 "$expected" | head -n 12 >&2
            echo "--- actual ($(stat -c %s "$actual") bytes)" >&2
            od -An -tx1 "$actual" | head -n 12 >&2
        else
            diff <(cat -A "$expected") <(cat -A "$actual") | head -n 40 >&2
        fi
        fail "$what differs"
    fi
}

check_text() {
    local expected=$1 actual=$2 what=$3
    [ "$expected" = "$actual" ] || fail "$what: expected \"$expected\", got \"$actual\""
}

check_log() {
    local expected=$1 what=$2
    drive log >"$work/log.txt" || fail "cannot read the log"
    check_same "$expected" "$work/log.txt" "log $what"
}

check_caption() { check_text "$1" "$(drive caption)" "caption"; }

# The enabled flag of one menu item in the program's own menu dump.
menu_state() {
    drive menu | awk -F'|' -v id="$1" '$2 == id { print $4 }'
}
check_export_enabled() { check_text "$1" "$(menu_state 40003)" "Export ORF enabled"; }

# The banner: six lines ending in CR LF, the program's name first and a rule of 68 hyphens last.
check_banner() {
    local file=$1
    [ "$(grep -c $'\r$' "$file")" -eq 6 ] && [ "$(wc -l <"$file")" -eq 6 ] ||
        fail "the banner is not six CR LF lines: $(cat -A "$file")"
    [ "$(head -n 1 "$file")" = "-- Descent 3 TORVALE Conversion Utility --"$'\r' ] || fail "banner line 1"
    [ "$(tail -n 1 "$file")" = "$(printf '%068d' 0 | tr 0 -)"$'\r' ] || fail "banner line 6"
}

# Expected log files: the banner, then what follows it.
expect() {
    local name=$1
    shift
    cat "$work/banner.txt" "$@" >"$work/$name"
}
line() { printf '    %s%s%s' "$CRLF" "$1" "$CRLF"; }

import_oof() {
    drive post-command mnuFileImportOOF file-dialog "Import OOF file" "$(torvale_winpath "$work/fixtures/$1")" ||
        fail "Import OOF of $1"
}

export_orf() {
    drive post-command mnuFileExport file-dialog "Export ORF file" "$(torvale_winpath "$1")" ||
        fail "Export ORF to $1"
}

# The message box's text, then OK (or Cancel with "cancel").
message_text() {
    local command=message-box
    [ "${1:-}" = cancel ] && command=cancel-message-box
    drive "$command" "$TITLE" || fail "no message box titled $TITLE"
}
check_message() { check_text "$1" "$(message_text)" "message"; }
log_has() { drive log | grep -qaF -- "$1" || fail "the log does not hold \"$1\""; }
# The log's background on screen; the log repaints in its own time, so this waits for the colour to arrive.
check_background() { drive wait-log-background "$1" || fail "log background"; }

exit_program() {
    drive post-command mnuFileExit wait-gone || fail "File, Exit"
    wait_program_end
}

close_program() {
    drive close || fail "close"
    wait_program_end
}
