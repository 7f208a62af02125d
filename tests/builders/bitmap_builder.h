#pragma once

// The game's bitmap files written by hand, byte by byte, and a decoder of OGF files written apart from the
// program's reader, for checking what the program's writer makes.

#include <cstdint>
#include <string>
#include <vector>

#include "builders/bytes.h"

namespace torvale::test {

// The header of an OGF with a zero-terminated name (types 121, 122, 123), up to its first level.
ByteBuilder OgfHeader(unsigned type, const std::string& name, unsigned levelByte, unsigned width, unsigned height);
// The header of an OGF with the fixed 35-byte name field: type 124 (with `levelByte`) or 126 and 127 (without).
ByteBuilder FixedNameOgfHeader(unsigned type,
                               const Bytes& nameField,
                               unsigned levelByte,
                               unsigned width,
                               unsigned height);

// One level of OGF commands, a lone-pixel command (0) for every word: valid however the words repeat.
Bytes OgfLonePixels(const std::vector<std::uint16_t>& words);
// A run command: `count` (2 to 250, or anything for a bad one) then the word.
Bytes OgfRun(unsigned count, std::uint16_t word);

// An OGF of type 122 with one level of lone pixels.
Bytes Ogf1555(const std::string& name, unsigned width, unsigned height, const std::vector<std::uint16_t>& words);

// The header of an animated texture (OAF) in the game's layout: 0x7F, the version byte, the frame-count byte (a
// signed byte to the game), the frame time. The frames follow it.
ByteBuilder OafHeader(unsigned countByte, float frameTime = 0.07f, unsigned version = 1);
// The older layout: the frame count (unsigned, any first byte but 0x7F), play time, frame time, flags, light.
ByteBuilder OldOafHeader(unsigned count, float frameTime = 0.07f);
// One frame, a 1555 OGF of `size` x `size` pixels all `word`, named `name`: a run command where the pixels
// allow it.
Bytes OafFrame(const std::string& name, unsigned size, std::uint16_t word);

// A TGA header (ID length 0, no colour map).
ByteBuilder TgaHeader(unsigned type, unsigned width, unsigned height, unsigned depth, unsigned descriptor);

// An OGF taken apart by the rules the game reads it by (types 121 and 122 only), for checking written files.
struct DecodedOgf {
    bool ok = false;
    std::string problem;
    unsigned type = 0;
    std::string name;
    unsigned levelByte = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned depth = 0;
    unsigned descriptor = 0;
    Bytes ignored;                                   // the nine bytes after the level count
    std::vector<std::vector<std::uint16_t>> levels;  // each level's words, rows from the top
    std::vector<unsigned> commands;                  // every command byte, in order
};
DecodedOgf DecodeOgfForTest(const Bytes& file);

// A PNG of 8-bit RGBA pixels (rows from the top) written by hand: its IDAT a zlib stream of stored (not
// compressed) deflate blocks, every chunk's CRC and the stream's Adler-32 computed here.
Bytes StoredPng(unsigned width, unsigned height, const Bytes& rgba);

}  // namespace torvale::test
