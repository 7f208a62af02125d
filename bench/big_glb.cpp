// Writes a large GLB for the glTF reading measurements (bench/gltf_read.sh): one mesh, a grid of squares in the
// XY plane, each split into two triangles, with positions, normals, texture coordinates and 32-bit indices. The
// bytes are written here by hand, not by the program's own writer.
//
//   torvale_big_glb FILE [TRIANGLES]     (default 1000000; rounded down to whole rows of 1000 squares)

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kColumns = 1000;  // squares in a row

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutF32(std::vector<std::uint8_t>& out, float value) {
    std::uint32_t raw = 0;
    std::memcpy(&raw, &value, 4);
    PutU32(out, raw);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: torvale_big_glb FILE [TRIANGLES]\n");
        return 2;
    }
    const long wanted = argc > 2 ? std::atol(argv[2]) : 1000000;
    const auto rows = static_cast<std::uint32_t>(wanted / (2 * kColumns));
    if (rows < 1) {
        std::fprintf(stderr, "torvale_big_glb: at least %u triangles\n", 2 * kColumns);
        return 2;
    }
    const std::uint32_t vertices = (kColumns + 1) * (rows + 1);
    const std::uint32_t indices = kColumns * rows * 6;

    std::vector<std::uint8_t> bin;
    bin.reserve(std::size_t{vertices} * 32 + std::size_t{indices} * 4);
    for (std::uint32_t y = 0; y <= rows; ++y)
        for (std::uint32_t x = 0; x <= kColumns; ++x) {
            PutF32(bin, static_cast<float>(x));
            PutF32(bin, static_cast<float>(y));
            PutF32(bin, 0.0f);
        }
    const std::size_t normalsAt = bin.size();
    for (std::uint32_t v = 0; v < vertices; ++v) {
        PutF32(bin, 0.0f);
        PutF32(bin, 0.0f);
        PutF32(bin, 1.0f);
    }
    const std::size_t uvsAt = bin.size();
    for (std::uint32_t y = 0; y <= rows; ++y)
        for (std::uint32_t x = 0; x <= kColumns; ++x) {
            PutF32(bin, static_cast<float>(x) / kColumns);
            PutF32(bin, static_cast<float>(y) / static_cast<float>(rows));
        }
    const std::size_t indicesAt = bin.size();
    for (std::uint32_t y = 0; y < rows; ++y)
        for (std::uint32_t x = 0; x < kColumns; ++x) {
            const std::uint32_t a = y * (kColumns + 1) + x;
            const std::uint32_t b = a + 1;
            const std::uint32_t c = a + kColumns + 1;
            const std::uint32_t d = c + 1;
            for (const std::uint32_t i : {a, b, d, a, d, c})
                PutU32(bin, i);
        }
    const std::size_t binSize = bin.size();  // a multiple of 4

    const auto view = [](std::size_t at, std::size_t length, int target) {
        return "{\"buffer\":0,\"byteOffset\":" + std::to_string(at) + ",\"byteLength\":" + std::to_string(length) +
               ",\"target\":" + std::to_string(target) + "}";
    };
    const std::string count = std::to_string(vertices);
    std::string json =
        "{\"asset\":{\"version\":\"2.0\",\"generator\":\"torvale_big_glb\"},\"scene\":0,\"scenes\":[{\"nodes\":[0]}],"
        "\"nodes\":[{\"mesh\":0,\"name\":\"grid\"}],\"meshes\":[{\"name\":\"grid\",\"primitives\":[{\"attributes\":"
        "{\"POSITION\":0,\"NORMAL\":1,\"TEXCOORD_0\":2},\"indices\":3,\"material\":0}]}],"
        "\"materials\":[{\"name\":\"rock\"}],"
        "\"buffers\":[{\"byteLength\":" +
        std::to_string(binSize) + "}],\"bufferViews\":[" + view(0, normalsAt, 34962) + "," +
        view(normalsAt, uvsAt - normalsAt, 34962) + "," + view(uvsAt, indicesAt - uvsAt, 34962) + "," +
        view(indicesAt, binSize - indicesAt, 34963) +
        "],\"accessors\":["
        "{\"bufferView\":0,\"componentType\":5126,\"count\":" +
        count + ",\"type\":\"VEC3\",\"min\":[0,0,0],\"max\":[" + std::to_string(kColumns) + "," + std::to_string(rows) +
        ",0]},{\"bufferView\":1,\"componentType\":5126,\"count\":" + count +
        ",\"type\":\"VEC3\"},{\"bufferView\":2,\"componentType\":5126,\"count\":" + count +
        ",\"type\":\"VEC2\"},{\"bufferView\":3,\"componentType\":5125,\"count\":" + std::to_string(indices) +
        ",\"type\":\"SCALAR\"}]}";
    while (json.size() % 4 != 0)
        json += ' ';

    std::vector<std::uint8_t> glb;
    glb.reserve(12 + 8 + json.size() + 8 + binSize);
    glb.insert(glb.end(), {'g', 'l', 'T', 'F'});
    PutU32(glb, 2);
    PutU32(glb, static_cast<std::uint32_t>(12 + 8 + json.size() + 8 + binSize));
    PutU32(glb, static_cast<std::uint32_t>(json.size()));
    glb.insert(glb.end(), {'J', 'S', 'O', 'N'});
    glb.insert(glb.end(), json.begin(), json.end());
    PutU32(glb, static_cast<std::uint32_t>(binSize));
    glb.insert(glb.end(), {'B', 'I', 'N', '\0'});
    glb.insert(glb.end(), bin.begin(), bin.end());

    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(glb.data(), 1, glb.size(), out) == glb.size();
    if (std::fclose(out) != 0 || !ok) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
