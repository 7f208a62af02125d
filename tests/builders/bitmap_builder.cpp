#include "builders/bitmap_builder.h"

#include <algorithm>
#include <cstddef>

#include "builders/seeds.h"

namespace torvale::test {

namespace {

// The nine ignored bytes, width, height, pixel depth 32 and descriptor 0x28, as the game writes them.
ByteBuilder& SizeFields(ByteBuilder& b, unsigned width, unsigned height) {
    for (int i = 0; i < 9; ++i)
        b.u8(0);
    return b.i16(static_cast<int>(width)).i16(static_cast<int>(height)).u8(32).u8(0x28);
}

}  // namespace

ByteBuilder OgfHeader(unsigned type, const std::string& name, unsigned levelByte, unsigned width, unsigned height) {
    ByteBuilder b;
    b.u8(0).u8(0).u8(type);
    for (const char c : name)  // byte by byte: GCC 12 misjudges a range insert here
        b.u8(static_cast<unsigned char>(c));
    b.u8(0).u8(levelByte);
    SizeFields(b, width, height);
    return b;
}

ByteBuilder FixedNameOgfHeader(unsigned type,
                               const Bytes& nameField,
                               unsigned levelByte,
                               unsigned width,
                               unsigned height) {
    ByteBuilder b;
    b.u8(0).u8(0).u8(type).raw(nameField);
    if (type == 124)
        b.u8(levelByte);
    SizeFields(b, width, height);
    return b;
}

Bytes OgfLonePixels(const std::vector<std::uint16_t>& words) {
    ByteBuilder b;
    for (const std::uint16_t word : words)
        b.u8(0).i16(word);
    return b.take();
}

Bytes OgfRun(unsigned count, std::uint16_t word) {
    return ByteBuilder().u8(count).i16(word).take();
}

Bytes Ogf1555(const std::string& name, unsigned width, unsigned height, const std::vector<std::uint16_t>& words) {
    return OgfHeader(122, name, 1, width, height).raw(OgfLonePixels(words)).take();
}

ByteBuilder OafHeader(unsigned countByte, float frameTime, unsigned version) {
    ByteBuilder b;
    b.u8(0x7F).u8(version).u8(countByte).f32(frameTime);
    return b;
}

ByteBuilder OldOafHeader(unsigned count, float frameTime) {
    ByteBuilder b;
    b.u8(count).f32(0.0f).f32(frameTime).i32(0).f32(0.0f);
    return b;
}

Bytes OafFrame(const std::string& name, unsigned size, std::uint16_t word) {
    ByteBuilder b = OgfHeader(122, name, 1, size, size);
    for (unsigned left = size * size; left > 0;) {
        const unsigned run = left > 250 ? 250 : left;
        if (run == 1)
            b.u8(0).i16(word);
        else
            b.u8(run).i16(word);
        left -= run;
    }
    return b.take();
}

ByteBuilder TgaHeader(unsigned type, unsigned width, unsigned height, unsigned depth, unsigned descriptor) {
    ByteBuilder b;
    b.u8(0).u8(0).u8(type);
    for (int i = 0; i < 9; ++i)
        b.u8(0);
    b.i16(static_cast<int>(width)).i16(static_cast<int>(height)).u8(depth).u8(descriptor);
    return b;
}

DecodedOgf DecodeOgfForTest(const Bytes& file) {
    DecodedOgf d;
    std::size_t at = 0;
    const auto byte = [&](unsigned& out) {
        if (at >= file.size())
            return false;
        out = file[at++];
        return true;
    };
    unsigned idLength = 0;
    unsigned mapType = 0;
    if (!byte(idLength) || !byte(mapType) || !byte(d.type) || idLength != 0 || mapType != 0 ||
        (d.type != 121 && d.type != 122)) {
        d.problem = "not an OGF of type 121 or 122 without ID or colour map";
        return d;
    }
    for (unsigned c = 0;;) {
        if (!byte(c)) {
            d.problem = "the name has no end";
            return d;
        }
        if (c == 0)
            break;
        d.name.push_back(static_cast<char>(c));
    }
    if (!byte(d.levelByte) || at + 9 + 6 > file.size()) {
        d.problem = "the header is cut short";
        return d;
    }
    d.ignored.assign(file.begin() + static_cast<std::ptrdiff_t>(at),
                     file.begin() + static_cast<std::ptrdiff_t>(at + 9));
    at += 9;
    d.width = file[at] | file[at + 1] << 8;
    d.height = file[at + 2] | file[at + 3] << 8;
    d.depth = file[at + 4];
    d.descriptor = file[at + 5];
    at += 6;
    for (unsigned m = 0; m < d.levelByte; ++m) {
        const std::size_t count = std::size_t{d.width >> m} * (d.height >> m);
        std::vector<std::uint16_t> words;
        while (words.size() < count) {
            unsigned command = 0;
            if (!byte(command) || at + 2 > file.size()) {
                d.problem = "level " + std::to_string(m) + " is cut short";
                return d;
            }
            d.commands.push_back(command);
            const auto word = static_cast<std::uint16_t>(file[at] | file[at + 1] << 8);
            at += 2;
            const std::size_t run = command == 0 ? 1 : command;
            if (command == 1 || command > 250 || words.size() + run > count) {
                d.problem = "level " + std::to_string(m) + " has a bad command " + std::to_string(command);
                return d;
            }
            words.insert(words.end(), run, word);
        }
        d.levels.push_back(std::move(words));
    }
    if (at != file.size()) {
        d.problem = std::to_string(file.size() - at) + " bytes after the last level";
        return d;
    }
    d.ok = true;
    return d;
}

Seeds BitmapSeeds() {
    Seeds seeds;
    seeds.emplace_back("ogf_1555_two_levels", OgfHeader(122, "two.ogf", 2, 4, 2)
                                                  .raw(OgfRun(3, 0x801F))
                                                  .raw(OgfLonePixels({0x0000, 0xFFFF, 0x8000, 0x8000, 0x7C00}))
                                                  .raw(OgfRun(2, 0x83E0))
                                                  .take());
    seeds.emplace_back("ogf_4444",
                       OgfHeader(121, "a.ogf", 1, 2, 2).raw(OgfLonePixels({0xF00F, 0x0FF0, 0x8888, 0})).take());
    Bytes name(35, 0);
    name[0] = 'o';
    seeds.emplace_back("ogf_124", FixedNameOgfHeader(124, name, 1, 2, 1).raw(OgfRun(2, 0x07E0)).take());
    seeds.emplace_back("ogf_127", FixedNameOgfHeader(127, name, 0, 1, 1).raw(OgfLonePixels({0xF800})).take());
    seeds.emplace_back("tga_2_24", TgaHeader(2, 2, 2, 24, 0).raw({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}).take());
    seeds.emplace_back("tga_10_32",
                       TgaHeader(10, 3, 2, 32, 0x28).u8(0x82).raw({1, 2, 3, 4}).u8(0x02).raw(Bytes(12, 9)).take());
    return seeds;
}

Seeds OafSeeds() {
    Seeds seeds;
    seeds.emplace_back("oaf_v1_two_frames",
                       OafHeader(2).raw(OafFrame("a00.ogf", 2, 0x801F)).raw(OafFrame("a01.ogf", 2, 0xFC00)).take());
    seeds.emplace_back("oaf_v0_sizes_differ",
                       OldOafHeader(2).raw(OafFrame("b01.ogf", 4, 0x83E0)).raw(OafFrame("b02.ogf", 2, 0)).take());
    seeds.emplace_back("oaf_v1_tga_frame",
                       OafHeader(1).raw(TgaHeader(10, 2, 1, 24, 0x20).u8(0x01).raw({1, 2, 3, 4, 5, 6}).take()).take());
    return seeds;
}

namespace {

std::uint32_t Crc32(const Bytes& bytes, std::size_t from) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void BigEndian32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PngChunk(Bytes& png, const char* tag, const Bytes& body) {
    BigEndian32(png, static_cast<std::uint32_t>(body.size()));
    const std::size_t crcFrom = png.size();
    png.insert(png.end(), tag, tag + 4);
    png.insert(png.end(), body.begin(), body.end());
    BigEndian32(png, Crc32(png, crcFrom));
}

}  // namespace

Bytes StoredPng(unsigned width, unsigned height, const Bytes& rgba) {
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    BigEndian32(header, width);
    BigEndian32(header, height);
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, adaptive filters, no interlace
    PngChunk(png, "IHDR", header);

    const std::size_t rowBytes = std::size_t{width} * 4;
    Bytes raw(std::size_t{height} * (rowBytes + 1), 0);  // each row after its filter byte 0 (none)
    for (std::size_t y = 0; y < height; ++y)
        std::copy_n(rgba.begin() + static_cast<std::ptrdiff_t>(y * rowBytes), rowBytes,
                    raw.begin() + static_cast<std::ptrdiff_t>(y * (rowBytes + 1) + 1));
    Bytes zlib{0x78, 0x01};
    constexpr std::size_t kBlock = 65535;
    for (std::size_t at = 0; at < raw.size() || at == 0; at += kBlock) {
        const std::size_t length = std::min(kBlock, raw.size() - at);
        zlib.push_back(at + length >= raw.size() ? 1 : 0);  // the last block says so
        zlib.push_back(static_cast<std::uint8_t>(length & 0xFF));
        zlib.push_back(static_cast<std::uint8_t>(length >> 8));
        zlib.push_back(static_cast<std::uint8_t>(~length & 0xFF));
        zlib.push_back(static_cast<std::uint8_t>((~length >> 8) & 0xFF));
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                    raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        if (raw.empty())
            break;
    }
    std::uint32_t a = 1, b = 0;
    for (const std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    BigEndian32(zlib, (b << 16) | a);
    PngChunk(png, "IDAT", zlib);
    PngChunk(png, "IEND", {});
    return png;
}

Seeds ImageSeeds() {
    Seeds seeds = BitmapSeeds();
    seeds.emplace_back("png_2x2", StoredPng(2, 2, {255, 0, 0, 255, 0, 255, 0, 0, 0, 0, 255, 128, 9, 9, 9, 9}));
    return seeds;
}

}  // namespace torvale::test
