# shellcheck shell=bash
# Sourced by tools/package.sh and tests/release/release_test.sh: the Windows programs run alone from their
# folder, so they may import nothing but DLLs that every Windows has.
#   imports_only_system_dlls OBJDUMP EXE...   lists each program's imports; fails when one is not a system DLL

TORVALE_SYSTEM_DLLS='kernel32|user32|gdi32|comdlg32|shell32|ole32|advapi32|comctl32|msvcrt|ws2_32'

imports_only_system_dlls() {
    local objdump=$1
    shift
    local exe dlls bad=0
    for exe in "$@"; do
        [ -f "$exe" ] || {
            echo "missing $exe" >&2
            bad=1
            continue
        }
        dlls=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
        if [ -z "$dlls" ]; then
            echo "$exe imports nothing: not a program that $objdump understands" >&2
            bad=1
        elif echo "$dlls" | grep -viqE "^($TORVALE_SYSTEM_DLLS)\.dll\$"; then
            echo "$(basename "$exe") imports: ${dlls//$'\n'/ }" >&2
            echo "$exe imports a DLL that is not part of Windows" >&2
            bad=1
        else
            echo "$(basename "$exe") imports: ${dlls//$'\n'/ }"
        fi
    done
    return $bad
}
