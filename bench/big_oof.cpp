// Writes a large OOF model for the whole-process measurements (bench/whole_process.sh): a header and one
// sub-object made by the test-side builder, the sub-object's chunk then repeated with its number changed.
//
//   torvale_big_oof FILE [SUB-OBJECTS [VERTICES [TRIANGLES]]]     (defaults 1400, 2500, 2500)

#include <cstdio>
#include <cstdlib>
#include <string>

#include "builders/oof_builder.h"

namespace {

int Number(const char* text, int fallback) {
    return text ? std::atoi(text) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace torvale::test;
    if (argc < 2) {
        std::fprintf(stderr, "usage: torvale_big_oof FILE [SUB-OBJECTS [VERTICES [TRIANGLES]]]\n");
        return 2;
    }
    const int subObjects = Number(argc > 2 ? argv[2] : nullptr, 1400);
    const int vertices = Number(argc > 3 ? argv[3] : nullptr, 2500);
    const int triangles = Number(argc > 4 ? argv[4] : nullptr, 2500);
    if (subObjects < 1 || vertices < 3 || triangles < 0) {
        std::fprintf(stderr, "torvale_big_oof: the counts must be at least 1, 3 and 0\n");
        return 2;
    }

    OhdrFields header;
    header.subObjects = subObjects;
    OofBuilder head;
    head.txtr({Stored("rock"), Stored("metal")}).ohdr(header);

    SobjFields sub;
    sub.parent = -1;
    for (int v = 0; v < vertices; ++v)
        sub.positions.push_back({static_cast<float>(v % 50), static_cast<float>(v / 50), 0.5f});
    for (int f = 0; f < triangles; ++f) {
        FaceFields face;
        face.textureIndex = f % 2;
        face.corners = {{f % vertices, 0.0f, 0.0f}, {(f + 1) % vertices, 1.0f, 0.0f}, {(f + 2) % vertices, 0.0f, 1.0f}};
        sub.faces.push_back(face);
    }
    OofBuilder one;
    one.sobj(sub);
    const Bytes oneBytes = one.bytes();
    const std::size_t chunkAt = one.at("SOBJ1");
    Bytes chunk(oneBytes.begin() + static_cast<std::ptrdiff_t>(chunkAt), oneBytes.end());

    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    const Bytes headBytes = head.bytes();
    bool ok = std::fwrite(headBytes.data(), 1, headBytes.size(), out) == headBytes.size();
    for (int s = 0; s < subObjects && ok; ++s) {
        // The sub-object number is the chunk's first field, after its id and length.
        for (int i = 0; i < 4; ++i)
            chunk[8 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(static_cast<unsigned>(s) >> (8 * i));
        ok = std::fwrite(chunk.data(), 1, chunk.size(), out) == chunk.size();
    }
    ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
