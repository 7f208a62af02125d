#include "oof/model_check.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>

#include "core/ascii_text.h"
#include "core/byte_reader.h"
#include "core/finding_lines.h"
#include "core/number_text.h"
#include "oof/oof_reader.h"
#include "scene/face_shape.h"

namespace torvale {
namespace {

// The game's limits.
constexpr std::int32_t kMaxSubObjects = 30;
constexpr int kMaxDepth = 29;
constexpr std::int32_t kMaxVertices = 2499;
constexpr std::int32_t kMaxFaces = 3000;
constexpr std::int32_t kMinCorners = 3;
constexpr std::int32_t kMaxCorners = 32;
constexpr std::int32_t kMaxSpriteCorners = 30;  // the one face of a glow, thruster or billboard
constexpr std::int32_t kMaxTextures = 34;
constexpr std::int32_t kMaxBatteries = 21;
constexpr std::int32_t kMaxBatteryEntries = 8;
constexpr std::int32_t kNameBytes = 35;
constexpr std::int32_t kPropertyBytes = 256;
constexpr std::size_t kPropertyPartChars = 200;
constexpr std::int32_t kTextureNameBytes = 128;
constexpr std::size_t kMatchedTextureChars = 30;
constexpr std::size_t kMaxStemChars = 30;
constexpr std::int32_t kMaxFrame = 32767;
constexpr std::int32_t kMinVersion = 1807;
constexpr std::int32_t kMaxVersion = 2300;
constexpr std::int32_t kTimedVersion = 2200;
constexpr std::int32_t kShipAttachPoints = 3;
constexpr float kUnitTolerance = 1e-3f;
constexpr std::size_t kChunkHeader = 8;

std::string Int(std::int64_t value) {
    return FormatInteger(value);
}
std::string Num(float value) {
    return FormatSingle(value);
}

// A counted text as the game uses it: up to its first zero byte.
std::string_view CText(const std::string& stored) {
    return std::string_view(stored).substr(0, stored.find('\0'));
}

bool IsUnit(const Vector3& v) {
    return std::fabs(Length(v) - 1.0f) <= kUnitTolerance;
}
bool IsZero(const Vector3& v) {
    return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

struct Chunk {
    std::string tag;
    std::size_t start = 0;
    std::int32_t length = 0;
    std::optional<std::size_t> fieldsEnd;  // where the game's walk left it; unknown for PINF
};

// Numbers as the game's property parser takes them: each may follow spaces, each comma comes right after a
// number, and the list ends at the first text that is neither.
std::vector<float> ParseNumbers(std::string_view data) {
    std::vector<float> numbers;
    std::size_t at = 0;
    for (;;) {
        while (at < data.size() && data[at] == ' ')
            ++at;
        float value = 0.0f;
        const char* first = data.data() + at;
        const auto [end, error] = std::from_chars(first, data.data() + data.size(), value);
        if (error != std::errc())
            return numbers;
        numbers.push_back(value);
        at += static_cast<std::size_t>(end - first);
        if (at >= data.size() || data[at] != ',')
            return numbers;
        ++at;
    }
}

class Checker {
public:
    Checker(const ObjectModel& model,
            std::span<const std::uint8_t> bytes,
            std::span<const std::size_t> walk,
            const ModelCheckOptions& options)
        : model_(model), bytes_(bytes), options_(options), n_(std::max(model.subObjectCount, 0)) {
        readChunks(walk);
    }

    std::vector<ModelFinding> run() {
        checkLayout();
        numberSubObjects();
        for (std::size_t s = 0; s < byIndex_.size(); ++s) {
            if (!byIndex_[s])
                continue;
            checkHierarchy(s);
            checkSubObject(s, *byIndex_[s]);
        }
        checkTracks();
        checkTextures();
        checkPoints();
        checkBatteries();
        if (options_.ship)
            checkShip();
        checkFileName();
        std::stable_sort(sub_.begin(), sub_.end(),
                         [](const ModelFinding& a, const ModelFinding& b) { return a.subObject < b.subObject; });
        sub_.insert(sub_.end(), own_.begin(), own_.end());
        return std::move(sub_);
    }

private:
    void add(ModelFindingKind kind, std::string text) {
        own_.push_back({kind, ModelElement::Model, 0, 0, std::move(text)});
    }
    void add(ModelFindingKind kind, std::size_t s, std::string text) {
        sub_.push_back({kind, ModelElement::SubObject, s, 0, std::move(text)});
    }
    void add(ModelFindingKind kind, std::size_t s, std::size_t f, std::string text) {
        sub_.push_back({kind, ModelElement::Face, s, f, std::move(text)});
    }

    void readChunks(std::span<const std::size_t> walk) {
        for (const std::size_t at : walk) {
            if (at + kChunkHeader > bytes_.size()) {
                walkEnd_ = at;
                break;
            }
            if (!chunks_.empty() && chunks_.back().tag != "PINF")
                chunks_.back().fieldsEnd = at;
            Chunk chunk;
            chunk.tag.assign(reinterpret_cast<const char*>(bytes_.data() + at), 4);
            chunk.length = static_cast<std::int32_t>(LoadU32(bytes_.data() + at + 4));
            chunk.start = at;
            chunks_.push_back(std::move(chunk));
        }
        if (walkEnd_ && !chunks_.empty() && chunks_.back().tag != "PINF")
            chunks_.back().fieldsEnd = *walkEnd_;
    }

    std::size_t countOf(std::string_view tag) const {
        return static_cast<std::size_t>(
            std::count_if(chunks_.begin(), chunks_.end(), [&](const Chunk& c) { return c.tag == tag; }));
    }
    const Chunk* firstOf(std::string_view tag) const {
        for (const Chunk& chunk : chunks_)
            if (chunk.tag == tag)
                return &chunk;
        return nullptr;
    }
    const Chunk* lastOf(std::string_view tag) const {
        const Chunk* last = nullptr;
        for (const Chunk& chunk : chunks_)
            if (chunk.tag == tag)
                last = &chunk;
        return last;
    }

    void checkLayout() {
        if (model_.fileVersion < kMinVersion || model_.fileVersion > kMaxVersion) {
            add(ModelFindingKind::Layout, "version " + Int(model_.fileVersion) + "; the game loads versions " +
                                              Int(kMinVersion) + " to " + Int(kMaxVersion));
        }
        for (const Chunk& chunk : chunks_) {
            const std::string where = chunk.tag + " at byte " + Int(static_cast<std::int64_t>(chunk.start));
            if (chunk.fieldsEnd) {
                const auto fields = static_cast<std::int64_t>(*chunk.fieldsEnd - chunk.start - kChunkHeader);
                if (chunk.length != fields) {
                    add(ModelFindingKind::Layout, where + ": its length says " + Int(chunk.length) +
                                                      " bytes, but its fields take " + Int(fields));
                }
            } else if (chunk.length < 0 ||
                       chunk.start + kChunkHeader + static_cast<std::size_t>(chunk.length) != bytes_.size()) {
                add(ModelFindingKind::Layout,
                    where + ": its length says " + Int(chunk.length) + " bytes, but the file ends " +
                        Int(static_cast<std::int64_t>(bytes_.size() - chunk.start - kChunkHeader)) +
                        " bytes after its header");
            }
        }
        if (walkEnd_ && *walkEnd_ < bytes_.size()) {
            add(ModelFindingKind::Layout, Int(static_cast<std::int64_t>(bytes_.size() - *walkEnd_)) +
                                              " bytes after the last chunk, too few for a chunk: the game reads "
                                              "past the end of the file");
        }

        const std::size_t headers = countOf("OHDR");
        if (headers == 0)
            add(ModelFindingKind::Layout, "no OHDR chunk: the model has no sub-objects");
        if (headers > 1) {
            add(ModelFindingKind::Layout,
                Int(static_cast<std::int64_t>(headers)) +
                    " OHDR chunks; the game starts the sub-objects anew at each, losing those before it");
        }
        for (const std::string_view tag : {"TXTR", "GPNT", "WBAT", "RANI", "PANI", "GRND", "ATCH", "NATH"}) {
            if (const std::size_t count = countOf(tag); count > 1) {
                add(ModelFindingKind::Layout, Int(static_cast<std::int64_t>(count)) + " " + std::string(tag) +
                                                  " chunks; the game keeps only the last");
            }
        }
        if (const Chunk* normals = firstOf("NATH")) {
            const Chunk* attach = firstOf("ATCH");
            if (!attach || attach->start > normals->start)
                add(ModelFindingKind::Layout,
                    "NATH comes before any ATCH: the game has no attach points to give "
                    "its up-vectors to");
            else if (model_.attachNormalCount != model_.attachPointCount)
                add(ModelFindingKind::Layout, "NATH holds " + Int(model_.attachNormalCount) + " up-vectors, but ATCH " +
                                                  Int(model_.attachPointCount) + " attach points");
            if (model_.attachNormalCount == 0)
                add(ModelFindingKind::Layout, "NATH holds no up-vectors: leave the chunk out");
        }
        if (firstOf("GPNT") && model_.gunpointCount == 0)
            add(ModelFindingKind::Layout, "GPNT holds no gun points: leave the chunk out");
        if (firstOf("GRND") && model_.groundPointCount == 0)
            add(ModelFindingKind::Layout, "GRND holds no ground points: leave the chunk out");

        if (model_.subObjectCount > kMaxSubObjects) {
            add(ModelFindingKind::Limit,
                Int(model_.subObjectCount) + " sub-objects; the game takes at most " + Int(kMaxSubObjects));
        }
        if (model_.textureCount > kMaxTextures) {
            add(ModelFindingKind::Limit,
                Int(model_.textureCount) + " textures; the game takes at most " + Int(kMaxTextures));
        }
    }

    // Which SOBJ chunk gives each sub-object: the k-th SOBJ after the last OHDR fills model_.subObjects[k].
    void numberSubObjects() {
        std::size_t filled = 0;
        for (const Chunk& chunk : chunks_) {
            if (chunk.tag == "OHDR")
                filled = 0;
            else if (chunk.tag == "SOBJ")
                ++filled;
        }
        filled = std::min(filled, model_.subObjects.size());
        byIndex_.assign(static_cast<std::size_t>(n_), nullptr);
        std::vector<int> given(byIndex_.size(), 0);
        for (std::size_t k = 0; k < filled; ++k) {
            const SubObject& sub = model_.subObjects[k];
            if (sub.number < 0 || sub.number >= n_) {
                add(ModelFindingKind::Numbering, "SOBJ chunk " + Int(static_cast<std::int64_t>(k + 1)) +
                                                     " is sub-object " + Int(sub.number) + ", but OHDR declares " +
                                                     Int(n_) + ": the game writes outside its table");
                continue;
            }
            const auto s = static_cast<std::size_t>(sub.number);
            byIndex_[s] = &sub;  // a later chunk overwrites an earlier one, as in the game
            ++given[s];
        }
        for (std::size_t s = 0; s < given.size(); ++s) {
            if (given[s] == 0)
                add(ModelFindingKind::Numbering, s, "has no SOBJ chunk: it stays empty, hanging under sub-object 0");
            else if (given[s] > 1)
                add(ModelFindingKind::Numbering, s, "given by " + Int(given[s]) + " SOBJ chunks; the last one counts");
        }
    }

    // The parent as the game takes it: -1 for a root (also one naming itself), otherwise the stored number.
    std::int32_t parentOf(std::size_t s) const {
        const SubObject* sub = byIndex_[s];
        const std::int32_t parent = sub ? sub->parent : 0;  // an empty record reads as parent 0
        return parent == static_cast<std::int32_t>(s) ? -1 : parent;
    }

    // Number of sub-objects on the chain from s up to its root, s included; nullopt when the chain loops or
    // names no sub-object.
    std::optional<int> depthOf(std::size_t s) const {
        int depth = 1;
        std::int32_t at = parentOf(s);
        while (at != -1) {
            if (at < 0 || at >= n_ || depth > n_)
                return std::nullopt;
            ++depth;
            at = parentOf(static_cast<std::size_t>(at));
        }
        return depth;
    }

    void checkHierarchy(std::size_t s) {
        const std::int32_t stored = byIndex_[s]->parent;
        if (stored == static_cast<std::int32_t>(s))
            add(ModelFindingKind::Numbering, s, "its parent is itself; the game makes it a root");
        else if (stored < -1 || stored >= n_)
            add(ModelFindingKind::Numbering, s, "parent " + Int(stored) + " is no sub-object");
        else if (s == 0 && stored != -1)
            add(ModelFindingKind::Numbering, s, "the body (sub-object 0) is not a root: its parent is " + Int(stored));
        if (stored < -1 || stored >= n_)
            return;
        // On a cycle when walking up from the parent comes back here.
        std::int32_t at = parentOf(s);
        for (int steps = 0; at >= 0 && at < n_ && steps <= n_; ++steps) {
            if (at == static_cast<std::int32_t>(s)) {
                add(ModelFindingKind::Numbering, s, "its parents form a cycle: the game hangs walking up from it");
                return;
            }
            at = parentOf(static_cast<std::size_t>(at));
        }
        const std::optional<int> depth = depthOf(s);
        const std::int32_t parent = parentOf(s);
        if (depth && *depth > kMaxDepth &&
            (parent == -1 || depthOf(static_cast<std::size_t>(parent)).value_or(0) <= kMaxDepth)) {
            add(ModelFindingKind::Limit, s,
                "lies " + Int(*depth) + " levels deep; the game draws at most " + Int(kMaxDepth));
        }
    }

    void checkText(std::size_t s,
                   std::string_view what,
                   std::int32_t length,
                   const std::string& stored,
                   std::int32_t limit) {
        if (stored.find('\0') == std::string::npos)
            add(ModelFindingKind::Text, s, std::string(what) + " has no terminating zero byte");
        if (length > limit) {
            add(ModelFindingKind::Text, s,
                std::string(what) + " of " + Int(length) + " bytes; the game holds " + Int(limit));
        }
    }

    void checkSubObject(std::size_t s, const SubObject& sub) {
        checkText(s, "name", sub.nameLength, sub.name, kNameBytes);
        checkText(s, "property", sub.propertyLength, sub.propertyName, kPropertyBytes);
        if (sub.vertexCount > kMaxVertices) {
            add(ModelFindingKind::Limit, s,
                Int(sub.vertexCount) + " vertices; the game holds at most " + Int(kMaxVertices));
        }
        if (sub.faceCount > kMaxFaces)
            add(ModelFindingKind::Limit, s, Int(sub.faceCount) + " faces; the game holds at most " + Int(kMaxFaces));
        if (!IsFinite(sub.attachOffset) || !std::isfinite(sub.radius))
            add(ModelFindingKind::NotFinite, s, "offset or radius is not a finite number");
        checkVertices(s, sub);
        for (std::size_t f = 0; f < sub.faceNormals.size(); ++f)
            checkFace(s, sub, f);
        checkRadius(s, sub);
        checkProperty(s, sub);
    }

    // Vertex positions enter the sub-object's box whether a face uses them or not; normals and alphas only
    // matter where a face uses the vertex.
    void checkVertices(std::size_t s, const SubObject& sub) {
        std::vector<bool> used(sub.vertexPositions.size(), false);
        for (const FaceVertex& corner : sub.faceVertices) {
            if (corner.vertexIndex >= 0 && static_cast<std::size_t>(corner.vertexIndex) < used.size())
                used[static_cast<std::size_t>(corner.vertexIndex)] = true;
        }
        std::size_t notUnit = 0;
        std::size_t firstNotUnit = 0;
        std::size_t alphaOutside = 0;
        for (std::size_t v = 0; v < sub.vertexPositions.size(); ++v) {
            const std::string vertex = "vertex " + Int(static_cast<std::int64_t>(v));
            if (!IsFinite(sub.vertexPositions[v]))
                add(ModelFindingKind::NotFinite, s, vertex + ": its position is not finite");
            if (!used[v])
                continue;
            const Vector3& normal = sub.vertexNormals[v];
            const float alpha = sub.vertexAlphas[v];
            if (!IsFinite(normal))
                add(ModelFindingKind::NotFinite, s, vertex + ": its normal is not finite");
            else if (!IsUnit(normal) && notUnit++ == 0)
                firstNotUnit = v;
            if (!std::isfinite(alpha))
                add(ModelFindingKind::NotFinite, s, vertex + ": its alpha is not finite");
            else if (alpha < 0.0f || alpha > 1.0f)
                ++alphaOutside;
        }
        const std::size_t usedCount = static_cast<std::size_t>(std::count(used.begin(), used.end(), true));
        const std::string of = " of " + Int(static_cast<std::int64_t>(usedCount)) + " used";
        if (notUnit > 0) {
            add(ModelFindingKind::VertexData, s,
                "vertex normals not of unit length: " + Int(static_cast<std::int64_t>(notUnit)) + of + " (vertex " +
                    Int(static_cast<std::int64_t>(firstNotUnit)) + ": length " +
                    Num(Length(sub.vertexNormals[firstNotUnit])) + ")");
        }
        if (alphaOutside > 0) {
            add(ModelFindingKind::VertexData, s,
                "vertex alphas outside 0..1: " + Int(static_cast<std::int64_t>(alphaOutside)) + of);
        }
    }

    void checkFace(std::size_t s, const SubObject& sub, std::size_t f) {
        const std::int32_t corners = sub.faceVertexCounts[f];
        if (corners < kMinCorners || corners > kMaxCorners) {
            add(ModelFindingKind::Limit, s, f,
                Int(corners) + " corners; the game takes " + Int(kMinCorners) + " to " + Int(kMaxCorners));
        }
        const std::int32_t flag = sub.faceTextured[f];
        if (flag < 0) {
            add(ModelFindingKind::FaceData, s, f,
                "texture flag " + Int(flag) + ": the game reads a texture index where this face has a colour");
        } else if (flag > 0 && (sub.faceTextureIndices[f] < 0 || sub.faceTextureIndices[f] >= model_.textureCount)) {
            add(ModelFindingKind::FaceData, s, f,
                "texture " + Int(sub.faceTextureIndices[f]) + ", but the model has " + Int(model_.textureCount) +
                    (model_.textureCount == 1 ? " texture" : " textures"));
        }
        const std::size_t first = sub.faceFirstCorner[f];
        const std::size_t count = corners > 0 ? static_cast<std::size_t>(corners) : 0;
        if (first + count > sub.faceVertices.size())
            return;  // a face the file cut short
        std::vector<Vector3> positions;
        bool finite = IsFinite(sub.faceNormals[f]);
        for (std::size_t c = 0; c < count; ++c) {
            const FaceVertex& corner = sub.faceVertices[first + c];
            finite = finite && std::isfinite(corner.u) && std::isfinite(corner.v);
            if (corner.vertexIndex < 0 || corner.vertexIndex >= sub.vertexCount) {
                add(ModelFindingKind::FaceData, s, f,
                    "corner " + Int(static_cast<std::int64_t>(c)) + " names vertex " + Int(corner.vertexIndex) +
                        ", but the sub-object has " + Int(sub.vertexCount) + " vertices");
                return;
            }
            const Vector3& position = sub.vertexPositions[static_cast<std::size_t>(corner.vertexIndex)];
            finite = finite && IsFinite(position);
            positions.push_back(position);
        }
        if (!finite) {
            add(ModelFindingKind::NotFinite, s, f, "its normal, a corner's UV or a corner's vertex is not finite");
            return;
        }
        const Vector3& normal = sub.faceNormals[f];
        if (!IsUnit(normal))
            add(ModelFindingKind::FaceNormal, s, f, "normal of length " + Num(Length(normal)) + ", not 1");
        if (positions.size() < static_cast<std::size_t>(kMinCorners))
            return;
        float area = 0.0f;
        const Vector3 computed = ComputeFaceNormal(positions, &area);
        if (area == 0.0f) {
            add(ModelFindingKind::FaceNormal, s, f, "its corners have no area, so they give no normal");
        } else if (Dot(normal, computed) <= 0.0f) {
            add(ModelFindingKind::FaceNormal, s, f,
                "normal " + FormatPoint(normal) + " against the winding of its corners " + FormatPoint(computed));
        }
        if (area == 0.0f)
            return;
        if (const std::int64_t concave = ConcaveCorner(positions, computed); concave >= 0)
            add(ModelFindingKind::FaceShape, s, f, "concave at corner " + Int(concave));
        if (!IsPlanar(positions, computed))
            add(ModelFindingKind::FaceShape, s, f, "not planar");
    }

    void checkRadius(std::size_t s, const SubObject& sub) {
        if (IsPrefix(CText(sub.propertyName), "$facing") || !std::isfinite(sub.radius))
            return;  // the game works out a billboard's radius itself
        float farthest = 0.0f;
        std::size_t at = 0;
        for (std::size_t v = 0; v < sub.vertexPositions.size(); ++v) {
            const float distance = Length(sub.vertexPositions[v]);
            if (std::isfinite(distance) && distance > farthest) {
                farthest = distance;
                at = v;
            }
        }
        if (farthest > sub.radius * (1.0f + kUnitTolerance) + kUnitTolerance) {
            add(ModelFindingKind::Radius, s,
                "radius " + Num(sub.radius) + ", but vertex " + Int(static_cast<std::int64_t>(at)) + " lies " +
                    Num(farthest) + " from its origin");
        }
    }

    static bool IsPrefix(std::string_view text, std::string_view prefix) {
        return text.size() >= prefix.size() && EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
    }

    // The rotation keys a turning part needs: two at least, key 1 giving the axis. Tracks are given in index
    // order, so sub-object s's track is the s-th the reader filled.
    void needKeys(std::size_t s, std::string_view command) {
        const SubObject& track = model_.subObject(s);
        if (track.rotationKeyCount < 2) {
            add(ModelFindingKind::Property, s,
                std::string(command) + " needs at least 2 rotation keys, key 1 giving its axis; it has " +
                    Int(track.rotationKeyCount));
        } else if (IsZero(track.rotationKeyAxes[1])) {
            add(ModelFindingKind::Property, s,
                std::string(command) + " turns about rotation key 1's axis, which is zero");
        }
    }

    // Whether some weapon battery lists sub-object s among the turrets the game keeps.
    bool isTurret(std::size_t s) const {
        const auto batteries = static_cast<std::size_t>(std::max(model_.weaponBatteryCount, 0));
        for (std::size_t b = 0; b < batteries && b < model_.batteryTurretCounts.size(); ++b) {
            const auto kept = static_cast<std::size_t>(std::max(model_.batteryTurretCounts[b], 0));
            for (std::size_t t = 0; t < kept && t < kIndicesPerBattery; ++t) {
                if (model_.batteryTurretIndices[b][t] == static_cast<std::int32_t>(s))
                    return true;
            }
        }
        return false;
    }

    void needOneFace(std::size_t s,
                     const SubObject& sub,
                     std::string_view command,
                     std::int32_t least,
                     std::int32_t most,
                     bool textured) {
        if (sub.faceCount != 1) {
            add(ModelFindingKind::Property, s,
                std::string(command) + " needs exactly one face; it has " + Int(sub.faceCount));
            return;
        }
        const std::int32_t corners = sub.faceVertexCounts[0];
        if (corners < least || corners > most) {
            add(ModelFindingKind::Property, s,
                std::string(command) + " needs a face of " +
                    (least == most ? Int(least) : Int(least) + " to " + Int(most)) + " corners; it has " +
                    Int(corners));
        }
        if (textured && sub.faceTextured[0] == 0)
            add(ModelFindingKind::Property, s, std::string(command) + " needs a textured face");
    }

    void checkProperty(std::size_t s, const SubObject& sub) {
        const std::string_view text = CText(sub.propertyName);
        if (text.size() < 3)
            return;  // the game ignores it
        const std::size_t equals = text.find('=');
        const std::string_view command = equals == std::string_view::npos ? text : text.substr(0, equals + 1);
        const std::string_view data = equals == std::string_view::npos ? std::string_view() : text.substr(equals + 1);
        if (command.size() >= kPropertyPartChars || data.size() >= kPropertyPartChars) {
            add(ModelFindingKind::Text, s,
                "property's command or data is " + Int(kPropertyPartChars) +
                    " characters or longer; the game holds 199 of each");
        }
        const std::string lower = AsciiLowered(command);
        if (data.find('$') != std::string_view::npos)
            add(ModelFindingKind::Property, s, "property holds more than one command; the game honours only the first");

        if (lower == "$rotate=") {
            const std::vector<float> numbers = ParseNumbers(data);
            if (numbers.empty() || !(numbers[0] > 0.0f && numbers[0] <= 20.0f)) {
                add(ModelFindingKind::Property, s,
                    "$rotate= needs a turn time above 0 and at most 20 seconds; the game ignores \"" +
                        std::string(data) + "\"");
            }
            needKeys(s, "$rotate=");
        } else if (lower == "$fov=") {
            const std::vector<float> numbers = ParseNumbers(data);
            if (numbers.size() != 3) {
                add(ModelFindingKind::Property, s,
                    "$fov= needs 3 numbers (arc, turn time, reaction time); it has " +
                        Int(static_cast<std::int64_t>(numbers.size())));
            } else if (!(numbers[0] >= 0.0f && numbers[0] <= 360.0f) || !(numbers[1] > 0.0f && numbers[1] <= 60.0f) ||
                       !(numbers[2] >= 0.0f && numbers[2] <= 10.0f)) {
                add(ModelFindingKind::Property, s,
                    "$fov= needs an arc of 0 to 360, a turn time above 0 and at most 60 and a reaction time of 0 "
                    "to 10; it has " +
                        Num(numbers[0]) + ", " + Num(numbers[1]) + ", " + Num(numbers[2]));
            }
            needKeys(s, "$fov=");
            if (!isTurret(s))
                add(ModelFindingKind::Property, s, "$fov= part is the turret of no weapon battery: it never aims");
        } else if (lower == "$glow=" || lower == "$thruster=") {
            const std::vector<float> numbers = ParseNumbers(data);
            if (numbers.size() != 4) {
                add(ModelFindingKind::Property, s,
                    std::string(command) + " needs 4 numbers (red, green, blue, size); it has " +
                        Int(static_cast<std::int64_t>(numbers.size())));
            } else if (std::any_of(numbers.begin(), numbers.begin() + 3,
                                   [](float c) { return !(c >= 0.0f && c <= 1.0f); })) {
                add(ModelFindingKind::Property, s, std::string(command) + " colour outside 0..1");
            }
            needOneFace(s, sub, command, kMinCorners, kMaxSpriteCorners, false);
        } else if (IsPrefix(command, "$facing")) {
            needOneFace(s, sub, "$facing", kMinCorners, kMaxSpriteCorners, true);
        } else if (lower.size() == 10 && lower.starts_with("$monitor0") && lower[9] >= '1' && lower[9] <= '8') {
            needOneFace(s, sub, command, 4, 4, false);
        } else if (lower == "$custom" || lower == "$viewer" || lower == "$layer" || IsPrefix(command, "$jitter") ||
                   IsPrefix(command, "$shell") || IsPrefix(command, "$frontface")) {
            return;
        } else if (text.front() == '$') {
            add(ModelFindingKind::Property, s,
                "property \"" + std::string(text) + "\" is no command the game knows (spaces count); it is ignored");
        }
    }

    template <typename Keys>
    void checkTrack(std::size_t s,
                    std::string_view what,
                    std::int32_t keys,
                    std::int32_t first,
                    std::int32_t last,
                    const std::vector<std::int32_t>& times,
                    const Keys& vectors) {
        const std::string track(what);
        // Tracks have frames from version 2200 on; before it the keys follow each other untimed.
        if (keys >= 2 && model_.fileVersion >= kTimedVersion) {
            if (last <= first) {
                add(ModelFindingKind::Animation, s,
                    track + " track: last frame " + Int(last) + " is not after its first frame " + Int(first));
            }
            if (!times.empty() && times[0] > first) {
                add(ModelFindingKind::Animation, s,
                    track + " key 0 starts at frame " + Int(times[0]) + ", after the track's first frame " +
                        Int(first));
            }
            for (std::size_t k = 1; k < times.size(); ++k) {
                if (times[k] <= times[k - 1]) {
                    add(ModelFindingKind::Animation, s,
                        track + " key " + Int(static_cast<std::int64_t>(k)) + " starts at frame " + Int(times[k]) +
                            ", not after key " + Int(static_cast<std::int64_t>(k - 1)) + " (" + Int(times[k - 1]) +
                            ")");
                    break;
                }
            }
        }
        for (std::size_t k = 0; k < times.size(); ++k) {
            if (times[k] < 0 || times[k] > kMaxFrame) {
                add(ModelFindingKind::Animation, s,
                    track + " key " + Int(static_cast<std::int64_t>(k)) + " at frame " + Int(times[k]) +
                        ", outside 0.." + Int(kMaxFrame));
                break;
            }
        }
        for (std::size_t k = 0; k < vectors.size(); ++k) {
            if (!IsFinite(vectors[k])) {
                add(ModelFindingKind::NotFinite, s,
                    track + " key " + Int(static_cast<std::int64_t>(k)) + " is not a finite vector");
                break;
            }
        }
    }

    void checkTracks() {
        if (!firstOf("RANI") && !firstOf("PANI"))
            return;
        for (std::size_t s = 0; s < static_cast<std::size_t>(n_); ++s) {
            const SubObject& sub = model_.subObject(s);
            checkTrack(s, "rotation", sub.rotationKeyCount, sub.rotationTrackMin, sub.rotationTrackMax,
                       sub.rotationKeyTimes, sub.rotationKeyAxes);
            checkTrack(s, "position", sub.positionKeyCount, sub.positionTrackMin, sub.positionTrackMax,
                       sub.positionKeyTimes, sub.positionKeys);
            for (std::size_t k = 0; k < sub.rotationKeyAxes.size(); ++k) {
                if (IsZero(sub.rotationKeyAxes[k]) && sub.rotationKeyAngles[k] % 65536 != 0) {
                    add(ModelFindingKind::Animation, s,
                        "rotation key " + Int(static_cast<std::int64_t>(k)) +
                            " turns about a zero axis: the part shrinks");
                    break;
                }
            }
        }
    }

    void checkTextures() {
        for (std::size_t t = 0; t < static_cast<std::size_t>(std::max(model_.textureCount, 0)); ++t) {
            const std::string& stored = model_.textureNames[t];
            const std::string what = "texture " + Int(static_cast<std::int64_t>(t));
            if (stored.find('\0') == std::string::npos)
                add(ModelFindingKind::Text, what + " name has no terminating zero byte");
            if (model_.textureNameLengths[t] > kTextureNameBytes) {
                add(ModelFindingKind::Text, what + " name of " + Int(model_.textureNameLengths[t]) +
                                                " bytes; the game holds " + Int(kTextureNameBytes));
            } else if (CText(stored).size() > kMatchedTextureChars) {
                add(ModelFindingKind::Text, what + " name \"" + std::string(CText(stored)) +
                                                "\" is over 30 characters: it matches a texture page's name only");
            }
        }
    }

    void checkPointTable(std::string_view what,
                         std::int32_t count,
                         const std::vector<PointRecord>& points,
                         bool direction) {
        for (std::size_t i = 0; i < static_cast<std::size_t>(std::max(count, 0)); ++i) {
            const PointRecord& point = points[i];
            const std::string name = std::string(what) + " " + Int(static_cast<std::int64_t>(i));
            if (point.parent < -1 || point.parent >= n_)
                add(ModelFindingKind::Point, name + ": parent " + Int(point.parent) + " is no sub-object");
            if (!IsFinite(point.location) || !IsFinite(point.direction))
                add(ModelFindingKind::NotFinite, name + " is not finite");
            else if (direction && !IsUnit(point.direction))
                add(ModelFindingKind::Point,
                    name + ": direction of length " + Num(Length(point.direction)) + ", not 1");
        }
    }

    void checkPoints() {
        checkPointTable("gun point", model_.gunpointCount, model_.gunpoints, true);
        checkPointTable("attach point", model_.attachPointCount, model_.attachPoints, true);
        checkPointTable("ground point", model_.groundPointCount, model_.groundPoints, true);
    }

    // Sub-object s's property command, lowered.
    std::string commandOf(std::size_t s) const {
        if (s >= byIndex_.size() || !byIndex_[s])
            return {};
        const std::string_view text = CText(byIndex_[s]->propertyName);
        return AsciiLowered(
            text.substr(0, text.find('=') == std::string_view::npos ? text.size() : text.find('=') + 1));
    }

    void checkBatteries() {
        const Chunk* chunk = lastOf("WBAT");
        if (!chunk)
            return;
        // The stored counts, before the reader keeps 8 of each.
        ByteReader in(bytes_.subspan(chunk->start + kChunkHeader));
        std::int32_t batteries = 0;
        (void)in.readI32(batteries);  // the reader read it
        if (batteries > kMaxBatteries) {
            add(ModelFindingKind::Battery, Int(batteries) + " weapon batteries; the game holds " + Int(kMaxBatteries));
        }
        for (std::int32_t b = 0; b < batteries && static_cast<std::size_t>(b) < model_.batteryGunpointCounts.size();
             ++b) {
            const auto index = static_cast<std::size_t>(b);
            const std::string battery = "battery " + Int(b);
            std::int32_t guns = 0;
            std::int32_t turrets = 0;
            if (!in.readI32(guns) || guns < 0 || !in.skip(static_cast<std::size_t>(guns) * 4) || !in.readI32(turrets) ||
                turrets < 0 || !in.skip(static_cast<std::size_t>(turrets) * 4))
                return;
            if (guns > kMaxBatteryEntries)
                add(ModelFindingKind::Battery, battery + " names " + Int(guns) + " guns; the game keeps 8");
            if (turrets > kMaxBatteryEntries)
                add(ModelFindingKind::Battery, battery + " names " + Int(turrets) + " turrets; the game keeps 8");
            for (std::int32_t g = 0; g < model_.batteryGunpointCounts[index]; ++g) {
                const std::int32_t gun = model_.batteryGunpointIndices[index][static_cast<std::size_t>(g)];
                if (gun < 0 || gun >= model_.gunpointCount) {
                    add(ModelFindingKind::Battery, battery + " names gun " + Int(gun) +
                                                       ", but the model's gun points number " +
                                                       Int(model_.gunpointCount));
                }
            }
            for (std::int32_t t = 0; t < model_.batteryTurretCounts[index]; ++t) {
                const std::int32_t turret = model_.batteryTurretIndices[index][static_cast<std::size_t>(t)];
                if (turret < 0 || turret >= n_)
                    add(ModelFindingKind::Battery, battery + " names turret " + Int(turret) + ", no sub-object");
                else if (commandOf(static_cast<std::size_t>(turret)) != "$fov=")
                    add(ModelFindingKind::Battery,
                        battery + " names turret " + Int(turret) + ", a sub-object without $fov=");
            }
        }
    }

    void checkShip() {
        if (!firstOf("WBAT") || model_.weaponBatteryCount < 1 || model_.batteryGunpointCounts[0] < 1)
            add(ModelFindingKind::Ship, "a ship needs battery 0 naming its guns: the game crashes when it fires");
        if (model_.attachPointCount < kShipAttachPoints) {
            add(ModelFindingKind::Ship,
                "a ship needs at least 3 attach points; it has " + Int(model_.attachPointCount));
        }
        float farthest = 0.0f;
        std::size_t farSub = 0;
        std::size_t farVertex = 0;
        for (std::size_t s = 0; s < byIndex_.size(); ++s) {
            if (!byIndex_[s] || !depthOf(s))
                continue;
            Vector3 origin;  // at rest: the offsets up to the root added
            for (std::int32_t at = static_cast<std::int32_t>(s); at != -1;
                 at = parentOf(static_cast<std::size_t>(at))) {
                if (const SubObject* up = byIndex_[static_cast<std::size_t>(at)])
                    origin = origin + up->attachOffset;
            }
            const SubObject& sub = *byIndex_[s];
            for (std::size_t v = 0; v < sub.vertexPositions.size(); ++v) {
                const float distance = Length(origin + sub.vertexPositions[v]);
                if (std::isfinite(distance) && distance > farthest) {
                    farthest = distance;
                    farSub = s;
                    farVertex = v;
                }
            }
        }
        if (!(model_.maxRadius * (1.0f + kUnitTolerance) >= farthest)) {  // also a radius that is not a number
            add(ModelFindingKind::Ship, "OHDR radius " + Num(model_.maxRadius) + ", but vertex " +
                                            Int(static_cast<std::int64_t>(farVertex)) + " of sub-object " +
                                            Int(static_cast<std::int64_t>(farSub)) + " lies " + Num(farthest) +
                                            " from the origin: the ship collides as a smaller ball");
        }
    }

    void checkFileName() {
        const std::string_view name = options_.fileName;
        if (name.empty())
            return;
        const std::size_t dot = name.rfind('.');
        const std::string_view stem = name.substr(0, dot);
        if (dot == std::string_view::npos || !EqualsIgnoringAsciiCase(name.substr(dot), ".oof"))
            add(ModelFindingKind::FileName, "the game takes object models from files named .oof");
        if (stem.size() > kMaxStemChars)
            add(ModelFindingKind::FileName, "the file name's stem is over 30 characters");
    }

    const ObjectModel& model_;
    std::span<const std::uint8_t> bytes_;
    const ModelCheckOptions& options_;
    std::int32_t n_;
    std::vector<Chunk> chunks_;
    std::optional<std::size_t> walkEnd_;
    std::vector<const SubObject*> byIndex_;
    std::vector<ModelFinding> sub_;
    std::vector<ModelFinding> own_;
};

std::string Line(std::string_view modelFileName, const ModelFinding& finding) {
    std::string line = "Warning: " + std::string(modelFileName);
    if (finding.element != ModelElement::Model)
        line += ", sub-object " + Int(static_cast<std::int64_t>(finding.subObject));
    if (finding.element == ModelElement::Face)
        line += ", face " + Int(static_cast<std::int64_t>(finding.face));
    return line + ": " + finding.text;
}

}  // namespace

std::vector<ModelFinding> CheckModel(const ObjectModel& model,
                                     std::span<const std::uint8_t> bytes,
                                     std::span<const std::size_t> walk,
                                     const ModelCheckOptions& options) {
    return Checker(model, bytes, walk, options).run();
}

bool ReadAndCheckModel(std::span<const std::uint8_t> bytes,
                       std::string_view title,
                       OutputSink& report,
                       const ModelCheckOptions& options,
                       std::vector<ModelFinding>& findings) {
    findings.clear();
    ObjectModel model;
    std::vector<std::size_t> walk;
    const std::function<void(std::size_t)> passed = [&](std::size_t at) { walk.push_back(at); };
    if (ReadOofFile(bytes, title, model, report, {}, passed) != kOofLoaded)
        return false;
    findings = CheckModel(model, bytes, walk, options);
    return true;
}

std::string_view ModelFindingKindPlural(ModelFindingKind kind) {
    switch (kind) {
        case ModelFindingKind::Layout:
            return "findings in the file's layout";
        case ModelFindingKind::Limit:
            return "findings over the game's limits";
        case ModelFindingKind::Numbering:
            return "findings in the sub-objects' numbers and parents";
        case ModelFindingKind::Text:
            return "texts the game cannot take";
        case ModelFindingKind::FaceData:
            return "faces naming what does not exist";
        case ModelFindingKind::NotFinite:
            return "numbers that are not finite";
        case ModelFindingKind::FaceNormal:
            return "faces with a bad normal";
        case ModelFindingKind::FaceShape:
            return "faces not convex or not planar";
        case ModelFindingKind::VertexData:
            return "findings in vertex normals and alphas";
        case ModelFindingKind::Property:
            return "property findings";
        case ModelFindingKind::Animation:
            return "animation track findings";
        case ModelFindingKind::Point:
            return "point findings";
        case ModelFindingKind::Battery:
            return "weapon battery findings";
        case ModelFindingKind::Radius:
            return "radii too small";
        case ModelFindingKind::Ship:
            return "findings for a ship";
        case ModelFindingKind::FileName:
            return "findings in the file name";
    }
    return "findings";
}

void PrintModelFindings(std::string_view modelFileName, std::span<const ModelFinding> findings, OutputSink& out) {
    std::vector<FindingLine> lines;
    lines.reserve(findings.size());
    for (const ModelFinding& finding : findings)
        lines.push_back({static_cast<int>(finding.kind), Line(modelFileName, finding)});
    PrintFindingLines(
        "Model check", modelFileName, lines,
        [](int kind) { return ModelFindingKindPlural(static_cast<ModelFindingKind>(kind)); }, out);
}

}  // namespace torvale
