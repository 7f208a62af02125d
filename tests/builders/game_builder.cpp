#include "builders/game_builder.h"

namespace torvale::test {

GamBuilder& GamBuilder::texture(const std::string& name,
                                const std::string& bitmap,
                                const std::string& destroyed,
                                std::size_t tail) {
    ByteBuilder body;
    body.i16(7).text(name).u8(0).text(bitmap).u8(0).text(destroyed).u8(0);
    for (std::size_t i = 0; i < tail; ++i)
        body.u8(0xC0 + i % 16);
    return page(1, body.take());
}

GamBuilder& GamBuilder::other(unsigned type, std::size_t bodySize) {
    Bytes body(bodySize);
    for (std::size_t i = 0; i < bodySize; ++i)
        body[i] = static_cast<std::uint8_t>(i * 7 + 1);  // no pattern a reader could mistake for a page start
    return page(type, body);
}

GamBuilder& GamBuilder::page(unsigned type, const Bytes& body) {
    return raw(type, static_cast<std::int64_t>(body.size()) + 4, body);
}

GamBuilder& GamBuilder::raw(unsigned type, std::int64_t length, const Bytes& body) {
    out_.u8(type).i32(length).raw(body);
    return *this;
}

Bytes EveryPageTypeTable() {
    GamBuilder gam;
    gam.other(0, 3).texture("Rock Wall", "rockwall.ogf", "rockwall-d");
    for (unsigned type = 2; type <= 10; ++type)
        gam.other(type, type * 5);
    gam.texture("NGRFlareCorona", "ngrflarecorona1.ogf").texture("Lava", "lava.oaf", "", 0);
    return gam.take();
}

Bytes HogFile(const HogFiles& files) {
    ByteBuilder out;
    const std::size_t dataOffset = 68 + 48 * files.size();
    out.text("HOG2").i32(static_cast<std::int64_t>(files.size())).i32(static_cast<std::int64_t>(dataOffset));
    for (int i = 0; i < 56; ++i)
        out.u8(0xFF);  // unused header bytes
    for (const auto& [name, bytes] : files) {
        std::string padded = name;
        padded.resize(36, '\0');
        out.text(padded).i32(0).i32(static_cast<std::int64_t>(bytes.size())).i32(0x5F000000);
    }
    for (const auto& file : files)
        out.raw(file.second);
    return out.take();
}

}  // namespace torvale::test
