# Shared by the whole-process benchmark scripts (sourced, not run, from the project's folder).

if [[ ! -x /usr/bin/time ]]; then
    echo "$(basename "$0"): /usr/bin/time is missing (the 'time' package, see tools/packages.sh)" >&2
    exit 1
fi

# Builds the optimised program and the given targets; sets `cli` and a work folder `work`, removed at the end.
build_bench() {
    cmake --preset bench >/dev/null
    cmake --build --preset bench --target torvale-cli "$@" -j2 >/dev/null
    cli=build/bench/src/cli/torvale-cli
    work=$(mktemp -d "${TMPDIR:-/tmp}/torvale-bench.XXXXXX")
    trap 'rm -rf "$work"' EXIT
}

# Arithmetic with two decimals ("inf" or "-" for a division by zero).
calc() { awk "BEGIN { printf \"%.2f\", $1 }" 2>/dev/null || echo "-"; }

# Runs a command three times; prints "<wall s> <cpu s> <peak KB>" of the fastest run.
measure() {
    local best="" line wall user sys peak
    for _ in 1 2 3; do
        line=$(/usr/bin/time -f "%e %U %S %M" "$@" 2>&1 >/dev/null | tail -1)
        read -r wall user sys peak <<<"$line"
        line="$wall $(calc "$user + $sys") $peak"
        if [[ -z "$best" ]] || [[ $(calc "${line%% *} < ${best%% *}") == 1.00 ]]; then best=$line; fi
    done
    echo "$best"
}
