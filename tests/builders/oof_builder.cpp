#include "builders/oof_builder.h"

#include <stdexcept>

namespace torvale::test {

std::string Stored(std::string_view text) {
    std::string out(text);
    out.push_back('\0');
    return out;
}

std::string RecordingSink::text() const {
    std::string out;
    for (const std::string& message : messages)
        out += message;
    return out;
}

std::vector<std::string> RecordingSink::errors() const {
    std::vector<std::string> out;
    for (const std::string& message : messages)
        if (message.starts_with("\r\nError: "))
            out.push_back(message);
    return out;
}

OofBuilder::OofBuilder(std::int32_t version, std::string_view fileId) : version_(version) {
    out_.text(fileId).i32(version);
}

void OofBuilder::beginChunk(std::string_view id) {
    const std::string name(id);
    chunkMark_ = name + std::to_string(++chunksSeen_[name]);
    marks_[chunkMark_] = out_.size();
    out_.text(id);
    lengthAt_ = out_.size();
    out_.i32(0);
}

void OofBuilder::endChunk() {
    patch(lengthAt_, static_cast<std::int32_t>(out_.size() - lengthAt_ - 4));
}

void OofBuilder::patch(std::size_t offset, std::int32_t value) {
    Bytes bytes = out_.take();
    for (std::size_t i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
    out_ = ByteBuilder();
    out_.raw(bytes);
}

void OofBuilder::mark(const std::string& suffix) {
    marks_[chunkMark_ + "." + suffix] = out_.size();
}

void OofBuilder::counted(const std::string& suffix, std::string_view stored) {
    mark(suffix);
    out_.i32(static_cast<std::int32_t>(stored.size())).text(stored);
}

void OofBuilder::point(const PointFields& p, bool withParent) {
    if (withParent)
        out_.i32(p.parent);
    vec(p.location);
    vec(p.direction);
}

OofBuilder& OofBuilder::txtr(const std::vector<std::string>& storedNames) {
    beginChunk("TXTR");
    mark("count");
    out_.i32(static_cast<std::int32_t>(storedNames.size()));
    for (std::size_t i = 0; i < storedNames.size(); ++i)
        counted("name" + std::to_string(i + 1), storedNames[i]);
    endChunk();
    return *this;
}

OofBuilder& OofBuilder::ohdr(const OhdrFields& fields) {
    beginChunk("OHDR");
    mark("count");
    out_.i32(fields.subObjects).f32(fields.maxRadius);
    vec(fields.boundsMin);
    vec(fields.boundsMax);
    mark("pairs");
    out_.i32(static_cast<std::int32_t>(fields.extraPairs.size()));
    for (const auto& [a, b] : fields.extraPairs)
        out_.i32(a).i32(b);
    endChunk();
    return *this;
}

OofBuilder& OofBuilder::sobj(const SobjFields& s) {
    beginChunk("SOBJ");
    out_.i32(s.number).i32(s.parent);
    vec(s.modelVector);
    out_.f32(s.modelD);
    vec(s.modelPoint);
    vec(s.attachOffset);
    out_.f32(s.radius).i32(s.treeOffset).i32(s.dataOffset);
    if (version_ >= 1806)
        vec(s.geometricCenter);
    counted("name", s.name);
    counted("property", s.propertyName);
    out_.i32(s.movementType).i32(s.movementAxis);
    mark("unused");
    out_.i32(static_cast<std::int32_t>(s.unusedValues.size()));
    for (const std::int32_t value : s.unusedValues)
        out_.i32(value);

    mark("vertices");
    out_.i32(static_cast<std::int32_t>(s.positions.size()));
    for (const Vector3& p : s.positions)
        vec(p);
    for (std::size_t i = 0; i < s.positions.size(); ++i)
        vec(i < s.normals.size() ? s.normals[i] : Vector3{0, 0, 1});
    if (version_ >= 2300)
        for (std::size_t i = 0; i < s.positions.size(); ++i)
            out_.f32(i < s.alphas.size() ? s.alphas[i] : 1.0f);

    mark("faces");
    out_.i32(static_cast<std::int32_t>(s.faces.size()));
    for (std::size_t f = 0; f < s.faces.size(); ++f) {
        const FaceFields& face = s.faces[f];
        const std::string name = "face" + std::to_string(f + 1);
        mark(name);
        vec(face.normal);
        mark(name + ".corners");
        out_.i32(static_cast<std::int32_t>(face.corners.size())).i32(face.textured);
        if (face.textured >= 1)
            out_.i32(face.textureIndex);
        else
            out_.u8(face.red).u8(face.green).u8(face.blue);
        for (const CornerFields& c : face.corners)
            out_.i32(c.vertex).f32(c.u).f32(c.v);
        if (version_ >= 2100)
            out_.i32(face.extraA).i32(face.extraB);
    }
    endChunk();
    return *this;
}

OofBuilder& OofBuilder::spcl(const std::vector<SpecialPointFields>& points) {
    beginChunk("SPCL");
    mark("count");
    out_.i32(static_cast<std::int32_t>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) {
        counted("name" + std::to_string(i + 1), points[i].name);
        counted("property" + std::to_string(i + 1), points[i].property);
        vec(points[i].position);
        out_.f32(points[i].radius);
    }
    endChunk();
    return *this;
}

OofBuilder& OofBuilder::gpnt(const std::vector<PointFields>& points) {
    beginChunk("GPNT");
    mark("count");
    out_.i32(static_cast<std::int32_t>(points.size()));
    for (const PointFields& p : points)
        point(p, version_ >= 1908);
    endChunk();
    return *this;
}

OofBuilder& OofBuilder::pani(const std::vector<PositionTrackFields>& tracks) {
    beginChunk("PANI");
    if (version_ < 2200) {
        mark("count");
        out_.i32(tracks.empty() ? 0 : static_cast<std::int32_t>(tracks.front().keys.size()));
        for (const auto& track : tracks)
            for (const auto& key : track.keys)
                vec(key.position);
    } else {
        for (std::size_t s = 0; s < tracks.size(); ++s) {
            mark("count" + std::to_string(s + 1));
            out_.i32(static_cast<std::int32_t>(tracks[s].keys.size())).i32(tracks[s].trackMin).i32(tracks[s].trackMax);
            for (const auto& key : tracks[s].keys) {
                out_.i32(key.time);
                vec(key.position);
            }
        }
    }
    endChunk();
    return *this;
}

OofBuilder& OofBuilder::rani(const std::vector<RotationTrackFields>& tracks) {
    beginChunk("RANI");
    if (version_ < 2200) {
        mark("count");
        out_.i32(tracks.empty() ? 0 : static_cast<std::int32_t>(tracks.front().keys.size()));
        for (const auto& track : tracks)
            for (const auto& key : track.keys) {
                vec(key.axis);
                out_.i32(key.angle);
            }
    } else {
        for (std::size_t s = 0; s < tracks.size(); ++s) {
            mark("count" + std::to_string(s + 1));
            out_.i32(static_cast<std::int32_t>(tracks[s].keys.size())).i32(tracks[s].trackMin).i32(tracks[s].trackMax);
            for (const auto& key : tracks[s].keys) {
                out_.i32(key.time);
                vec(key.axis);
                out_.i32(key.angle);
            }
        }
    }
    endChunk();
    return *this;
}

OofBuilder& OofBuilder::wbat(const std::vector<BatteryFields>& batteries) {
    beginChunk("WBAT");
    mark("count");
    out_.i32(static_cast<std::int32_t>(batteries.size()));
    for (std::size_t b = 0; b < batteries.size(); ++b) {
        mark("gunpoints" + std::to_string(b + 1));
        out_.i32(static_cast<std::int32_t>(batteries[b].gunpoints.size()));
        for (const std::int32_t index : batteries[b].gunpoints)
            out_.i32(index);
        mark("turrets" + std::to_string(b + 1));
        out_.i32(static_cast<std::int32_t>(batteries[b].turrets.size()));
        for (const std::int32_t index : batteries[b].turrets)
            out_.i32(index);
    }
    endChunk();
    return *this;
}

namespace {
void PointChunk(OofBuilder& builder, std::string_view id, const std::vector<PointFields>& points) {
    ByteBuilder body;
    body.i32(static_cast<std::int32_t>(points.size()));
    for (const PointFields& p : points)
        body.i32(p.parent)
            .vec(p.location.x, p.location.y, p.location.z)
            .vec(p.direction.x, p.direction.y, p.direction.z);
    builder.chunk(id, body.bytes());
}
}  // namespace

OofBuilder& OofBuilder::grnd(const std::vector<PointFields>& points) {
    PointChunk(*this, "GRND", points);
    marks_[chunkMark_ + ".count"] = marks_[chunkMark_] + 8;
    return *this;
}

OofBuilder& OofBuilder::atch(const std::vector<PointFields>& points) {
    PointChunk(*this, "ATCH", points);
    marks_[chunkMark_ + ".count"] = marks_[chunkMark_] + 8;
    return *this;
}

OofBuilder& OofBuilder::nath(const std::vector<PointFields>& points) {
    PointChunk(*this, "NATH", points);
    marks_[chunkMark_ + ".count"] = marks_[chunkMark_] + 8;
    return *this;
}

OofBuilder& OofBuilder::pinf(std::string_view text) {
    beginChunk("PINF");
    out_.text(text);
    endChunk();
    return *this;
}

OofBuilder& OofBuilder::chunk(std::string_view id, const Bytes& body) {
    beginChunk(id);
    out_.raw(body);
    endChunk();
    return *this;
}

OofBuilder& OofBuilder::tail(const Bytes& bytes) {
    out_.raw(bytes);
    return *this;
}

OofBuilder& OofBuilder::statedLength(std::int32_t length) {
    patch(lengthAt_, length);
    return *this;
}

OofBuilder& OofBuilder::patchI32(const std::string& name, std::int32_t value) {
    patch(at(name), value);
    return *this;
}

std::size_t OofBuilder::at(const std::string& name) const {
    const auto found = marks_.find(name);
    if (found == marks_.end())
        throw std::out_of_range("no mark " + name + " in this OOF file");
    return found->second;
}

}  // namespace torvale::test
