#!/usr/bin/env bash
# Takes a screenshot of torvale.exe with the sample model loaded, for the README:
#   bash tools/screenshot.sh [OUTPUT.png] [BUILD_DIR]
# OUTPUT defaults to docs/screenshot.png, BUILD_DIR to build/mingw-x64 (configured and built when needed).
# The program runs under Wine on its own virtual display and in a fresh Wine prefix; the end-to-end driver
# opens the sample model through File, Import OOF like a user, then ImageMagick's `import` grabs the screen.
set -eu
cd "$(dirname "$0")/.."
root=$PWD
output=${1:-docs/screenshot.png}
build=${2:-build/mingw-x64}
source tools/packages.sh
ensure_packages "${WINDOWS_PACKAGES[@]}" imagemagick

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset mingw-x64 -B "$build" >/dev/null
fi
build_log=$(mktemp)
cmake --build "$build" -j 2 --target torvale torvale_driver >"$build_log" 2>&1 || {
    tail -n 40 "$build_log" >&2
    rm -f "$build_log"
    exit 1
}
rm -f "$build_log"
exe=$(find "$build" -name torvale.exe -path '*src/win32*' | head -n 1)
driver=$(find "$build" -name torvale_driver.exe | head -n 1)
[ -n "$exe" ] && [ -n "$driver" ] || {
    echo "screenshot: torvale.exe or torvale_driver.exe was not built in $build" >&2
    exit 1
}

# A display of our own even when one is set, so that the picture holds nothing but the program.
unset DISPLAY
source tests/e2e/wine-env.sh
work=$(mktemp -d /tmp/torvale-shot.XXXXXX)
program=
finish() {
    [ -n "$program" ] && kill "$program" 2>/dev/null
    torvale_wine_stop
    rm -rf "$work"
}
trap finish EXIT
torvale_wine_start

cp "$exe" "$(dirname "$exe")/texlate.rsc" "$work/"
cp samples/sample.oof "$work/"
drive() { "$TORVALE_WINE64" "$driver" "$@" </dev/null; }

"$TORVALE_WINE64" "$work/torvale.exe" </dev/null >/dev/null 2>&1 &
program=$!
drive wait-main
drive post-command mnuFileImportOOF file-dialog "Import OOF file" "$(torvale_winpath "$work/sample.oof")"
drive caption

mkdir -p "$(dirname "$output")"
case "$output" in
/*) ;;
*) output=$root/$output ;;
esac
# Only the main window: the desktop around it is empty.
import -window root -crop "$(drive window-rect | tr -d '\r')" +repage "$output"
drive close
wait "$program" || true
program=
echo "Wrote $output"
