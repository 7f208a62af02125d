#!/usr/bin/env bash
# glTF reading figures beside a baseline measured in the same run: torvale-cli report of a GLB grid mesh
# (positions, normals, texture coordinates, 32-bit indices) against `gltf-transform copy` of the same file
# (tests/tools, installed by `npm ci --prefix tests/tools`). Two sizes, the second ten times smaller, so that
# the reading's growth with the triangle count shows. Uses the optimised build (the bench preset).
#
#   bench/gltf_read.sh [TRIANGLES]    (default 1000000)
#
# Times are wall-clock and CPU seconds (user + system) of the fastest of three runs, from /usr/bin/time.
set -euo pipefail
cd "$(dirname "$0")/.."

source bench/measure.sh
copy=tests/tools/node_modules/.bin/gltf-transform
if [[ ! -x "$copy" ]]; then
    echo "gltf_read.sh: gltf-transform is missing: run \"npm ci --prefix tests/tools\"" >&2
    exit 1
fi
build_bench torvale_big_glb

triangles=${1:-1000000}
printf '%-12s %8s %-28s %8s %8s %10s\n' "triangles" "MB" "step" "wall s" "cpu s" "peak MB"
for count in "$triangles" "$((triangles / 10))"; do
    model="$work/grid-$count.glb"
    build/bench/bench/torvale_big_glb "$model" "$count"
    mb=$(calc "$(stat -c %s "$model") / 1000000")
    cat "$model" >/dev/null  # into the page cache, as for every step below
    if ! "$cli" report "$model" >/dev/null; then
        echo "gltf_read.sh: torvale-cli could not read $model" >&2
        exit 1
    fi
    read -r copy_wall copy_cpu copy_peak < <(measure "$copy" copy "$model" "$work/copy.glb")
    read -r rep_wall rep_cpu rep_peak < <(measure "$cli" report "$model")
    printf '%-12s %8s %-28s %8s %8s %10s\n' "$count" "$mb" "gltf-transform copy (base)" "$copy_wall" "$copy_cpu" \
        "$((copy_peak / 1024))"
    printf '%-12s %8s %-28s %8s %8s %10s\n' "$count" "$mb" "torvale-cli report" "$rep_wall" "$rep_cpu" \
        "$((rep_peak / 1024))"
    echo "  report: $(calc "$rep_wall / $copy_wall") x gltf-transform copy wall, $(calc "$rep_cpu / $copy_cpu") x cpu;" \
        "$(calc "$rep_cpu * 1000000 / $count") us cpu per triangle"
done
