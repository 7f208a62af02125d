#!/usr/bin/env bash
# Builds every configuration and runs the whole test suite:
#   format check, native unit tests, the same under AddressSanitizer/UBSan, the fuzz targets for a short
#   bounded time, the benchmarks (they print figures, they do not pass or fail), the 32-bit Windows build as a
#   compile-and-link gate, the 64-bit Windows build with its unit tests and end-to-end tests under Wine, and
#   the release packages unpacked into empty folders and run there.
# Installs the Debian packages it needs when they are missing (run as root on a fresh machine).
set -u
cd "$(dirname "$0")/.."
source tools/packages.sh
source tools/system_dlls.sh

ensure_packages "${NATIVE_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" || exit 1

# The Khronos glTF Validator that checks every glTF the tests write (pinned in tests/tools/package-lock.json).
ensure_node || exit 1
npm ci --prefix tests/tools --no-audit --no-fund >/dev/null || exit 1

JOBS=$(nproc 2>/dev/null || echo 2)
FUZZ_SECONDS=${TORVALE_FUZZ_SECONDS:-15}
passed=0
failed=0
failures=()

step() {
    local name=$1
    shift
    local start=$SECONDS
    echo
    echo "=== $name"
    if "$@"; then
        passed=$((passed + 1))
        echo "--- $name: ok ($((SECONDS - start)) s)"
    else
        failed=$((failed + 1))
        failures+=("$name")
        echo "--- $name: FAILED ($((SECONDS - start)) s)"
    fi
}

format_check() {
    git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' |
        xargs -r clang-format --dry-run --Werror
}

build_and_test() {
    local preset=$1
    shift
    cmake --preset "$preset" -DTORVALE_TESTS=ON "$@" >/dev/null &&
        cmake --build --preset "$preset" -j "$JOBS" &&
        ctest --test-dir "build/$preset" --output-on-failure -j "$JOBS"
}

fuzz() {
    cmake --preset fuzz -DTORVALE_FUZZ_SECONDS="$FUZZ_SECONDS" >/dev/null &&
        cmake --build --preset fuzz -j "$JOBS" &&
        ctest --test-dir build/fuzz --output-on-failure -j "$JOBS"
}

benchmarks() {
    cmake --preset bench >/dev/null && cmake --build --preset bench -j "$JOBS" || return 1
    local bench
    for bench in build/bench/bench/*_bench; do
        [ -x "$bench" ] || continue
        "$bench" --benchmark_min_time=0.2 || return 1
    done
}

windows_programs() {
    local preset=$1
    find "build/$preset" -maxdepth 4 -name '*.exe' \( -name 'torvale.exe' -o -name 'torvale-cli.exe' \)
}

mingw32() {
    cmake --preset mingw-i686 -DTORVALE_TESTS=ON >/dev/null && cmake --build --preset mingw-i686 -j "$JOBS" &&
        imports_only_system_dlls i686-w64-mingw32-objdump $(windows_programs mingw-i686)
}

mingw64() {
    cmake --preset mingw-x64 -DTORVALE_TESTS=ON >/dev/null && cmake --build --preset mingw-x64 -j "$JOBS" &&
        imports_only_system_dlls x86_64-w64-mingw32-objdump $(windows_programs mingw-x64) &&
        ctest --test-dir build/mingw-x64 --output-on-failure
}

step "format" format_check
step "native unit tests" build_and_test dev
step "AddressSanitizer and UBSan" build_and_test asan
step "fuzz targets (${FUZZ_SECONDS} s each)" fuzz
step "benchmarks" benchmarks
step "32-bit Windows build" mingw32
step "64-bit Windows build, unit and end-to-end tests under Wine" mingw64
# The release packages (tools/package.sh, in build folders of their own), unpacked and run as a user would.
step "release packages" bash tests/release/release_test.sh

echo
[ $failed -eq 0 ] || echo "Failed steps: ${failures[*]}"
echo "steps: $passed passed, $failed failed"
[ $failed -eq 0 ]
