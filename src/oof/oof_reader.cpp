#include "oof/oof_reader.h"

#include <algorithm>
#include <iterator>

#include "core/field_reader.h"
#include "core/little_endian.h"
#include "core/number_text.h"
#include "oof/model_report.h"

namespace torvale {
namespace {

// No count or text length in a model goes beyond this.
constexpr std::int32_t kCountLimit = 32766;

// Versions from which optional fields are present.
constexpr std::int32_t kGeometricCenterVersion = 1806;
constexpr std::int32_t kGunpointParentVersion = 1908;
constexpr std::int32_t kFaceExtrasVersion = 2100;
constexpr std::int32_t kKeyTracksVersion = 2200;
constexpr std::int32_t kVertexAlphaVersion = 2300;

// The smallest sizes of the elements that counts announce, in bytes.
constexpr std::size_t kVectorBytes = 12;
constexpr std::size_t kPointRecordBytes = 4 + 2 * kVectorBytes;
constexpr std::size_t kCornerBytes = 12;
// A face without corners: normal, corner count, texture flag and at least the three colour bytes.
constexpr std::size_t kFaceBytes = kVectorBytes + 4 + 4 + 3;
// A special point with two empty texts: both lengths, the position and the radius.
constexpr std::size_t kSpecialPointBytes = 4 + 4 + kVectorBytes + 4;
constexpr std::size_t kBatteryBytes = 4 + 4;

// The chunks read field by field, in the order the ids are tried; PINF, the POFGEN text, ends the file.
constexpr std::string_view kChunkIds[] = {"TXTR", "OHDR", "SOBJ", "SPCL", "GPNT", "PANI",
                                          "RANI", "WBAT", "GRND", "ATCH", "NATH"};

constexpr CountName kSubObjects{"sub-object", "sub-objects", "sub-object count"};
constexpr CountName kTextures{"texture", "textures", "texture count"};
constexpr CountName kTextureNameChars{"texture name character", "texture name characters", "texture name length"};
constexpr CountName kHeaderPairs{"header value pair", "header value pairs", "count of header value pairs"};
constexpr CountName kNameChars{"name character", "name characters", "name length"};
constexpr CountName kPropertyChars{"property character", "property characters", "property length"};
constexpr CountName kUnusedValues{"unused value", "unused values", "count of unused values"};
constexpr CountName kVertices{"vertex", "vertices", "vertex count"};
constexpr CountName kFaces{"face", "faces", "face count"};
constexpr CountName kCorners{"face corner", "face corners", "corner count of a face"};
constexpr CountName kSpecialPoints{"special point", "special points", "special point count"};
constexpr CountName kPointNameChars{"point name character", "point name characters", "point name length"};
constexpr CountName kPointPropertyChars{"point property character", "point property characters",
                                        "point property length"};
constexpr CountName kGunpoints{"gunpoint", "gunpoints", "gunpoint count"};
constexpr CountName kPositionKeys{"position key", "position keys", "position key count"};
constexpr CountName kRotationKeys{"rotation key", "rotation keys", "rotation key count"};
constexpr CountName kBatteries{"weapon battery", "weapon batteries", "weapon battery count"};
constexpr CountName kBatteryGunpoints{"battery gunpoint", "battery gunpoints", "gunpoint count of a battery"};
constexpr CountName kBatteryTurrets{"battery turret", "battery turrets", "turret count of a battery"};
constexpr CountName kGroundPoints{"ground point", "ground points", "ground point count"};
constexpr CountName kAttachPoints{"attach point", "attach points", "attach point count"};
constexpr CountName kAttachNormals{"attach normal", "attach normals", "attach normal count"};

// Refusals: CR LF "Error: " chunk id " at byte " offset ... CR LF.
constexpr RefusalWording kOofWording{"Error: ", " is cut short by the end of the file (reading the ", ")"};

// "70000 faces", "1 face"
std::string Counted(std::int64_t count, const CountName& what) {
    return FormatInteger(count) + " " + std::string(count == 1 ? what.singular : what.plural);
}

inline Vector3 DecodeVector(const std::uint8_t* p) {
    return {LoadF32(p), LoadF32(p + 4), LoadF32(p + 8)};
}
inline FaceVertex DecodeCorner(const std::uint8_t* p) {
    return {LoadI32(p), LoadF32(p + 4), LoadF32(p + 8)};
}

// Walks a run of fixed-size records whose bytes are known to be there, decoding each as it is read. Tables
// are filled with vector::assign / insert over such a run: every element is built once, straight from the
// file, with no zero fill before it.
template <typename T, std::size_t Size, T (*Decode)(const std::uint8_t*)>
class Records {
public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = const T*;
    using reference = T;

    explicit Records(const std::uint8_t* p) : p_(p) {}
    T operator*() const { return Decode(p_); }
    Records& operator++() {
        p_ += Size;
        return *this;
    }
    Records operator++(int) {
        Records before = *this;
        p_ += Size;
        return before;
    }
    Records& operator--() {
        p_ -= Size;
        return *this;
    }
    Records& operator+=(difference_type n) {
        p_ += n * static_cast<difference_type>(Size);
        return *this;
    }
    difference_type operator-(const Records& other) const {
        return (p_ - other.p_) / static_cast<difference_type>(Size);
    }
    bool operator==(const Records& other) const { return p_ == other.p_; }

private:
    const std::uint8_t* p_;
};
using VectorRecords = Records<Vector3, 12, DecodeVector>;
using CornerRecords = Records<FaceVertex, 12, DecodeCorner>;

// Grows a table that is never emptied so that it holds at least `count` entries; entries beyond the new
// count keep what an earlier file put there.
template <typename T>
void GrowTo(std::vector<T>& table, std::int32_t count) {
    const auto size = static_cast<std::size_t>(count);
    if (table.size() < size)
        table.resize(size);
}

class OofReader {
public:
    OofReader(std::span<const std::uint8_t> bytes,
              ObjectModel& model,
              ModelReport& report,
              const std::function<void(std::size_t)>* passed)
        : in_(bytes, kOofWording), model_(model), report_(report), passed_(passed) {}

    int read(std::string_view title);

private:
    bool i32(std::int32_t& out, std::string_view field) { return in_.i32(out, field); }
    bool f32(float& out, std::string_view field) { return in_.f32(out, field); }
    bool vec(Vector3& out, std::string_view field);
    bool point(PointRecord& out, bool withParent);
    // A count: refused when negative, above the limit, or when `count` elements of at least `leastBytes`
    // bytes each cannot fit in what is left of the file.
    bool count(std::int32_t& out, const CountName& what, std::size_t leastBytes);
    // A counted text: length, then that many bytes, each kept as one character.
    bool text(std::int32_t& length, std::string& out, const CountName& what);

    bool readTxtr();
    bool readOhdr();
    bool readSobj();
    bool readFaces(SubObject& sub, std::int32_t faceCount);
    bool readFaceFieldByField(SubObject& sub, std::size_t face);
    bool readSpcl();
    bool readGpnt();
    // PANI and RANI: per sub-object a track of position keys, or of rotation keys with their angles.
    struct KeyTrack {
        const CountName& what;
        std::int32_t ObjectModel::*sharedCount;  // before version 2200 one count serves every sub-object
        std::int32_t SubObject::*keyCount;
        std::int32_t SubObject::*trackMin;
        std::int32_t SubObject::*trackMax;
        std::vector<std::int32_t> SubObject::*times;
        std::vector<Vector3> SubObject::*vectors;
        std::vector<std::int32_t> SubObject::*angles;  // null for position keys
        void (ModelReport::*line)(std::int32_t, std::int32_t, std::int32_t, std::int32_t);
        std::string_view minField;
        std::string_view maxField;
        std::string_view timeField;
        std::string_view vectorField;
    };
    static const KeyTrack kPositionTrack;
    static const KeyTrack kRotationTrack;
    bool readKeyTracks(const KeyTrack& track);
    bool readWbat();
    bool readBatteryList(std::int32_t battery, bool turrets);
    using CountLine = void (ModelReport::*)(std::int32_t);
    bool readPointChunk(std::int32_t& count,
                        std::vector<PointRecord>& table,
                        const CountName& what,
                        CountLine countLine,
                        std::string_view label);
    int readPinf(std::int32_t length);
    // The body of a chunk from TXTR to NATH, after its found line.
    bool readChunkBody();

    // Slot `slot` (1-based) of the sub-object table, made if no SOBJ chunk of this file has made it yet.
    SubObject& slot(std::int32_t slot);
    bool version(std::int32_t from) const { return model_.fileVersion >= from; }

    // The bytes at the reading position; only for runs of bytes whose presence has been checked.
    const std::uint8_t* here() const { return in_.here(); }

    FieldReader in_;
    ObjectModel& model_;
    ModelReport& report_;
    const std::function<void(std::size_t)>* passed_;
    bool headerRead_ = false;          // an OHDR chunk of this file has been read
    std::int32_t subObjectsRead_ = 0;  // SOBJ chunks of this file so far
};

const OofReader::KeyTrack OofReader::kPositionTrack{kPositionKeys,
                                                    &ObjectModel::positionKeyCountShared,
                                                    &SubObject::positionKeyCount,
                                                    &SubObject::positionTrackMin,
                                                    &SubObject::positionTrackMax,
                                                    &SubObject::positionKeyTimes,
                                                    &SubObject::positionKeys,
                                                    nullptr,
                                                    &ModelReport::positionTrack,
                                                    "position track minimum",
                                                    "position track maximum",
                                                    "time of a position key",
                                                    "position key"};
const OofReader::KeyTrack OofReader::kRotationTrack{kRotationKeys,
                                                    &ObjectModel::rotationKeyCountShared,
                                                    &SubObject::rotationKeyCount,
                                                    &SubObject::rotationTrackMin,
                                                    &SubObject::rotationTrackMax,
                                                    &SubObject::rotationKeyTimes,
                                                    &SubObject::rotationKeyAxes,
                                                    &SubObject::rotationKeyAngles,
                                                    &ModelReport::rotationTrack,
                                                    "rotation track minimum",
                                                    "rotation track maximum",
                                                    "time of a rotation key",
                                                    "rotation axis"};

bool OofReader::vec(Vector3& out, std::string_view field) {
    return in_.need(kVectorBytes, field) && in_.readF32(out.x) && in_.readF32(out.y) && in_.readF32(out.z);
}

bool OofReader::point(PointRecord& out, bool withParent) {
    out.parent = 0;
    return (!withParent || i32(out.parent, "parent")) && vec(out.location, "location") &&
           vec(out.direction, "direction");
}

bool OofReader::count(std::int32_t& out, const CountName& what, std::size_t leastBytes) {
    const std::size_t at = in_.position();
    std::int32_t value = 0;
    if (!i32(value, what.field))
        return false;
    if (value < 0)
        return in_.refuse(at, " announces " + Counted(value, what) + ", a negative number");
    if (value > kCountLimit)
        return in_.refuse(at, " announces " + Counted(value, what) + ", more than " + FormatInteger(kCountLimit));
    // No overflow: the count is at most 32766 and no element takes more than a few hundred kilobytes.
    if (static_cast<std::uint64_t>(value) * leastBytes > in_.remaining()) {
        const std::size_t left = in_.remaining();
        return in_.refuse(at, " announces " + Counted(value, what) + ", but only " +
                                  FormatInteger(static_cast<std::int64_t>(left)) +
                                  (left == 1 ? " byte is" : " bytes are") + " left");
    }
    out = value;
    return true;
}

bool OofReader::text(std::int32_t& length, std::string& out, const CountName& what) {
    std::int32_t size = 0;
    if (!count(size, what, 1))
        return false;
    length = size;
    out.clear();
    return in_.readText(static_cast<std::size_t>(size), out);  // cannot fail: the count fits
}

SubObject& OofReader::slot(std::int32_t number) {
    const auto size = static_cast<std::size_t>(number);
    if (model_.subObjects.size() < size)
        model_.subObjects.resize(size);
    return model_.subObjects[size - 1];
}

bool OofReader::readTxtr() {
    std::int32_t textures = 0;
    if (!count(textures, kTextures, 4))
        return false;
    if (textures >= 1)
        model_.resizeTextures(textures);
    else
        model_.textureCount = 0;  // the old names stay
    report_.texturesFound(textures);
    for (std::size_t i = 0; i < static_cast<std::size_t>(textures); ++i) {
        if (!text(model_.textureNameLengths[i], model_.textureNames[i], kTextureNameChars))
            return false;
        report_.textureName(model_.textureNames[i]);
    }
    return true;
}

bool OofReader::readOhdr() {
    const std::size_t at = in_.position();
    std::int32_t subObjects = 0;
    if (!i32(subObjects, kSubObjects.field))
        return false;
    if (subObjects < 1)
        return in_.refuse(at, " announces " + FormatInteger(subObjects) + " sub-objects, but a model has at least 1");
    if (subObjects > kCountLimit) {
        return in_.refuse(
            at, " announces " + Counted(subObjects, kSubObjects) + ", more than " + FormatInteger(kCountLimit));
    }
    model_.resizeSubObjects(subObjects);
    headerRead_ = true;
    report_.subObjectsFound(subObjects);

    if (!f32(model_.maxRadius, "radius"))
        return false;
    report_.maxRadius(model_.maxRadius);
    if (!vec(model_.boundsMin, "smallest bounding box corner"))
        return false;
    report_.boundsMin(model_.boundsMin);
    if (!vec(model_.boundsMax, "largest bounding box corner"))
        return false;
    report_.boundsMax(model_.boundsMax);

    std::int32_t pairs = 0;
    if (!count(pairs, kHeaderPairs, 8))
        return false;
    model_.headerExtraCount = pairs;
    return in_.skip(static_cast<std::size_t>(pairs) * 8);  // cannot fail: the count fits
}

bool OofReader::readSobj() {
    if (!headerRead_)
        return in_.refuseChunk(" comes before the object header (OHDR)");
    if (subObjectsRead_ >= model_.subObjectCount) {
        return in_.refuseChunk(" is sub-object " + FormatInteger(subObjectsRead_ + 1) + ", but OHDR declared only " +
                               FormatInteger(model_.subObjectCount));
    }
    ++subObjectsRead_;
    SubObject& sub = slot(subObjectsRead_);
    sub = SubObject();

    if (!i32(sub.number, "sub-object number"))
        return false;
    report_.subObjectNumber(sub.number);
    if (!i32(sub.parent, "parent"))
        return false;
    report_.parent(sub.parent);
    if (!vec(sub.modelVector, "model vector"))
        return false;
    report_.modelVector(sub.modelVector);
    if (!f32(sub.modelD, "model d"))
        return false;
    report_.modelD(sub.modelD);
    if (!vec(sub.modelPoint, "model point"))
        return false;
    report_.modelPoint(sub.modelPoint);
    if (!vec(sub.attachOffset, "offset"))
        return false;
    report_.attachOffset(sub.attachOffset);
    if (!f32(sub.radius, "radius"))
        return false;
    report_.subObjectRadius(sub.radius);
    if (!i32(sub.treeOffset, "tree offset"))
        return false;
    report_.treeOffset(sub.treeOffset);
    if (!i32(sub.dataOffset, "data offset"))
        return false;
    report_.dataOffset(sub.dataOffset);
    if (version(kGeometricCenterVersion) && !vec(sub.geometricCenter, "geometric centre"))
        return false;
    report_.geometricCenter(sub.geometricCenter);
    if (!text(sub.nameLength, sub.name, kNameChars))
        return false;
    report_.name(sub.name);
    if (!text(sub.propertyLength, sub.propertyName, kPropertyChars))
        return false;
    report_.propertyName(sub.propertyName);
    if (!i32(sub.movementType, "movement type"))
        return false;
    report_.movementType(sub.movementType);
    if (!i32(sub.movementAxis, "movement axis"))
        return false;
    report_.movementAxis(sub.movementAxis);

    std::int32_t unused = 0;
    if (!count(unused, kUnusedValues, 4) || !in_.skip(static_cast<std::size_t>(unused) * 4))
        return false;

    const bool alphas = version(kVertexAlphaVersion);
    std::int32_t vertices = 0;
    if (!count(vertices, kVertices, 2 * kVectorBytes + (alphas ? 4 : 0)))
        return false;
    sub.vertexCount = vertices;
    report_.vertexCount(vertices);
    // The count fits in what is left, so the vertices are all there.
    const auto v = static_cast<std::size_t>(vertices);
    const std::uint8_t* p = here();
    sub.vertexPositions.assign(VectorRecords(p), VectorRecords(p + v * kVectorBytes));
    p += v * kVectorBytes;
    sub.vertexNormals.assign(VectorRecords(p), VectorRecords(p + v * kVectorBytes));
    p += v * kVectorBytes;
    if (alphas) {
        sub.vertexAlphas.resize(v);
        for (float& alpha : sub.vertexAlphas) {
            alpha = LoadF32(p);
            p += 4;
        }
    } else {
        sub.vertexAlphas.assign(v, 1.0f);
    }
    (void)in_.skip(static_cast<std::size_t>(p - here()));

    std::int32_t faces = 0;
    if (!count(faces, kFaces, kFaceBytes + (version(kFaceExtrasVersion) ? 8 : 0)))
        return false;
    sub.faceCount = faces;
    report_.faceCount(faces);
    return readFaces(sub, faces);
}

bool OofReader::readFaces(SubObject& sub, std::int32_t faceCount) {
    const auto faces = static_cast<std::size_t>(faceCount);
    const bool extras = version(kFaceExtrasVersion);
    constexpr std::size_t kFaceHead = kVectorBytes + 4 + 4;  // normal, corner count, texture flag

    // Every per-face table holds faceCount entries from the start; a face the file cuts short stays empty.
    sub.faceNormals.resize(faces);
    sub.faceVertexCounts.resize(faces);
    sub.faceTextured.resize(faces);
    sub.faceColors.resize(faces);
    sub.faceTextureIndices.resize(faces);
    sub.faceFirstCorner.resize(faces);
    sub.faceExtraA.resize(faces);
    sub.faceExtraB.resize(faces);
    // Most faces are triangles; the reservation never exceeds the corners the file can hold.
    sub.faceVertices.reserve(std::min(faces * 3, in_.remaining() / kCornerBytes));

    Vector3* normal = sub.faceNormals.data();
    std::int32_t* cornerCount = sub.faceVertexCounts.data();
    std::int32_t* textured = sub.faceTextured.data();
    FaceColor* color = sub.faceColors.data();
    std::int32_t* textureIndex = sub.faceTextureIndices.data();
    std::size_t* firstCorner = sub.faceFirstCorner.data();
    std::uint32_t* extraA = sub.faceExtraA.data();
    std::uint32_t* extraB = sub.faceExtraB.data();
    const std::uint8_t* p = here();
    const std::uint8_t* const end = in_.end();
    for (std::size_t f = 0; f < faces; ++f) {
        // A face that lies whole in the file with a sound corner count is decoded in one step; anything else
        // (a damaged count, the end of the file) is read field by field, which says exactly what is wrong.
        const auto left = static_cast<std::size_t>(end - p);
        const std::int32_t n = left >= kFaceHead ? LoadI32(p + 12) : -1;
        const std::int32_t flag = left >= kFaceHead ? LoadI32(p + 16) : 0;
        const std::size_t size =
            kFaceHead + (flag >= 1 ? 4 : 3) + static_cast<std::size_t>(n) * kCornerBytes + (extras ? 8 : 0);
        if (n < 0 || n > kCountLimit || size > left) {
            (void)in_.skip(static_cast<std::size_t>(p - here()));
            if (!readFaceFieldByField(sub, f))
                return false;
            p = here();
            continue;
        }
        const std::uint8_t* const next = p + size;
        normal[f] = DecodeVector(p);
        cornerCount[f] = n;
        textured[f] = flag;
        p += kFaceHead;
        if (flag >= 1) {
            textureIndex[f] = LoadI32(p);
            p += 4;
        } else {
            textureIndex[f] = -1;
            color[f] = {p[0], p[1], p[2]};
            p += 3;
        }
        firstCorner[f] = sub.faceVertices.size();
        const std::uint8_t* const cornersEnd = p + static_cast<std::size_t>(n) * kCornerBytes;
        sub.faceVertices.insert(sub.faceVertices.end(), CornerRecords(p), CornerRecords(cornersEnd));
        if (extras) {
            extraA[f] = LoadU32(cornersEnd);
            extraB[f] = LoadU32(cornersEnd + 4);
        }
        p = next;
    }
    (void)in_.skip(static_cast<std::size_t>(p - here()));
    return true;
}

bool OofReader::readFaceFieldByField(SubObject& sub, std::size_t f) {
    if (!vec(sub.faceNormals[f], "face normal"))
        return false;
    std::int32_t corners = 0;
    if (!count(corners, kCorners, kCornerBytes))
        return false;
    std::int32_t textured = 0;
    if (!i32(textured, "texture flag of a face"))
        return false;
    std::int32_t textureIndex = -1;
    FaceColor color;
    if (textured >= 1) {
        if (!i32(textureIndex, "texture index of a face"))
            return false;
    } else if (!in_.need(3, "colour of a face")) {
        return false;
    } else {
        (void)(in_.readU8(color.red) && in_.readU8(color.green) && in_.readU8(color.blue));
    }
    // The corner count was checked against the bytes left, so the corners themselves are there.
    const std::size_t first = sub.faceVertices.size();
    sub.faceVertices.resize(first + static_cast<std::size_t>(corners));
    for (std::size_t c = first; c < sub.faceVertices.size(); ++c) {
        FaceVertex& corner = sub.faceVertices[c];
        (void)(in_.readI32(corner.vertexIndex) && in_.readF32(corner.u) && in_.readF32(corner.v));
    }
    sub.faceVertexCounts[f] = corners;
    sub.faceTextured[f] = textured;
    sub.faceTextureIndices[f] = textureIndex;
    sub.faceColors[f] = color;
    sub.faceFirstCorner[f] = first;
    return !version(kFaceExtrasVersion) || (in_.u32(sub.faceExtraA[f], "extra values of a face") &&
                                            in_.u32(sub.faceExtraB[f], "extra values of a face"));
}

bool OofReader::readSpcl() {
    if (subObjectsRead_ < 1)
        return in_.refuseChunk(" comes before any sub-object (SOBJ)");
    SubObject& sub = slot(subObjectsRead_);
    std::int32_t points = 0;
    if (!count(points, kSpecialPoints, kSpecialPointBytes))
        return false;
    const auto n = static_cast<std::size_t>(points);
    sub.specialPointCount = points;
    sub.specialPointNameLengths.assign(n, 0);
    sub.specialPointNames.assign(n, std::string());
    sub.specialPointPropertyLengths.assign(n, 0);
    sub.specialPointProperties.assign(n, std::string());
    sub.specialPointPositions.assign(n, Vector3());
    sub.specialPointRadii.assign(n, 0.0f);
    report_.specialPointCount(points);

    // Of both texts only the characters above code 32 are kept; all stored bytes are read.
    const auto keepVisible = [](std::string& text) {
        std::erase_if(text, [](char c) { return static_cast<unsigned char>(c) <= 32; });
    };
    for (std::size_t i = 0; i < n; ++i) {
        if (!text(sub.specialPointNameLengths[i], sub.specialPointNames[i], kPointNameChars))
            return false;
        keepVisible(sub.specialPointNames[i]);
        if (!text(sub.specialPointPropertyLengths[i], sub.specialPointProperties[i], kPointPropertyChars))
            return false;
        keepVisible(sub.specialPointProperties[i]);
        if (!vec(sub.specialPointPositions[i], "position of a special point") ||
            !f32(sub.specialPointRadii[i], "radius of a special point"))
            return false;
        report_.specialPoint(static_cast<std::int32_t>(i + 1), sub.specialPointNames[i], sub.specialPointProperties[i],
                             sub.specialPointPositions[i], sub.specialPointRadii[i]);
    }
    return true;
}

bool OofReader::readGpnt() {
    const bool withParent = version(kGunpointParentVersion);
    std::int32_t points = 0;
    if (!count(points, kGunpoints, kPointRecordBytes - (withParent ? 0 : 4)))
        return false;
    model_.gunpointCount = points;
    GrowTo(model_.gunpoints, points);
    report_.gunpointCount(points);
    for (std::int32_t i = 0; i < points; ++i) {
        PointRecord& gunpoint = model_.gunpoints[static_cast<std::size_t>(i)];
        if (!point(gunpoint, withParent))
            return false;
        report_.point("Gunpoint #", i + 1, gunpoint);
    }
    return true;
}

bool OofReader::readKeyTracks(const KeyTrack& track) {
    if (subObjectsRead_ < 1)
        return in_.refuseChunk(" comes before any sub-object (SOBJ)");
    // A key: its time (from version 2200 on), a vector and, for rotations, an angle.
    const std::size_t keyBytes = kVectorBytes + (track.angles ? 4 : 0);
    if (!version(kKeyTracksVersion)) {
        // One key count for every sub-object, then that many keys for each of them.
        std::int32_t keys = 0;
        if (!count(keys, track.what, keyBytes * static_cast<std::size_t>(subObjectsRead_)))
            return false;
        model_.*track.sharedCount = keys;
        for (std::int32_t s = 1; s <= subObjectsRead_; ++s) {
            SubObject& sub = slot(s);
            sub.*track.keyCount = keys;
            const auto n = static_cast<std::size_t>(keys);
            (sub.*track.vectors).resize(n);
            if (track.angles)
                (sub.*track.angles).resize(n);
            for (std::size_t k = 0; k < n; ++k) {  // the count fits
                (void)vec((sub.*track.vectors)[k], track.vectorField);
                if (track.angles)
                    (void)in_.readI32((sub.*track.angles)[k]);
            }
        }
        return true;
    }
    for (std::int32_t s = 1; s <= subObjectsRead_; ++s) {
        std::int32_t keys = 0;
        std::int32_t trackMin = 0;
        std::int32_t trackMax = 0;
        if (!count(keys, track.what, 4 + keyBytes) || !i32(trackMin, track.minField) || !i32(trackMax, track.maxField))
            return false;
        SubObject& sub = slot(s);
        sub.*track.keyCount = keys;
        sub.*track.trackMin = trackMin;
        sub.*track.trackMax = trackMax;
        (report_.*track.line)(s, keys, trackMin, trackMax);
        const auto n = static_cast<std::size_t>(keys);
        (sub.*track.times).resize(n);
        (sub.*track.vectors).resize(n);
        if (track.angles)
            (sub.*track.angles).resize(n);
        for (std::size_t k = 0; k < n; ++k) {
            if (!i32((sub.*track.times)[k], track.timeField) || !vec((sub.*track.vectors)[k], track.vectorField) ||
                (track.angles && !i32((sub.*track.angles)[k], "rotation angle")))
                return false;
        }
    }
    return true;
}

bool OofReader::readWbat() {
    std::int32_t batteries = 0;
    if (!count(batteries, kBatteries, kBatteryBytes))
        return false;
    model_.weaponBatteryCount = batteries;
    GrowTo(model_.batteryGunpointCounts, batteries);
    GrowTo(model_.batteryGunpointIndices, batteries);
    GrowTo(model_.batteryTurretCounts, batteries);
    GrowTo(model_.batteryTurretIndices, batteries);
    report_.weaponBatteryCount(batteries);
    for (std::int32_t b = 1; b <= batteries; ++b)
        if (!readBatteryList(b, false) || !readBatteryList(b, true))
            return false;
    return true;
}

// One list of a battery: its count, then the indices; the first eight are kept and the count is capped at
// eight, the rest is read past.
bool OofReader::readBatteryList(std::int32_t battery, bool turrets) {
    const auto b = static_cast<std::size_t>(battery - 1);
    std::int32_t entries = 0;
    if (!count(entries, turrets ? kBatteryTurrets : kBatteryGunpoints, 4))
        return false;
    if (turrets)
        report_.batteryTurretCount(battery, entries);
    else
        report_.batteryGunpointCount(battery, entries);
    auto& indices = turrets ? model_.batteryTurretIndices[b] : model_.batteryGunpointIndices[b];
    const std::int32_t kept = std::min<std::int32_t>(entries, kIndicesPerBattery);
    for (std::int32_t j = 0; j < kept; ++j) {
        std::int32_t& index = indices[static_cast<std::size_t>(j)];
        (void)in_.readI32(index);  // the count fits
        if (turrets)
            report_.batteryTurretIndex(j + 1, index);
        else
            report_.batteryGunpointIndex(j + 1, index);
    }
    (void)in_.skip(static_cast<std::size_t>(entries - kept) * 4);
    (turrets ? model_.batteryTurretCounts : model_.batteryGunpointCounts)[b] = kept;
    return true;
}

// GRND, ATCH and NATH: a count, then that many point records.
bool OofReader::readPointChunk(std::int32_t& pointCount,
                               std::vector<PointRecord>& table,
                               const CountName& what,
                               CountLine countLine,
                               std::string_view label) {
    std::int32_t points = 0;
    if (!count(points, what, kPointRecordBytes))
        return false;
    pointCount = points;
    GrowTo(table, points);
    (report_.*countLine)(points);
    for (std::int32_t i = 0; i < points; ++i) {
        PointRecord& record = table[static_cast<std::size_t>(i)];
        (void)point(record, true);  // the count fits
        report_.point(label, i + 1, record);
    }
    return true;
}

// The POFGEN text: the chunk length is the text's length, and the file loads even when the text is cut short.
int OofReader::readPinf(std::int32_t length) {
    report_.pofgenOutputHeading();
    model_.pofgenInfoText.clear();
    model_.pofgenInfoLength = length;
    if (length < 1)
        return kOofLoaded;
    const auto wanted = static_cast<std::size_t>(length);
    const std::size_t present = std::min(wanted, in_.remaining());
    std::span<const std::uint8_t> body;
    (void)in_.readBytes(present, body);
    std::string& text = model_.pofgenInfoText;
    text.reserve(present + static_cast<std::size_t>(std::count(body.begin(), body.end(), std::uint8_t{10})));
    for (const std::uint8_t byte : body) {
        if (byte == 10)
            text += kCrLf;
        else
            text += static_cast<char>(byte);
    }
    if (present < wanted)
        report_.pofgenIncorrectData();
    else
        report_.pofgenText(text);
    return kOofLoaded;
}

int OofReader::read(std::string_view title) {
    if (in_.size() < 8)
        return kOofInvalid;
    model_.fileId.clear();
    (void)in_.readText(4, model_.fileId);
    if (model_.fileId != "PSPO")
        return kOofInvalid;
    (void)in_.readI32(model_.fileVersion);
    report_.opened(title);
    report_.fileId(model_.fileId);
    report_.version(model_.fileVersion);

    for (;;) {
        // A file may end at a chunk boundary; a partial header there counts as the end of the file too.
        if (in_.remaining() < 8) {
            if (passed_)
                (*passed_)(in_.position());  // where the last chunk's fields end
            return kOofLoaded;
        }
        const std::size_t chunkStart = in_.position();
        if (passed_)
            (*passed_)(chunkStart);
        std::span<const std::uint8_t> id;
        std::int32_t length = 0;
        (void)(in_.readBytes(4, id) && in_.readI32(length));
        const std::string_view chunkId(reinterpret_cast<const char*>(id.data()), id.size());

        if (chunkId == "PINF")
            return readPinf(length);
        // An unknown chunk id rejects the file: chunks are never skipped.
        if (std::find(std::begin(kChunkIds), std::end(kChunkIds), chunkId) == std::end(kChunkIds))
            return kOofInvalid;
        in_.enterChunk(chunkId, chunkStart);
        report_.found(chunkId);
        if (!readChunkBody()) {
            if (in_.failed())
                report_.refusal(in_.error());
            return kOofInvalid;
        }
    }
}

bool OofReader::readChunkBody() {
    if (in_.chunk() == "TXTR")
        return readTxtr();
    if (in_.chunk() == "OHDR")
        return readOhdr();
    if (in_.chunk() == "SOBJ")
        return readSobj();
    if (in_.chunk() == "SPCL")
        return readSpcl();
    if (in_.chunk() == "GPNT")
        return readGpnt();
    if (in_.chunk() == "PANI")
        return readKeyTracks(kPositionTrack);
    if (in_.chunk() == "RANI")
        return readKeyTracks(kRotationTrack);
    if (in_.chunk() == "WBAT")
        return readWbat();
    if (in_.chunk() == "GRND")
        return readPointChunk(model_.groundPointCount, model_.groundPoints, kGroundPoints,
                              &ModelReport::groundPointCount, "Ground #");
    if (in_.chunk() == "ATCH")
        return readPointChunk(model_.attachPointCount, model_.attachPoints, kAttachPoints,
                              &ModelReport::attachPointCount, "ATCH #");
    return readPointChunk(model_.attachNormalCount, model_.attachNormals, kAttachNormals,
                          &ModelReport::attachNormalCount, "NATH #");
}

}  // namespace

int ReadOofFile(std::span<const std::uint8_t> bytes,
                std::string_view oofTitle,
                ObjectModel& model,
                OutputSink& out,
                const ReportFormat& format) {
    ModelReport report(out, format);
    return OofReader(bytes, model, report, nullptr).read(oofTitle);
}

int ReadOofFile(std::span<const std::uint8_t> bytes,
                std::string_view oofTitle,
                ObjectModel& model,
                OutputSink& out,
                const ReportFormat& format,
                const std::function<void(std::size_t)>& passed) {
    ModelReport report(out, format);
    return OofReader(bytes, model, report, &passed).read(oofTitle);
}

}  // namespace torvale
