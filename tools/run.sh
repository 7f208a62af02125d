#!/usr/bin/env bash
# Runs TORVALE. With a display, the Windows program opens under Wine (on Windows itself, start torvale.exe
# from the release folder instead). Without a display, the command-line tool converts the bundled sample
# model: its report, then its rooms as ORF files in out/.
# Installs the Debian packages it needs when they are missing (run as root on a fresh machine).
set -eu
cd "$(dirname "$0")/.."
source tools/packages.sh
ensure_packages "${NATIVE_PACKAGES[@]}"

JOBS=$(nproc 2>/dev/null || echo 2)
# Builds of its own, so that the test suite's build folders keep their settings.
cmake --preset dev -B build/run -DTORVALE_TESTS=OFF >/dev/null
cmake --build build/run -j "$JOBS" --target torvale-cli >/dev/null
cli=build/run/src/cli/torvale-cli

if [ -n "${DISPLAY:-}" ] && [ -f src/win32/CMakeLists.txt ]; then
    ensure_packages "${WINDOWS_PACKAGES[@]}"
    cmake --preset mingw-x64 -B build/run-mingw-x64 -DTORVALE_TESTS=OFF >/dev/null
    cmake --build build/run-mingw-x64 -j "$JOBS" --target torvale >/dev/null
    exe=build/run-mingw-x64/src/win32/torvale.exe
    echo "Starting $exe under Wine on display $DISPLAY"
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-torvale}
    /usr/lib/wine/wineserver64 -p </dev/null >/dev/null 2>&1 || true
    tests/e2e/wine64.sh wineboot </dev/null >/dev/null 2>&1 || true
    exec tests/e2e/wine64.sh "$exe"
fi

[ -n "${DISPLAY:-}" ] || echo "No display: running the command-line conversion of the sample model instead."
mkdir -p out
"$cli" report samples/sample.oof
echo
"$cli" export samples/sample.oof -o out/sample.orf
