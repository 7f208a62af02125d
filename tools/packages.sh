# Sourced by run.sh and test.sh: installs the Debian packages a step needs when they are missing.
# Usage: ensure_packages pkg...   (needs root, as on a fresh Debian machine)

ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "These Debian packages are missing and installing them needs root: ${missing[*]}" >&2
        return 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    if [ -z "${TORVALE_APT_UPDATED:-}" ]; then
        apt-get update -qq || return 1
        export TORVALE_APT_UPDATED=1
    fi
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || return 1
}

# The native tool chain (compiler, CMake, Ninja, GoogleTest, Google Benchmark, /usr/bin/time for peak memory),
# the header-only libraries every build uses (SimpleIni, stb, tinygltf with nlohmann-json, tinyobjloader: the
# Windows builds copy the same headers from here).
NATIVE_PACKAGES=(g++ cmake ninja-build libgtest-dev libgmock-dev googletest libbenchmark-dev time libsimpleini-dev
    libstb-dev libtinygltf-dev libtinyobjloader-dev nlohmann-json3-dev)
# Node.js with npm runs the glTF validator test (tests/tools). A machine that has them from elsewhere keeps
# them: Debian's npm package cannot be installed beside another Node.js.
ensure_node() {
    command -v node >/dev/null && command -v npm >/dev/null && return 0
    ensure_packages nodejs npm
}
# libFuzzer targets and the format check.
FUZZ_PACKAGES=(clang libclang-rt-14-dev clang-format)
# The Windows programs, built with mingw-w64 and run under Wine on a virtual display.
WINDOWS_PACKAGES=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth fonts-wine fonts-liberation)
