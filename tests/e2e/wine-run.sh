#!/usr/bin/env bash
# Runs a 64-bit Windows program under Wine: the mingw-x64 build's CMAKE_CROSSCOMPILING_EMULATOR, so that
# ctest runs the Windows test programs as it runs native ones.
#   tests/e2e/wine-run.sh PROGRAM.exe [ARGS]...
# Under ctest the tests share one Wine session, started by the fixture test wine_session_start and named by
# TORVALE_WINE_SESSION. Run by hand, it starts a session of its own and ends it when the program has ended.
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"

if [ -n "${TORVALE_WINE_SESSION:-}" ] && torvale_wine_attach "$TORVALE_WINE_SESSION"; then
    exec "$TORVALE_WINE64" "$@"
fi

torvale_wine_start || exit 1
trap torvale_wine_stop EXIT
"$TORVALE_WINE64" "$@"
