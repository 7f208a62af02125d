#pragma once

// A test-side reader of room files, written apart from the program's writer: it walks the chunks, proves
// that their order and every length field match what follows, and decodes the content for assertions.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "builders/bytes.h"

namespace torvale::test {

struct OrfCorner {
    std::int16_t vertex = 0;
    float u = 0.0f;
    float v = 0.0f;
};

struct OrfFace {
    std::int32_t cornerCount = 0;
    std::array<float, 3> normal{};
    std::int16_t texture = 0;
    std::vector<OrfCorner> corners;
};

struct OrfRoom {
    std::int32_t vertexCount = 0;  // V and F as the header gives them
    std::int32_t faceCount = 0;
    std::vector<std::array<float, 3>> vertices;
    std::vector<std::string> names;  // without their terminating zero
    std::vector<OrfFace> faces;
    std::array<std::int32_t, 5> lengths{};  // the five length fields in file order
};

struct OrfWalk {
    bool ok = false;
    std::string problem;  // where and how the bytes left the layout, when !ok
    OrfRoom room;
};

// Accepts only a complete room: chunks 5, 1, 4, 2, 3 in that order; header length 12 and constant 4; each
// other length equal to the bytes of its content; V vertices and F face records as the header says; at least
// one name; every face record starting with the byte 4 and every corner record ending in 16 zero bytes and
// the float 1.0; the end chunk's length 4 and nothing after it.
OrfWalk WalkOrf(const Bytes& bytes);

}  // namespace torvale::test
