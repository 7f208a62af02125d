# Shared by the whole-process benchmark scripts (sourced, not run).

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
