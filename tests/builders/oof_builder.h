#pragma once

// Test-side OOF files, written byte by byte. The builder knows the file layout on its own (it shares no code
// with the reader), writes the fields each version holds, and remembers where every chunk and every count
// went, so that a test can damage one field and expect the reader to name that offset.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/output_log.h"
#include "builders/bytes.h"
#include "oof/object_model.h"

namespace torvale::test {

// A counted text as games store it: the characters and a trailing zero byte.
std::string Stored(std::string_view text);

struct OhdrFields {
    std::int32_t subObjects = 1;
    float maxRadius = 1.0f;
    Vector3 boundsMin{-1.0f, -1.0f, -1.0f};
    Vector3 boundsMax{1.0f, 1.0f, 1.0f};
    std::vector<std::pair<std::int32_t, std::int32_t>> extraPairs;
};

struct CornerFields {
    std::int32_t vertex = 0;
    float u = 0.0f;
    float v = 0.0f;
};

struct FaceFields {
    Vector3 normal{0.0f, 0.0f, 1.0f};
    std::int32_t textured = 1;  // as stored: 1 or more is textured, otherwise three colour bytes follow
    std::int32_t textureIndex = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::vector<CornerFields> corners;
    std::uint32_t extraA = 0;  // written from version 2100 on
    std::uint32_t extraB = 0;
};

struct SobjFields {
    std::int32_t number = 0;
    std::int32_t parent = -1;
    Vector3 modelVector;
    float modelD = 0.0f;
    Vector3 modelPoint;
    Vector3 attachOffset;
    float radius = 1.0f;
    std::int32_t treeOffset = 0;
    std::int32_t dataOffset = 0;
    Vector3 geometricCenter;  // written from version 1806 on
    std::string name = Stored("body");
    std::string propertyName = Stored("");
    std::int32_t movementType = 0;
    std::int32_t movementAxis = 0;
    std::vector<std::int32_t> unusedValues;
    std::vector<Vector3> positions;
    std::vector<Vector3> normals;  // missing entries are written as (0, 0, 1)
    std::vector<float> alphas;     // written from version 2300 on; missing entries as 1
    std::vector<FaceFields> faces;
};

struct SpecialPointFields {
    std::string name;  // stored bytes
    std::string property;
    Vector3 position;
    float radius = 0.0f;
};

struct PointFields {
    std::int32_t parent = 0;  // GPNT writes it from version 1908 on
    Vector3 location;
    Vector3 direction;
};

struct PositionKeyFields {
    std::int32_t time = 0;  // written from version 2200 on
    Vector3 position;
};

struct RotationKeyFields {
    std::int32_t time = 0;  // written from version 2200 on
    Vector3 axis;
    std::int32_t angle = 0;
};

// One sub-object's animation track. Before version 2200 the file holds one key count for every sub-object:
// the builder writes the first track's count and then each track's keys.
template <typename Key>
struct TrackFields {
    std::int32_t trackMin = 0;  // written from version 2200 on
    std::int32_t trackMax = 0;
    std::vector<Key> keys;
};
using PositionTrackFields = TrackFields<PositionKeyFields>;
using RotationTrackFields = TrackFields<RotationKeyFields>;

struct BatteryFields {
    std::vector<std::int32_t> gunpoints;
    std::vector<std::int32_t> turrets;
};

class OofBuilder {
public:
    explicit OofBuilder(std::int32_t version = 2300, std::string_view fileId = "PSPO");

    OofBuilder& txtr(const std::vector<std::string>& storedNames);
    OofBuilder& ohdr(const OhdrFields& fields);
    OofBuilder& sobj(const SobjFields& fields);
    OofBuilder& spcl(const std::vector<SpecialPointFields>& points);
    OofBuilder& gpnt(const std::vector<PointFields>& points);
    OofBuilder& pani(const std::vector<PositionTrackFields>& tracks);
    OofBuilder& rani(const std::vector<RotationTrackFields>& tracks);
    OofBuilder& wbat(const std::vector<BatteryFields>& batteries);
    OofBuilder& grnd(const std::vector<PointFields>& points);
    OofBuilder& atch(const std::vector<PointFields>& points);
    OofBuilder& nath(const std::vector<PointFields>& points);
    // The POFGEN text; its chunk length is the text's length.
    OofBuilder& pinf(std::string_view text);
    // Any chunk with a hand-made body.
    OofBuilder& chunk(std::string_view id, const Bytes& body);
    // Bytes after the last chunk.
    OofBuilder& tail(const Bytes& bytes);

    // Overwrites the length in the last chunk's header (the reader does not use it, except for PINF).
    OofBuilder& statedLength(std::int32_t length);
    // Overwrites the int32 at a mark.
    OofBuilder& patchI32(const std::string& mark, std::int32_t value);

    // Offsets of what was written. Chunk headers: "SOBJ1" (the first SOBJ chunk), "SOBJ2", ... Counts and
    // text lengths inside them: "TXTR1.count", "TXTR1.name2", "OHDR1.count", "OHDR1.pairs", "SOBJ1.name",
    // "SOBJ1.property", "SOBJ1.unused", "SOBJ1.vertices", "SOBJ1.faces", "SOBJ1.face3" (start of the face),
    // "SOBJ1.face3.corners", "SPCL1.count", "SPCL1.name2", "SPCL1.property2", "GPNT1.count",
    // "PANI1.count" (one count before 2200) or "PANI1.count2" (slot 2, from 2200), "RANI1...." likewise,
    // "WBAT1.count", "WBAT1.gunpoints2", "WBAT1.turrets2", "GRND1.count", "ATCH1.count", "NATH1.count".
    std::size_t at(const std::string& mark) const;

    std::int32_t version() const { return version_; }
    std::size_t size() const { return out_.size(); }
    Bytes bytes() const { return out_.bytes(); }

private:
    // Starts a chunk: the header with a length patched by endChunk, and the chunk's mark.
    void beginChunk(std::string_view id);
    void endChunk();
    void patch(std::size_t offset, std::int32_t value);
    void mark(const std::string& suffix);
    void counted(const std::string& suffix, std::string_view stored);
    void point(const PointFields& p, bool withParent);
    void vec(const Vector3& v) { out_.f32(v.x).f32(v.y).f32(v.z); }

    std::int32_t version_;
    ByteBuilder out_;
    std::map<std::string, std::size_t> marks_;
    std::map<std::string, int> chunksSeen_;
    std::string chunkMark_;
    std::size_t lengthAt_ = 0;
};

// Keeps every message sent to the log, one entry per PrintOutput call.
class RecordingSink : public OutputSink {
public:
    void PrintOutput(std::string_view message) override { messages.emplace_back(message); }
    // All messages joined, as the log would show them without its four spaces.
    std::string text() const;
    bool contains(std::string_view piece) const { return text().find(piece) != std::string::npos; }
    // The messages that start with CR LF "Error: ".
    std::vector<std::string> errors() const;

    std::vector<std::string> messages;
};

// The model that ships as samples/sample.oof: version 2300, three sub-objects with parents and offsets, three
// textures and an untextured face, special points, gunpoints, a weapon battery, attach points, animation and
// POFGEN text.
Bytes SampleOof();

// A model file nobody here made, by its name.
struct RealModel {
    std::string name;
    Bytes bytes;
};

// The game's own models among the real files under `realWorld`: the five of the official extra archive
// (hog/EXTRA13.HOG) and the shield powerup (oof/Shield.OOF). Empty when the archive cannot be read.
std::vector<RealModel> GameModels(const std::string& realWorld);

// One sub-object with 25000 vertices and 25000 textured triangles, and every other chunk: the largest model
// the former fixed capacities allowed for a single sub-object.
Bytes FullCapacityOof();

}  // namespace torvale::test
