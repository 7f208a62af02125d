# Wine for the Windows builds' tests: sourced by wine-run.sh, the end-to-end scenarios and tools/screenshot.sh.
#
#   source tests/e2e/wine-env.sh
#   torvale_wine_start [SESSION_FILE]   fresh prefix under /tmp, a virtual display when DISPLAY is unset, the
#                                       wineserver and Wine's services started detached; writes SESSION_FILE
#   torvale_wine_attach SESSION_FILE    joins a session that another process started
#   torvale_wine_stop [SESSION_FILE]    ends the wineserver and the display and removes the prefix
#
# Only the 64-bit loader is used: 32-bit programs cannot run on these machines. Run as a script,
# `bash wine-env.sh start|stop SESSION_FILE` does the same, for ctest's fixture tests.

# Wine without address space randomisation (see wine64.sh), for every Windows program the tests start.
TORVALE_WINE64=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64.sh
TORVALE_WINESERVER=/usr/lib/wine/wineserver64

# No debug chatter, and no prompt to install Mono or Gecko.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Runs a Wine program with nothing of it tied to the caller's output: the services that the first Wine
# process starts would otherwise hold the caller's pipes open for as long as the wineserver lives.
torvale_wine_detached() {
    "$TORVALE_WINE64" "$@" </dev/null >/dev/null 2>&1
}

# Starts Xvfb on a display number that it picks itself (-displayfd) and waits until it accepts clients.
torvale_start_display() {
    local dir=$1
    command -v Xvfb >/dev/null || {
        echo "wine-env: Xvfb is not installed" >&2
        return 1
    }
    : >"$dir/display"
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" </dev/null >/dev/null 2>&1 &
    TORVALE_XVFB_PID=$!
    local i
    for i in $(seq 100); do
        [ -s "$dir/display" ] && break
        sleep 0.05
    done
    [ -s "$dir/display" ] || {
        echo "wine-env: Xvfb did not start" >&2
        return 1
    }
    export DISPLAY=":$(tr -dc 0-9 <"$dir/display")"
}

torvale_wine_start() {
    local dir
    dir=$(mktemp -d /tmp/torvale-wine.XXXXXX) || return 1
    local session=${1:-$dir/session}
    TORVALE_WINE_DIR=$dir
    TORVALE_XVFB_PID=
    export WINEPREFIX=$dir/prefix
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"

    # Settings that must be in place before the first program runs, seeded into the new prefix's user registry
    # (wineboot adds its defaults around them). Xvfb has no window manager: Wine's own desktop gives windows
    # their frames and close boxes. Arial, Courier New and Times New Roman fall back to the metric-compatible
    # Liberation faces.
    cat >"$WINEPREFIX/user.reg" <<'EOF'
WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

#arch=win64

[Software\\Wine\\Explorer] 1700000000
"Desktop"="Default"

[Software\\Wine\\Explorer\\Desktops] 1700000000
"Default"="1024x768"

[Software\\Wine\\Fonts\\Replacements] 1700000000
"Arial"="Liberation Sans"
"Courier New"="Liberation Mono"
"Times New Roman"="Liberation Serif"
EOF
    # Wine 8 does not read its own fonts from their Debian folder: linked into the prefix, MS Sans Serif,
    # Tahoma and MS Shell Dlg resolve and dialog units come out as on Windows.
    ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"

    # The display comes first: the desktop window that wineboot makes stays on the display it was made on.
    if [ -z "${DISPLAY:-}" ]; then
        torvale_start_display "$dir" || return 1
    fi
    "$TORVALE_WINESERVER" -p </dev/null >/dev/null 2>&1
    torvale_wine_detached wineboot -i || {
        echo "wine-env: wineboot failed in $WINEPREFIX" >&2
        return 1
    }

    {
        echo "export WINEPREFIX='$WINEPREFIX'"
        echo "export DISPLAY='$DISPLAY'"
        echo "TORVALE_WINE_DIR='$dir'"
        echo "TORVALE_XVFB_PID='$TORVALE_XVFB_PID'"
    } >"$session"
    TORVALE_WINE_SESSION=$session
}

torvale_wine_attach() {
    local session=$1
    [ -f "$session" ] || return 1
    # shellcheck disable=SC1090
    source "$session"
    [ -d "$WINEPREFIX" ] || return 1
    TORVALE_WINE_SESSION=$session
}

torvale_wine_stop() {
    local session=${1:-${TORVALE_WINE_SESSION:-}}
    [ -n "$session" ] && [ -f "$session" ] && source "$session"
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        "$TORVALE_WINESERVER" -k </dev/null >/dev/null 2>&1
        "$TORVALE_WINESERVER" -w </dev/null >/dev/null 2>&1
    fi
    if [ -n "${TORVALE_XVFB_PID:-}" ]; then
        kill "$TORVALE_XVFB_PID" 2>/dev/null
        wait "$TORVALE_XVFB_PID" 2>/dev/null
        unset DISPLAY
    fi
    case "${TORVALE_WINE_DIR:-}" in
    /tmp/torvale-wine.*) rm -rf "$TORVALE_WINE_DIR" ;;
    esac
    [ -n "$session" ] && rm -f "$session"
    unset WINEPREFIX TORVALE_WINE_DIR TORVALE_XVFB_PID TORVALE_WINE_SESSION
    return 0
}

# Windows path of a Unix path: Wine maps / to drive Z:.
torvale_winpath() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    case "${1:-}" in
    start)
        # A session left behind by an interrupted run goes first.
        [ -f "${2:?session file}" ] && torvale_wine_stop "$2"
        torvale_wine_start "$2"
        ;;
    stop) torvale_wine_stop "${2:?session file}" ;;
    *)
        echo "usage: bash wine-env.sh start|stop SESSION_FILE" >&2
        exit 2
        ;;
    esac
fi
