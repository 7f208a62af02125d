#!/usr/bin/env bash
# Peak memory of torvale-cli report against the size of large generated inputs: plain large OBJ and GLB models,
# an OBJ of long face lines, and the hostile shapes that used to take memory out of all proportion (nodes that
# share one mesh, primitives that share one accessor, one huge face line). Uses the optimised build (the bench
# preset) unless TORVALE_CLI names another torvale-cli.
#
#   bench/input_memory.sh
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ ! -x /usr/bin/time ]]; then
    echo "input_memory.sh: /usr/bin/time is missing (the 'time' package, see tools/packages.sh)" >&2
    exit 1
fi
cli=${TORVALE_CLI:-}
if [[ -z "$cli" ]]; then
    cmake --preset bench >/dev/null
    cmake --build --preset bench --target torvale-cli -j2 >/dev/null
    cli=build/bench/src/cli/torvale-cli
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/torvale-inputs.XXXXXX")
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'PY'
import json, struct, sys
work = sys.argv[1]

def glb(doc, bin_):
    text = json.dumps(doc, separators=(",", ":")).encode()
    text += b" " * (-len(text) % 4)
    bin_ += b"\0" * (-len(bin_) % 4)
    body = struct.pack("<I4s", len(text), b"JSON") + text + struct.pack("<I4s", len(bin_), b"BIN\0") + bin_
    return b"glTF" + struct.pack("<II", 2, 12 + len(body)) + body

def model(positions, indices, nodes, primitives=1):
    pos = b"".join(struct.pack("<fff", *p) for p in positions)
    idx = struct.pack("<%dI" % len(indices), *indices)
    doc = {"asset": {"version": "2.0"}, "scene": 0, "scenes": [{"nodes": list(range(nodes))}],
           "nodes": [{"mesh": 0} for _ in range(nodes)],
           "meshes": [{"primitives": [{"attributes": {"POSITION": 0}, "indices": 1}] * primitives}],
           "accessors": [{"bufferView": 0, "componentType": 5126, "count": len(positions), "type": "VEC3"},
                         {"bufferView": 1, "componentType": 5125, "count": len(indices), "type": "SCALAR"}],
           "bufferViews": [{"buffer": 0, "byteOffset": 0, "byteLength": len(pos)},
                           {"buffer": 0, "byteOffset": len(pos), "byteLength": len(idx)}],
           "buffers": [{"byteLength": len(pos) + len(idx)}]}
    return glb(doc, pos + idx)

def grid(n):
    positions = [(x, y, 0) for y in range(n + 1) for x in range(n + 1)]
    indices = []
    for y in range(n):
        for x in range(n):
            a = y * (n + 1) + x
            indices += [a, a + 1, a + n + 2, a, a + n + 2, a + n + 1]
    return positions, indices

positions, indices = grid(700)  # 980,000 triangles
open(work + "/large.glb", "wb").write(model(positions, indices, 1))
p, i = grid(18)  # 648 triangles, shared by 100,000 nodes: 194 million corners
open(work + "/shared_nodes.glb", "wb").write(model(p, i, 100000))
open(work + "/shared_primitives.glb", "wb").write(model(p, i, 1, 100000))
with open(work + "/large.obj", "w") as f:
    n = 700
    for y in range(n + 1):
        for x in range(n + 1):
            f.write("v %d %d 0\n" % (x, y))
    for y in range(n):
        for x in range(n):
            a = y * (n + 1) + x + 1
            f.write("f %d %d %d\nf %d %d %d\n" % (a, a + 1, a + n + 2, a, a + n + 2, a + n + 1))
with open(work + "/long_faces.obj", "w") as f:
    f.write("v 0 0 0\nv 1 0 0\nv 0 1 0\n")
    line = "f" + " 1 2 3" * 10900 + "\n"  # 65,401 bytes, within the limit
    for _ in range(450):
        f.write(line)
with open(work + "/one_line.obj", "w") as f:
    f.write("v 0 0 0\nv 1 0 0\nv 0 1 0\nf" + " 1 2 3" * 5000000 + "\n")
PY

printf '%-22s %10s %10s %10s %7s  %s\n' "input" "size MB" "peak MB" "MB / MB" "exit" "outcome"
for name in large.obj long_faces.obj one_line.obj large.glb shared_nodes.glb shared_primitives.glb; do
    file="$work/$name"
    size=$(stat -c %s "$file")
    status=0
    out=$(/usr/bin/time -f "%M" -o "$work/peak" "$cli" report "$file" 2>&1) || status=$?
    peak=$(tail -1 "$work/peak")
    outcome=$(grep -m1 -E "^Error: |Sub-objects" <<<"$out" | cut -c1-90 || true)
    awk -v n="$name" -v s="$size" -v p="$peak" -v e="$status" -v o="$outcome" \
        'BEGIN { printf "%-22s %10.1f %10.1f %10.1f %7d  %s\n", n, s / 1e6, p / 1024, (p * 1024) / s, e, o }'
done
