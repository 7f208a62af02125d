#include "builders/oof_parser.h"

#include <cstring>
#include <stdexcept>

namespace torvale::test {
namespace {

struct Cursor {
    const Bytes& bytes;
    std::size_t at = 0;

    void need(std::size_t n) const {
        if (bytes.size() - at < n)
            throw std::runtime_error("the file ends at byte " + std::to_string(bytes.size()) + ", inside a field at " +
                                     std::to_string(at));
    }
    std::uint32_t u32() {
        need(4);
        const std::uint32_t v = static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
                                static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
                                static_cast<std::uint32_t>(bytes[at + 3]) << 24;
        at += 4;
        return v;
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::uint8_t u8() {
        need(1);
        return bytes[at++];
    }
    float f32() {
        const std::uint32_t raw = u32();
        float v;
        std::memcpy(&v, &raw, 4);
        return v;
    }
    Vector3 vec() {
        const float x = f32();
        const float y = f32();
        return {x, y, f32()};
    }
    std::int32_t count(const char* what, std::int32_t most) {
        const std::int32_t n = i32();
        if (n < 0 || n > most)
            throw std::runtime_error(std::string(what) + " count " + std::to_string(n) + " at byte " +
                                     std::to_string(at - 4));
        return n;
    }
    // A counted text: the count includes a zero byte, which must be the last counted byte and the only one.
    std::string text() {
        const std::int32_t n = count("text", 4096);
        if (n < 1)
            throw std::runtime_error("a text without its zero byte at byte " + std::to_string(at - 4));
        need(static_cast<std::size_t>(n));
        std::string out(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                        bytes.begin() + static_cast<std::ptrdiff_t>(at) + n - 1);
        if (bytes[at + static_cast<std::size_t>(n) - 1] != 0 || out.find('\0') != std::string::npos)
            throw std::runtime_error("a text not ended by its one zero byte at byte " + std::to_string(at));
        at += static_cast<std::size_t>(n);
        return out;
    }
    PointFields point() {
        PointFields p;
        p.parent = i32();
        p.location = vec();
        p.direction = vec();
        return p;
    }
};

void ParseSobj(Cursor& in, ParsedOof& out) {
    SobjFields s;
    s.number = in.i32();
    s.parent = in.i32();
    s.modelVector = in.vec();
    s.modelD = in.f32();
    s.modelPoint = in.vec();
    s.attachOffset = in.vec();
    s.radius = in.f32();
    s.treeOffset = in.i32();
    s.dataOffset = in.i32();
    s.geometricCenter = in.vec();
    s.name = in.text();
    s.propertyName = in.text();
    s.movementType = in.i32();
    s.movementAxis = in.i32();
    const std::int32_t unused = in.count("unused", 1000);
    for (std::int32_t i = 0; i < unused; ++i)
        s.unusedValues.push_back(in.i32());
    const std::int32_t vertices = in.count("vertex", 100000);
    for (std::int32_t i = 0; i < vertices; ++i)
        s.positions.push_back(in.vec());
    for (std::int32_t i = 0; i < vertices; ++i)
        s.normals.push_back(in.vec());
    for (std::int32_t i = 0; i < vertices; ++i)
        s.alphas.push_back(in.f32());
    const std::int32_t faces = in.count("face", 100000);
    for (std::int32_t f = 0; f < faces; ++f) {
        FaceFields face;
        face.normal = in.vec();
        const std::int32_t corners = in.count("corner", 1000);
        if (corners < 3)
            throw std::runtime_error("a face of " + std::to_string(corners) + " corners at byte " +
                                     std::to_string(in.at - 4));
        face.textured = in.i32();
        if (face.textured != 0) {
            face.textureIndex = in.i32();
        } else {
            face.textureIndex = -1;
            face.red = in.u8();
            face.green = in.u8();
            face.blue = in.u8();
        }
        for (std::int32_t c = 0; c < corners; ++c) {
            CornerFields corner;
            corner.vertex = in.i32();
            corner.u = in.f32();
            corner.v = in.f32();
            face.corners.push_back(corner);
        }
        face.extraA = in.u32();
        face.extraB = in.u32();
        s.faces.push_back(std::move(face));
    }
    out.objects.push_back(std::move(s));
    out.specialPoints.emplace_back();
}

template <typename Track, typename ReadKey>
std::vector<Track> ParseTracks(Cursor& in, std::size_t objects, ReadKey readKey) {
    std::vector<Track> tracks;
    for (std::size_t i = 0; i < objects; ++i) {
        Track track;
        const std::int32_t keys = in.count("key", 100000);
        track.trackMin = in.i32();
        track.trackMax = in.i32();
        for (std::int32_t k = 0; k < keys; ++k)
            track.keys.push_back(readKey());
        tracks.push_back(std::move(track));
    }
    return tracks;
}

}  // namespace

ParsedOof ParseOofForTest(const Bytes& file) {
    ParsedOof out;
    Cursor in{file};
    try {
        in.need(8);
        if (std::string(file.begin(), file.begin() + 4) != "PSPO")
            throw std::runtime_error("no PSPO at byte 0");
        in.at = 4;
        out.version = in.i32();
        while (in.at < file.size()) {
            in.need(8);
            const std::string tag(file.begin() + static_cast<std::ptrdiff_t>(in.at),
                                  file.begin() + static_cast<std::ptrdiff_t>(in.at) + 4);
            in.at += 4;
            const std::int32_t length = in.i32();
            const std::size_t start = in.at;
            if (length < 0 || static_cast<std::size_t>(length) > file.size() - start)
                throw std::runtime_error(tag + " at byte " + std::to_string(start - 8) + " runs past the file");
            out.chunks.push_back(tag);
            if (tag == "OHDR") {
                out.header.subObjects = in.i32();
                out.header.maxRadius = in.f32();
                out.header.boundsMin = in.vec();
                out.header.boundsMax = in.vec();
                out.detailCount = in.count("detail", 100);
                for (std::int32_t i = 0; i < out.detailCount; ++i)
                    in.i32();
            } else if (tag == "TXTR") {
                const std::int32_t n = in.count("texture", 1000);
                for (std::int32_t i = 0; i < n; ++i)
                    out.textures.push_back(in.text());
            } else if (tag == "SOBJ") {
                ParseSobj(in, out);
            } else if (tag == "SPCL") {
                if (out.specialPoints.empty())
                    throw std::runtime_error("SPCL before any SOBJ");
                const std::int32_t n = in.count("special point", 1000);
                for (std::int32_t i = 0; i < n; ++i) {
                    SpecialPointFields p;
                    p.name = in.text();
                    p.property = in.text();
                    p.position = in.vec();
                    p.radius = in.f32();
                    out.specialPoints.back().push_back(std::move(p));
                }
            } else if (tag == "GPNT" || tag == "GRND" || tag == "ATCH" || tag == "NATH") {
                std::vector<PointFields>& list = tag == "GPNT"   ? out.gunpoints
                                                 : tag == "GRND" ? out.groundPoints
                                                 : tag == "ATCH" ? out.attachPoints
                                                                 : out.attachUps;
                const std::int32_t n = in.count("point", 100000);
                for (std::int32_t i = 0; i < n; ++i)
                    list.push_back(in.point());
            } else if (tag == "WBAT") {
                const std::int32_t n = in.count("battery", 1000);
                for (std::int32_t b = 0; b < n; ++b) {
                    BatteryFields battery;
                    const std::int32_t guns = in.count("gun", 1000);
                    for (std::int32_t i = 0; i < guns; ++i)
                        battery.gunpoints.push_back(in.i32());
                    const std::int32_t turrets = in.count("turret", 1000);
                    for (std::int32_t i = 0; i < turrets; ++i)
                        battery.turrets.push_back(in.i32());
                    out.batteries.push_back(std::move(battery));
                }
            } else if (tag == "RANI" || tag == "ANIM") {
                out.rotation =
                    ParseTracks<RotationTrackFields>(in, static_cast<std::size_t>(out.header.subObjects), [&] {
                        RotationKeyFields key;
                        key.time = in.i32();
                        key.axis = in.vec();
                        key.angle = in.i32();
                        return key;
                    });
            } else if (tag == "PANI") {
                out.position =
                    ParseTracks<PositionTrackFields>(in, static_cast<std::size_t>(out.header.subObjects), [&] {
                        PositionKeyFields key;
                        key.time = in.i32();
                        key.position = in.vec();
                        return key;
                    });
            } else {
                in.at += static_cast<std::size_t>(length);
            }
            if (in.at != start + static_cast<std::size_t>(length))
                throw std::runtime_error(tag + " at byte " + std::to_string(start - 8) + " states " +
                                         std::to_string(length) + " bytes but its fields take " +
                                         std::to_string(in.at - start));
        }
        out.ok = true;
    } catch (const std::exception& e) {
        out.problem = e.what();
    }
    return out;
}

}  // namespace torvale::test
