#!/usr/bin/env bash
# Makes the release packages in dist/:
#   bash tools/package.sh
#
#   TORVALE-VERSION-win32.zip          one folder TORVALE-VERSION-win32/ (and -win64/ in the win64 zip) with
#   TORVALE-VERSION-win64.zip          torvale.exe, torvale-cli.exe, texlate.rsc, readme.txt and sample.oof
#   TORVALE-VERSION-linux-x86_64.tar.gz  one folder with torvale-cli, texlate.rsc, README.md and sample.oof
#
# VERSION is the CMake project version. Everything is built in folders of its own (build/release-linux,
# build/release-win32, build/release-win64; optimised, without tests), so the test suite's build folders keep
# their settings. The programs are stripped. The Windows programs carry their C++ runtime inside and may
# import only system DLLs; the Linux tool carries libstdc++ and libgcc and needs only the C library.
# The archives list their entries sorted, owned by root and dated to the last commit (or SOURCE_DATE_EPOCH),
# so that packaging the same tree twice gives the same bytes.
# Installs the Debian packages it needs when they are missing (run as root on a fresh machine).
set -eu
cd "$(dirname "$0")/.."
source tools/packages.sh
source tools/system_dlls.sh
ensure_packages "${NATIVE_PACKAGES[@]}" g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix zip

JOBS=$(nproc 2>/dev/null || echo 2)
stage=build/release-stage
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || true)}
# A zip file cannot hold a date before 1980.
[ -n "$epoch" ] && [ "$epoch" -ge 315532800 ] || epoch=315532800

# Configures and builds one release folder; the build's output is shown only when it fails.
build() {
    local preset=$1 dir=$2
    shift 2
    echo "Building $dir"
    local log
    log=$(mktemp)
    if ! {
        cmake --preset "$preset" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DTORVALE_TESTS=OFF -DTORVALE_BENCH=OFF \
            -DTORVALE_FUZZ=OFF "$@" && cmake --build "$dir" -j "$JOBS"
    } >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        rm -f "$log"
        echo "package: the build in $dir failed" >&2
        exit 1
    fi
    rm -f "$log"
}

# The same dates and permissions for every entry, whatever the umask and the build's timing.
normalise() {
    local folder=$1
    find "$folder" -type d -exec chmod 755 {} +
    find "$folder" -type f -exec chmod 644 {} +
    find "$folder" -type f \( -name '*.exe' -o -name torvale-cli \) -exec chmod 755 {} +
    find "$folder" -exec touch -h -d "@$epoch" {} +
}

check_stripped() {
    local objdump=$1 program=$2
    if ! "$objdump" -t "$program" | grep -qx 'no symbols' || "$objdump" -h "$program" | grep -q '\.debug'; then
        echo "package: $program still holds symbols or debugging information" >&2
        exit 1
    fi
}

make_zip() {
    local name=$1
    normalise "$stage/$name"
    rm -f "$stage/$name.zip"
    # -X leaves out the Unix owner and the extra time stamps; the DOS time is written in UTC.
    (cd "$stage" && find "$name" | LC_ALL=C sort | TZ=UTC zip -q -X -9 "$name.zip" -@)
}

make_tar() {
    local name=$1
    normalise "$stage/$name"
    rm -f "$stage/$name.tar" "$stage/$name.tar.gz"
    tar --sort=name --format=gnu --owner=0 --group=0 --numeric-owner --mtime="@$epoch" -C "$stage" \
        -cf "$stage/$name.tar" "$name"
    # -n: no name and no time stamp in the gzip header.
    gzip -9 -n "$stage/$name.tar"
}

# The linker strips the programs (-s): a separate strip would write today's date into a Windows program's
# header, and so would the linker without --no-insert-timestamp.
build dev build/release-linux -DCMAKE_EXE_LINKER_FLAGS="-static-libstdc++ -static-libgcc" \
    -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s
build mingw-i686 build/release-win32 "-DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s -Wl,--no-insert-timestamp"
build mingw-x64 build/release-win64 "-DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s -Wl,--no-insert-timestamp"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release-linux/CMakeCache.txt)
[ -n "$version" ] || {
    echo "package: no project version in build/release-linux/CMakeCache.txt" >&2
    exit 1
}
rm -rf "$stage"
mkdir -p "$stage"
archives=()

windows_package() {
    local bits=$1 tools=$2 format=$3
    local name=TORVALE-$version-win$bits
    local folder=$stage/$name
    mkdir -p "$folder"
    cp "build/release-win$bits/src/win32/torvale.exe" "build/release-win$bits/src/cli/torvale-cli.exe" "$folder/"
    cp data/texlate.rsc data/readme.txt samples/sample.oof "$folder/"
    imports_only_system_dlls "$tools-objdump" "$folder/torvale.exe" "$folder/torvale-cli.exe" || exit 1
    local exe
    for exe in "$folder/torvale.exe" "$folder/torvale-cli.exe"; do
        "$tools-objdump" -f "$exe" | grep -q "file format $format\$" || {
            echo "package: $exe is not a $format program" >&2
            exit 1
        }
        check_stripped "$tools-objdump" "$exe"
    done
    make_zip "$name"
    archives+=("$name.zip")
}

linux_package() {
    local name
    name=TORVALE-$version-linux-$(uname -m)
    local folder=$stage/$name
    mkdir -p "$folder"
    cp build/release-linux/src/cli/torvale-cli "$folder/"
    cp data/texlate.rsc README.md samples/sample.oof "$folder/"
    check_stripped objdump "$folder/torvale-cli"
    local needed
    needed=$(objdump -p "$folder/torvale-cli" | sed -n 's/^\s*NEEDED\s*//p')
    echo "torvale-cli needs: ${needed//$'\n'/ }, GLIBC up to $(objdump -T "$folder/torvale-cli" |
        grep -o 'GLIBC_[0-9.]*' | sort -uV | tail -n 1)"
    if echo "$needed" | grep -vqE '^(libc|libm|ld-linux-x86-64)\.so\.[0-9]+$'; then
        echo "package: torvale-cli needs a library beyond the C library" >&2
        exit 1
    fi
    make_tar "$name"
    archives+=("$name.tar.gz")
}

windows_package 32 i686-w64-mingw32 pei-i386
windows_package 64 x86_64-w64-mingw32 pei-x86-64
linux_package

mkdir -p dist
rm -f "dist/TORVALE-$version-"*
for archive in "${archives[@]}"; do
    mv "$stage/$archive" dist/
done
echo
(cd dist && for archive in "${archives[@]}"; do
    printf '%-40s %8s bytes  sha256 %s\n' "dist/$archive" "$(stat -c %s "$archive")" \
        "$(sha256sum "$archive" | cut -c1-16)"
done)
