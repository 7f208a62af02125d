#!/usr/bin/env bash
# The release packages as a user gets them: each archive unpacked into an empty folder and its programs run
# there, with nothing of the build at hand.
#
#   bash tests/release/release_test.sh               makes the packages (tools/package.sh), then tests them
#   bash tests/release/release_test.sh --no-package  tests the packages already in dist/
#
# Linux: torvale-cli reports and exports the sample model. Windows, 64-bit, under Wine: the first start of
# torvale.exe creates TORVALE.ini beside it, the sample is imported through the open dialog and exported
# through the save dialog, the program closes; torvale-cli.exe reports and exports the sample. Windows, 32-bit:
# contents and imports only, since 32-bit programs cannot run on these machines. The three programs that
# export must write the same room, byte for byte, and the two tools the same report.
#
# The end-to-end driver is TORVALE_DRIVER when set, or built in build/release-driver. With TORVALE_WINE_SESSION
# the Windows part joins that Wine session; otherwise it starts one of its own (a fresh prefix).
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root" || exit 1
source tools/packages.sh
source tools/system_dlls.sh
source tests/e2e/wine-env.sh

readonly TITLE="TORVALE Conversion Utility"

work=
program_pid=
own_session=

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cleanup() {
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
        echo "torvale.exe was still running; ending it" >&2
        kill "$program_pid" 2>/dev/null
        wait "$program_pid" 2>/dev/null
    fi
    [ -n "$own_session" ] && torvale_wine_stop
    [ -n "$work" ] && rm -rf "$work"
}
trap cleanup EXIT

ensure_packages "${WINDOWS_PACKAGES[@]}" unzip || exit 1
if [ "${1:-}" != --no-package ]; then
    bash tools/package.sh || fail "packaging failed"
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release-linux/CMakeCache.txt 2>/dev/null)
[ -n "$version" ] || fail "no project version in build/release-linux: run tools/package.sh first"
work=$(mktemp -d /tmp/torvale-release.XXXXXX)

# The unpacked archive holds exactly one folder named like the archive, with exactly these files.
check_contents() {
    local into=$1 name=$2
    shift 2
    local expected actual
    expected=$(printf '%s\n' "$name" "${@/#/$name/}" | LC_ALL=C sort)
    actual=$(cd "$into" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort)
    [ "$expected" = "$actual" ] || fail "$name holds:"$'\n'"$actual"$'\n'"expected:"$'\n'"$expected"
    # The data files are the repository's own.
    cmp -s "$into/$name/texlate.rsc" data/texlate.rsc || fail "$name/texlate.rsc is not data/texlate.rsc"
    cmp -s "$into/$name/sample.oof" samples/sample.oof || fail "$name/sample.oof is not samples/sample.oof"
}

check_format() {
    local objdump=$1 format=$2
    shift 2
    local exe
    for exe in "$@"; do
        "$objdump" -f "$exe" | grep -q "file format $format\$" || fail "$exe is not a $format program"
    done
}

unzip_package() {
    local name=$1
    [ -f "dist/$name.zip" ] || fail "dist/$name.zip is missing"
    mkdir "$work/$name"
    unzip -q "dist/$name.zip" -d "$work/$name" || fail "cannot unzip dist/$name.zip"
    check_contents "$work/$name" "$name" readme.txt sample.oof texlate.rsc torvale-cli.exe torvale.exe
}

# ---------------------------------------------------------------------------------------------------------

linux() {
    local name
    name=TORVALE-$version-linux-$(uname -m)
    [ -f "dist/$name.tar.gz" ] || fail "dist/$name.tar.gz is missing"
    mkdir "$work/linux"
    tar -xzf "dist/$name.tar.gz" -C "$work/linux" || fail "cannot unpack dist/$name.tar.gz"
    check_contents "$work/linux" "$name" README.md sample.oof texlate.rsc torvale-cli
    local app=$work/linux/$name
    # A bare environment: nothing but the folder and the system.
    run_linux() { (cd "$app" && env -i PATH=/usr/bin:/bin ./torvale-cli "$@"); }
    [ "$(run_linux version)" = "torvale-cli $version" ] || fail "torvale-cli version: $(run_linux version)"
    run_linux report sample.oof >"$work/linux-report.txt" || fail "torvale-cli report sample.oof failed"
    grep -q '^Finished loading sample.oof$' "$work/linux-report.txt" ||
        fail "torvale-cli report did not load the sample: $(tail -n 5 "$work/linux-report.txt")"
    run_linux export sample.oof >"$work/linux-export.txt" || fail "torvale-cli export sample.oof failed"
    grep -q '^Finished converting to ORF!$' "$work/linux-export.txt" ||
        fail "torvale-cli export did not finish: $(tail -n 5 "$work/linux-export.txt")"
    [ -s "$app/sample.orf" ] || fail "torvale-cli export did not write sample.orf beside the sample"
    [ "$(head -c 8 "$app/sample.orf" | od -An -tx1 | tr -d ' \n')" = 050000000c000000 ] ||
        fail "sample.orf does not begin with the room chunk"
    cp "$app/sample.orf" "$work/expected.orf"
    echo "linux: torvale-cli reported and exported the sample ($(stat -c %s "$work/expected.orf") bytes of room)"
}

win32() {
    local name=TORVALE-$version-win32
    unzip_package "$name"
    local app=$work/$name/$name
    check_format i686-w64-mingw32-objdump pei-i386 "$app/torvale.exe" "$app/torvale-cli.exe"
    imports_only_system_dlls i686-w64-mingw32-objdump "$app/torvale.exe" "$app/torvale-cli.exe" ||
        fail "$name imports DLLs that are not part of Windows"
    echo "win32: contents and imports checked (32-bit programs cannot run here)"
}

driver() {
    if [ -n "${TORVALE_DRIVER:-}" ]; then
        [ -f "$TORVALE_DRIVER" ] || fail "TORVALE_DRIVER does not name the built driver"
        return
    fi
    local log=$work/driver-build.txt
    {
        cmake --preset mingw-x64 -B build/release-driver -DTORVALE_TESTS=ON &&
            cmake --build build/release-driver -j "$(nproc 2>/dev/null || echo 2)" --target torvale_driver
    } >"$log" 2>&1 || {
        tail -n 30 "$log" >&2
        fail "cannot build the end-to-end driver"
    }
    TORVALE_DRIVER=$(find build/release-driver -name torvale_driver.exe | head -n 1)
    [ -f "$TORVALE_DRIVER" ] || fail "the driver build made no torvale_driver.exe"
}

drive() { "$TORVALE_WINE64" "$TORVALE_DRIVER" "$@" </dev/null; }

win64() {
    local name=TORVALE-$version-win64
    unzip_package "$name"
    local app=$work/$name/$name
    check_format x86_64-w64-mingw32-objdump pei-x86-64 "$app/torvale.exe" "$app/torvale-cli.exe"
    imports_only_system_dlls x86_64-w64-mingw32-objdump "$app/torvale.exe" "$app/torvale-cli.exe" ||
        fail "$name imports DLLs that are not part of Windows"

    driver
    if [ -z "${TORVALE_WINE_SESSION:-}" ] || ! torvale_wine_attach "$TORVALE_WINE_SESSION"; then
        own_session=1
        torvale_wine_start || fail "cannot start Wine"
    fi
    drive --timeout 2 wait-gone || fail "another TORVALE main window is open on this desktop"

    # Started from its folder, as a double click would.
    (cd "$app" && exec "$TORVALE_WINE64" torvale.exe) </dev/null >"$work/program.out" 2>&1 &
    program_pid=$!
    drive wait-main || fail "the main window did not appear"
    [ -f "$app/TORVALE.ini" ] || fail "the first start did not create TORVALE.ini beside torvale.exe"
    [ "$(stat -c %s "$app/TORVALE.ini")" -eq 52 ] ||
        fail "TORVALE.ini of a first start is $(stat -c %s "$app/TORVALE.ini") bytes, not 52"

    drive post-command mnuFileImportOOF file-dialog "Import OOF file" "$(torvale_winpath "$app/sample.oof")" ||
        fail "Import OOF of the sample"
    [ "$(drive caption | tr -d '\r')" = "$TITLE - sample.oof" ] || fail "caption after the import: $(drive caption)"
    drive post-command mnuFileExport || fail "Export ORF"
    [ "$(drive file-name "Export ORF file" | tr -d '\r')" = sample.orf ] || fail "the save dialog proposes another name"
    drive file-dialog "Export ORF file" "$(torvale_winpath "$app/sample.orf")" || fail "Export ORF to sample.orf"
    drive log >"$work/gui-log.txt" || fail "cannot read the log"
    grep -q $'^Finished loading sample.oof\r$' "$work/gui-log.txt" || fail "the log has no \"Finished loading\""
    [ "$(tail -n 1 "$work/gui-log.txt")" = $'Finished converting to ORF!\r' ] ||
        fail "the log does not end with \"Finished converting to ORF!\": $(tail -n 3 "$work/gui-log.txt")"
    cmp -s "$work/expected.orf" "$app/sample.orf" || fail "torvale.exe wrote another room than torvale-cli on Linux"

    drive close || fail "closing the main window"
    local _
    for _ in $(seq 100); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$program_pid" 2>/dev/null && fail "torvale.exe did not end after its window closed"
    wait "$program_pid" || fail "torvale.exe ended with exit code $?"
    program_pid=
    [ "$(stat -c %s "$app/TORVALE.ini")" -gt 52 ] || fail "TORVALE.ini was not written at exit"
    echo "win64: torvale.exe created TORVALE.ini, imported and exported the sample, closed"

    # The command-line tool in the same folder, called by its bare name there.
    local status
    (cd "$app" && "$TORVALE_WINE64" torvale-cli.exe report sample.oof) </dev/null >"$work/win-report.txt" 2>&1
    status=$?
    [ $status -eq 0 ] || fail "torvale-cli.exe report sample.oof ended with $status: $(tail -n 5 "$work/win-report.txt")"
    # Standard output of a Windows program is in text mode: its lines end in CR LF.
    sed 's/\r$//' "$work/win-report.txt" >"$work/win-report-lf.txt"
    cmp -s "$work/linux-report.txt" "$work/win-report-lf.txt" ||
        fail "torvale-cli.exe reported otherwise than torvale-cli:"$'\n'"$(diff "$work/linux-report.txt" \
            "$work/win-report-lf.txt" | head -n 20)"
    (cd "$app" && "$TORVALE_WINE64" torvale-cli.exe export sample.oof -o cli.orf) </dev/null >"$work/win-export.txt" 2>&1
    status=$?
    [ $status -eq 0 ] || fail "torvale-cli.exe export sample.oof ended with $status: $(tail -n 5 "$work/win-export.txt")"
    cmp -s "$work/expected.orf" "$app/cli.orf" || fail "torvale-cli.exe wrote another room than torvale-cli on Linux"

    # The programs wrote nothing beside themselves but their settings (TORVALE.ini and TORVALE.cfg) and the rooms
    # asked for.
    local left
    left=$(cd "$app" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort | tr '\n' ' ')
    [ "$left" = "TORVALE.cfg TORVALE.ini cli.orf readme.txt sample.oof sample.orf texlate.rsc torvale-cli.exe torvale.exe " ] ||
        fail "the folder holds: $left"
    echo "win64: torvale-cli.exe reported and exported the sample like torvale-cli"
}

start=$SECONDS
linux
win32
win64
echo "release packages $version: all checks passed ($((SECONDS - start)) s after packaging)"
