#!/usr/bin/env bash
# Whole-process figures for a large model, beside the system's own tools measured in the same run:
#   torvale-cli report                  against dd reading the same file from the page cache
#   torvale-cli export --per-subobject  against cp of the same file
# and the peak memory of each against the file's size. Uses the optimised build (the bench preset).
#
#   bench/whole_process.sh [SUB-OBJECTS [VERTICES [TRIANGLES]]]    (defaults 1400, 2500, 2500: about 336 MB)
#
# Times are wall-clock seconds and CPU seconds (user + system) from /usr/bin/time; on a busy machine the CPU
# figures are the steadier ones. Each step is run three times and the fastest run is kept.
set -euo pipefail
cd "$(dirname "$0")/.."

source bench/measure.sh
build_bench torvale_big_oof

model="$work/big.oof"
build/bench/bench/torvale_big_oof "$model" "${1:-1400}" "${2:-2500}" "${3:-2500}"
size=$(stat -c %s "$model")
cat "$model" >/dev/null  # into the page cache, as for every step below

read -r dd_wall dd_cpu _ < <(measure dd if="$model" of=/dev/null bs=1M)
read -r rep_wall rep_cpu rep_peak < <(measure "$cli" report "$model")
mkdir -p "$work/copy" "$work/rooms"
read -r cp_wall cp_cpu _ < <(measure cp "$model" "$work/copy/big.oof")
read -r exp_wall exp_cpu exp_peak < <(measure "$cli" export "$model" -o "$work/rooms/big.orf" --per-subobject)
rooms=$(find "$work/rooms" -name '*.orf' | wc -l)

ratio() { calc "$1 / $2"; }
mb=$(calc "$size / 1000000")
echo "model: $mb MB, $rooms rooms per sub-object"
printf '%-34s %8s %8s %10s\n' "step" "wall s" "cpu s" "peak MB"
printf '%-34s %8s %8s %10s\n' "dd (baseline of report)" "$dd_wall" "$dd_cpu" "-"
printf '%-34s %8s %8s %10s\n' "torvale-cli report" "$rep_wall" "$rep_cpu" "$((rep_peak / 1024))"
printf '%-34s %8s %8s %10s\n' "cp (baseline of export)" "$cp_wall" "$cp_cpu" "-"
printf '%-34s %8s %8s %10s\n' "torvale-cli export --per-subobject" "$exp_wall" "$exp_cpu" "$((exp_peak / 1024))"
echo
echo "report: $(calc "$size / 1000000000 / $rep_wall") GB/s wall, $(calc "$size / 1000000000 / $rep_cpu") GB/s cpu;" \
    "$(ratio "$rep_wall" "$dd_wall") x dd wall, $(ratio "$rep_cpu" "$dd_cpu") x dd cpu;" \
    "peak $(calc "$rep_peak * 1024 / $size") x the file"
echo "export: $(ratio "$exp_wall" "$cp_wall") x cp wall, $(ratio "$exp_cpu" "$cp_cpu") x cp cpu;" \
    "peak $(calc "$exp_peak * 1024 / $size") x the file"
