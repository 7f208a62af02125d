#include "oof/oof_writer.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string_view>

#include "core/byte_writer.h"
#include "core/number_text.h"
#include "scene/single_face.h"

namespace torvale {
namespace {

std::string Count(std::size_t n) {
    return FormatInteger(static_cast<std::int64_t>(n));
}

// The command of a property string: up to and including its first '=', or the whole text.
std::string_view PropertyCommand(std::string_view properties) {
    const std::size_t equals = properties.find('=');
    return equals == std::string_view::npos ? properties : properties.substr(0, equals + 1);
}

// A face as written: the corners (indices into the sub-object's corners) of one face or of one piece of it.
struct Piece {
    const SceneFace* face = nullptr;
    std::uint32_t from = 0;   // the piece's corners: the face's first corner, then corners from .. from + count - 2
    std::uint32_t count = 0;  // corners in the piece
};

// The face's corners cut into fans from its first corner, none of more than `limit` corners; a face within
// the limit is one piece. Fans of a convex face are convex.
void CutFace(const SceneFace& face, std::size_t limit, std::vector<Piece>& pieces) {
    if (face.cornerCount <= limit) {
        pieces.push_back({&face, 1, face.cornerCount});
        return;
    }
    const auto step = static_cast<std::uint32_t>(limit - 2);  // corners after the shared first and before the last
    for (std::uint32_t from = 1; from + 1 < face.cornerCount; from += step) {
        const std::uint32_t count = std::min<std::uint32_t>(step + 2, face.cornerCount - from + 1);
        pieces.push_back({&face, from, count});
    }
}

// The corners of a piece in order: the face's first corner, then `count - 1` corners from `from`.
template <typename Visit>
void ForEachCorner(const SceneObject& object, const Piece& piece, Visit visit) {
    const std::span<const SceneCorner> corners = object.cornersOf(*piece.face);
    if (piece.from == 1 && piece.count == corners.size()) {
        for (const SceneCorner& corner : corners)
            visit(corner);
        return;
    }
    visit(corners[0]);
    for (std::uint32_t k = 0; k + 1 < piece.count; ++k)
        visit(corners[piece.from + k]);
}

Vector3 Normalised(const Vector3& v) {
    const float length = Length(v);
    if (!(length > 0.0f) || !std::isfinite(length))
        return {};
    return {v.x / length, v.y / length, v.z / length};
}

class Writer {
public:
    explicit Writer(const Scene& scene) : scene_(scene) {}

    bool check(std::string& error);
    std::vector<std::uint8_t> encode();
    std::size_t splitFaces() const { return splitFaces_; }

private:
    std::string checkObject(std::size_t index);
    std::string checkTrack(std::size_t index,
                           std::string_view what,
                           std::int32_t first,
                           std::int32_t last,
                           std::span<const std::int32_t> frames);
    std::string checkPoints(std::span<const ScenePoint> points, std::string_view what);

    void chunk(std::string_view tag, auto body);
    void text(std::string_view value);
    void vec(const Vector3& v);
    void points(std::string_view tag, std::span<const ScenePoint> list);
    void writeObject(std::size_t index);

    const Scene& scene_;
    std::vector<std::vector<Piece>> pieces_;  // per sub-object
    std::size_t splitFaces_ = 0;
    ByteWriter out_;
};

std::string Writer::checkTrack(std::size_t index,
                               std::string_view what,
                               std::int32_t first,
                               std::int32_t last,
                               std::span<const std::int32_t> frames) {
    if (frames.size() < 2)
        return {};
    const std::string label = SubObjectLabel(index) + ", " + std::string(what);
    if (last <= first)
        return label + " span frames " + FormatInteger(first) + " to " + FormatInteger(last) +
               "; the game needs a last frame after the first (it crashes when the part moves)";
    if (frames[0] > first)
        return label + ": key #0 starts at frame " + FormatInteger(frames[0]) + ", after the track's first frame " +
               FormatInteger(first);
    for (std::size_t k = 1; k < frames.size(); ++k)
        if (frames[k] <= frames[k - 1])
            return label + ": key #" + Count(k) + " starts at frame " + FormatInteger(frames[k]) + ", not after key #" +
                   Count(k - 1) + " (frame " + FormatInteger(frames[k - 1]) + ")";
    return {};
}

std::string Writer::checkObject(std::size_t index) {
    const SceneObject& object = scene_.objects[index];
    const std::string label = SubObjectLabel(index);
    if (object.name.size() > kOofMaxNameLength)
        return label + " is named \"" + object.name + "\", " + Count(object.name.size()) +
               " characters; an object model keeps at most " + Count(kOofMaxNameLength);
    if (object.properties.size() > kOofMaxPropertyLength)
        return label + " has properties of " + Count(object.properties.size()) +
               " characters; an object model holds at most " + Count(kOofMaxPropertyLength);
    const std::string_view command = PropertyCommand(object.properties);
    if (command.size() > kOofMaxPropertyPart || object.properties.size() - command.size() > kOofMaxPropertyPart)
        return label + " has a property command or data of more than " + Count(kOofMaxPropertyPart) +
               " characters, which the game cannot read";
    if (object.positions.size() > kOofMaxVertices)
        return label + " has " + Count(object.positions.size()) + " vertices; an object model holds at most " +
               Count(kOofMaxVertices) + " per sub-object";
    const bool oneFace = WantsSingleFace(object.properties);
    std::vector<Piece>& pieces = pieces_[index];
    for (std::size_t f = 0; f < object.faces.size(); ++f) {
        const SceneFace& face = object.faces[f];
        if (face.cornerCount < 3)
            return label + ", face #" + Count(f) + " has " + Count(face.cornerCount) +
                   (face.cornerCount == 1 ? " corner" : " corners") + "; a face of an object model needs at least 3";
        if (oneFace && face.cornerCount > kOofMaxSingleFaceCorners)
            return label + ", face #" + Count(f) + " has " + Count(face.cornerCount) + " corners; the one face of a " +
                   std::string(command) + " sub-object may have at most " + Count(kOofMaxSingleFaceCorners);
        const std::size_t before = pieces.size();
        CutFace(face, kOofMaxCorners, pieces);
        if (pieces.size() - before > 1)
            ++splitFaces_;
    }
    if (pieces.size() > kOofMaxFaces)
        return label + " has " + Count(pieces.size()) + " faces" +
               (pieces.size() != object.faces.size() ? " once those of more than 32 corners are cut" : "") +
               "; an object model holds at most " + Count(kOofMaxFaces) + " per sub-object";
    if (oneFace && object.faces.size() != 1)
        return label + " (" + std::string(command) + ") has " + Count(object.faces.size()) +
               (object.faces.size() == 1 ? " face" : " faces") + "; the game draws it from exactly one face";
    std::vector<std::int32_t> frames;
    for (const RotationKey& key : object.rotation.keys)
        frames.push_back(key.frame);
    if (std::string problem =
            checkTrack(index, "rotation keys", object.rotation.firstFrame, object.rotation.lastFrame, frames);
        !problem.empty())
        return problem;
    frames.clear();
    for (const PositionKey& key : object.position.keys)
        frames.push_back(key.frame);
    return checkTrack(index, "position keys", object.position.firstFrame, object.position.lastFrame, frames);
}

std::string Writer::checkPoints(std::span<const ScenePoint> list, std::string_view what) {
    for (std::size_t p = 0; p < list.size(); ++p)
        if (list[p].parent < -1 || list[p].parent >= static_cast<std::int64_t>(scene_.objects.size()))
            return std::string(what) + " #" + Count(p) + " hangs from sub-object " + FormatInteger(list[p].parent) +
                   ", but the model has " +
                   NumberRange(static_cast<std::int64_t>(scene_.objects.size()), "no sub-objects", "sub-objects");
    return {};
}

bool Writer::check(std::string& error) {
    const std::size_t objects = scene_.objects.size();
    if (objects == 0 || objects > kOofMaxSubObjects) {
        error =
            "the model has " + Count(objects) + " sub-objects; an object model holds 1 to " + Count(kOofMaxSubObjects);
        return false;
    }
    if (scene_.textures.size() > kOofMaxTextures) {
        error = "the model uses " + Count(scene_.textures.size()) + " textures; an object model holds at most " +
                Count(kOofMaxTextures);
        return false;
    }
    for (std::size_t t = 0; t < scene_.textures.size(); ++t) {
        if (scene_.textures[t].size() > kOofMaxTextureNameLength) {
            error = "the name of texture #" + Count(t) + " has " + Count(scene_.textures[t].size()) +
                    " characters; an object model holds at most " + Count(kOofMaxTextureNameLength);
            return false;
        }
    }
    for (std::size_t i = 0; i < objects; ++i) {
        std::size_t depth = 1;
        for (std::int32_t parent = scene_.objects[i].parent; parent != -1;
             parent = scene_.objects[static_cast<std::size_t>(parent)].parent)
            ++depth;
        if (depth > kOofMaxDepth) {
            error = SubObjectLabel(i) + " hangs " + Count(depth) + " sub-objects deep; the game draws at most " +
                    Count(kOofMaxDepth);
            return false;
        }
    }
    pieces_.assign(objects, {});
    for (std::size_t i = 0; i < objects; ++i) {
        error = checkObject(i);
        if (!error.empty())
            return false;
    }
    for (const auto& [list, what] : {std::pair{&scene_.gunpoints, "gun point"},
                                     {&scene_.attachPoints, "attach point"},
                                     {&scene_.groundPoints, "ground point"}}) {
        error = checkPoints(*list, what);
        if (!error.empty())
            return false;
    }
    if (scene_.attachPoints.size() > kOofMaxAttachPoints) {
        error = "the model has " + Count(scene_.attachPoints.size()) + " attach points; the game uses at most " +
                Count(kOofMaxAttachPoints);
        return false;
    }
    if (scene_.batteries.size() > kOofMaxBatteries) {
        error = "the model has " + Count(scene_.batteries.size()) + " weapon batteries; the game holds at most " +
                Count(kOofMaxBatteries);
        return false;
    }
    for (std::size_t b = 0; b < scene_.batteries.size(); ++b) {
        const WeaponBattery& battery = scene_.batteries[b];
        const std::string label = "weapon battery #" + Count(b);
        if (battery.guns.size() > kOofMaxBatteryEntries || battery.turrets.size() > kOofMaxBatteryEntries) {
            error = label + " has " + Count(battery.guns.size()) + " guns and " + Count(battery.turrets.size()) +
                    " turrets; a battery holds at most " + Count(kOofMaxBatteryEntries) + " of each";
            return false;
        }
        for (const std::int32_t gun : battery.guns)
            if (gun < 0 || static_cast<std::size_t>(gun) >= scene_.gunpoints.size()) {
                error = label + " fires from gun point " + FormatInteger(gun) + ", but the model has " +
                        NumberRange(static_cast<std::int64_t>(scene_.gunpoints.size()), "no gun points", "gun points");
                return false;
            }
        for (const std::int32_t turret : battery.turrets)
            if (turret < 0 || static_cast<std::size_t>(turret) >= objects) {
                error = label + " aims with sub-object " + FormatInteger(turret) + ", but the model has " +
                        NumberRange(static_cast<std::int64_t>(objects), "no sub-objects", "sub-objects");
                return false;
            }
    }
    return true;
}

void Writer::chunk(std::string_view tag, auto body) {
    out_.writeText(tag);
    const std::size_t lengthAt = out_.position();
    out_.writeI32(0);
    body();
    out_.patchI32(lengthAt, static_cast<std::int32_t>(out_.position() - lengthAt - 4));
}

void Writer::text(std::string_view value) {
    out_.writeI32(static_cast<std::int32_t>(value.size() + 1));
    out_.writeText(value);
    out_.writeU8(0);
}

void Writer::vec(const Vector3& v) {
    out_.writeF32(v.x);
    out_.writeF32(v.y);
    out_.writeF32(v.z);
}

void Writer::points(std::string_view tag, std::span<const ScenePoint> list) {
    chunk(tag, [&] {
        out_.writeI32(static_cast<std::int32_t>(list.size()));
        for (const ScenePoint& point : list) {
            out_.writeI32(point.parent);
            vec(point.position);
            vec(point.direction);
        }
    });
}

void Writer::writeObject(std::size_t index) {
    const SceneObject& object = scene_.objects[index];
    const std::vector<Piece>& pieces = pieces_[index];

    // Face normals from the corners' winding, as the game and the room check compute them.
    std::vector<Vector3> faceNormals;
    faceNormals.reserve(pieces.size());
    std::vector<Vector3> corners;
    for (const Piece& piece : pieces) {
        corners.clear();
        ForEachCorner(object, piece, [&](const SceneCorner& c) { corners.push_back(object.positions[c.vertex]); });
        faceNormals.push_back(ComputeFaceNormal(corners));
    }
    // Vertex normals: the scene's, made unit; where it has none, the normalised sum of the normals of the faces
    // that use the vertex.
    std::vector<Vector3> normals(object.positions.size());
    std::vector<Vector3> sums(object.positions.size());
    for (std::size_t p = 0; p < pieces.size(); ++p)
        ForEachCorner(object, pieces[p],
                      [&](const SceneCorner& c) { sums[c.vertex] = sums[c.vertex] + faceNormals[p]; });
    for (std::size_t v = 0; v < normals.size(); ++v) {
        normals[v] = Normalised(object.normals[v]);
        if (normals[v] == Vector3{})
            normals[v] = Normalised(sums[v]);
    }

    Vector3 low{};
    Vector3 high{};
    float radius = 0.0f;
    for (std::size_t v = 0; v < object.positions.size(); ++v) {
        const Vector3& p = object.positions[v];
        low = v == 0 ? p : Vector3{std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = v == 0 ? p : Vector3{std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
        radius = std::max(radius, Length(p));
    }

    chunk("SOBJ", [&] {
        out_.writeI32(static_cast<std::int32_t>(index));
        out_.writeI32(object.parent);
        vec({});           // plane normal: unused by object models
        out_.writeF32(0);  // plane distance
        vec({});           // plane point
        vec(object.offset);
        out_.writeF32(radius);
        out_.writeI32(0);  // tree offset
        out_.writeI32(0);  // data offset
        vec({(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2});
        text(object.name);
        text(object.properties);
        out_.writeI32(object.movementType);
        out_.writeI32(object.movementAxis);
        out_.writeI32(0);  // no data of the older format
        out_.writeI32(static_cast<std::int32_t>(object.positions.size()));
        for (const Vector3& p : object.positions)
            vec(p);
        for (const Vector3& n : normals)
            vec(n);
        for (const float alpha : object.alphas)
            out_.writeF32(alpha);
        out_.writeI32(static_cast<std::int32_t>(pieces.size()));
        for (std::size_t p = 0; p < pieces.size(); ++p) {
            const SceneFace& face = *pieces[p].face;
            vec(faceNormals[p]);
            out_.writeI32(static_cast<std::int32_t>(pieces[p].count));
            if (face.texture == kUntextured) {
                out_.writeI32(0);
                out_.writeU8(face.color.red);
                out_.writeU8(face.color.green);
                out_.writeU8(face.color.blue);
            } else {
                out_.writeI32(1);
                out_.writeI32(face.texture);
            }
            ForEachCorner(object, pieces[p], [&](const SceneCorner& c) {
                out_.writeI32(static_cast<std::int32_t>(c.vertex));
                out_.writeF32(c.u);
                out_.writeF32(c.v);
            });
            out_.writeF32(0);  // two numbers the game reads and discards
            out_.writeF32(0);
        }
    });
    if (!object.specialPoints.empty()) {
        chunk("SPCL", [&] {
            out_.writeI32(static_cast<std::int32_t>(object.specialPoints.size()));
            for (const SpecialPoint& point : object.specialPoints) {
                text(point.name);
                text(point.properties);
                vec(point.position);
                out_.writeF32(point.radius);
            }
        });
    }
}

std::vector<std::uint8_t> Writer::encode() {
    out_.writeText("PSPO");
    out_.writeI32(kOofWriteVersion);

    Vector3 low{};
    Vector3 high{};
    SceneBounds(scene_, low, high);
    chunk("OHDR", [&] {
        out_.writeI32(static_cast<std::int32_t>(scene_.objects.size()));
        out_.writeF32(ModelRadius(scene_));
        vec(low);
        vec(high);
        out_.writeI32(0);  // no detail levels: the game takes them from separate files
    });
    if (!scene_.textures.empty()) {
        chunk("TXTR", [&] {
            out_.writeI32(static_cast<std::int32_t>(scene_.textures.size()));
            for (const std::string& name : scene_.textures)
                text(name);
        });
    }
    for (std::size_t i = 0; i < scene_.objects.size(); ++i)
        writeObject(i);
    if (!scene_.gunpoints.empty())
        points("GPNT", scene_.gunpoints);
    if (!scene_.batteries.empty()) {
        chunk("WBAT", [&] {
            out_.writeI32(static_cast<std::int32_t>(scene_.batteries.size()));
            for (const WeaponBattery& battery : scene_.batteries) {
                out_.writeI32(static_cast<std::int32_t>(battery.guns.size()));
                for (const std::int32_t gun : battery.guns)
                    out_.writeI32(gun);
                out_.writeI32(static_cast<std::int32_t>(battery.turrets.size()));
                for (const std::int32_t turret : battery.turrets)
                    out_.writeI32(turret);
            }
        });
    }
    const bool rotates = std::any_of(scene_.objects.begin(), scene_.objects.end(),
                                     [](const SceneObject& o) { return !o.rotation.keys.empty(); });
    if (rotates) {
        chunk("RANI", [&] {
            for (const SceneObject& object : scene_.objects) {
                out_.writeI32(static_cast<std::int32_t>(object.rotation.keys.size()));
                out_.writeI32(object.rotation.firstFrame);
                out_.writeI32(object.rotation.lastFrame);
                for (const RotationKey& key : object.rotation.keys) {
                    out_.writeI32(key.frame);
                    vec(key.axis);
                    out_.writeI32(key.angle);
                }
            }
        });
    }
    const bool moves = std::any_of(scene_.objects.begin(), scene_.objects.end(),
                                   [](const SceneObject& o) { return !o.position.keys.empty(); });
    if (moves) {
        chunk("PANI", [&] {
            for (const SceneObject& object : scene_.objects) {
                out_.writeI32(static_cast<std::int32_t>(object.position.keys.size()));
                out_.writeI32(object.position.firstFrame);
                out_.writeI32(object.position.lastFrame);
                for (const PositionKey& key : object.position.keys) {
                    out_.writeI32(key.frame);
                    vec(key.position);
                }
            }
        });
    }
    if (!scene_.groundPoints.empty())
        points("GRND", scene_.groundPoints);
    if (!scene_.attachPoints.empty()) {
        points("ATCH", scene_.attachPoints);
        // Up-vectors only when there is one for every attach point: any other count makes the game write past
        // its table.
        if (scene_.attachNormals.size() == scene_.attachPoints.size())
            points("NATH", scene_.attachNormals);
    }
    return out_.release();
}

}  // namespace

float ModelRadius(const Scene& scene) {
    float radius = 0.0f;
    for (std::size_t i = 0; i < scene.objects.size(); ++i) {
        const Vector3 offset = WorldOffset(scene, i);
        for (const Vector3& p : scene.objects[i].positions)
            radius = std::max(radius, Length(p + offset));
    }
    return radius;
}

bool EncodeOof(const Scene& scene, std::vector<std::uint8_t>& bytes, std::string& error, OofWriteNotes* notes) {
    Writer writer(scene);
    if (!writer.check(error))
        return false;
    bytes = writer.encode();
    if (notes)
        notes->splitFaces = writer.splitFaces();
    return true;
}

}  // namespace torvale
