#include "orf/room_check.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

#include "core/number_text.h"
#include "model_io/polygon.h"
#include "scene/face_shape.h"

namespace torvale {
namespace {

// The editor's thresholds.
constexpr float kLeastNormalLength = 0.035f;  // of the longest corner cross product, before normalising
constexpr float kPointDistance = 0.1f;        // two vertices closer than this are one point
// The grid of the duplicate-point rule: cells eight times the distance wide, so that along each axis a vertex's
// close neighbours lie in its own cell or, when it lies within the distance of a border, in the one cell beyond
// that border; most vertices lie near no border and need no look-up beyond their own cell.
constexpr double kCellSize = 8.0 * static_cast<double>(kPointDistance);

std::string Int(std::int64_t value) {
    return FormatInteger(value);
}

struct FaceNormal {
    Vector3 normal;  // normalised; valid only when `good`
    bool good = false;
};

// The face's normal as the editor computes it (ComputeFaceNormal); a longest corner cross product shorter than
// the threshold (or not a number) makes it a bad normal.
// The positions of a face's corners, in a buffer reused from face to face.
std::span<const Vector3> CornerPositions(const Room& room, std::span<const RoomCorner> corners) {
    thread_local std::vector<Vector3> positions;
    positions.clear();
    for (const RoomCorner& corner : corners)
        positions.push_back(room.vertices[static_cast<std::size_t>(corner.vertex)]);
    return positions;
}

FaceNormal ComputeNormal(const Room& room, std::span<const RoomCorner> corners) {
    const std::span<const Vector3> positions = CornerPositions(room, corners);
    float length = 0.0f;
    const Vector3 normal = ComputeFaceNormal(positions, &length);
    if (!(length >= kLeastNormalLength))
        return {};
    return {normal, true};
}

// Where a face's corners start when read from their smallest rotation on: faces with the same corners in the
// same cyclic order read the same from there.
std::size_t CyclicStart(std::span<const RoomCorner> corners) {
    const std::size_t n = corners.size();
    std::size_t start = 0;
    for (std::size_t s = 1; s < n; ++s) {
        for (std::size_t k = 0; k < n; ++k) {
            const std::int32_t a = corners[(s + k) % n].vertex;
            const std::int32_t b = corners[(start + k) % n].vertex;
            if (a != b) {
                if (a < b)
                    start = s;
                break;
            }
        }
    }
    return start;
}

// The faces seen so far, by their corners read from their smallest rotation on: an open-addressing table of
// face numbers keyed by a hash of those corners, so that no face costs an allocation.
class FaceTable {
public:
    explicit FaceTable(const Room& room)
        : room_(room), slots_(TableSize(room.faces.size()), Slot{0, kEmpty}), starts_(room.faces.size()) {}

    // The first earlier face with the same corners in the same cyclic order as face `f`, or `f` when there is
    // none (and `f` is remembered).
    std::size_t firstLike(std::size_t f) {
        const std::span<const RoomCorner> corners = room_.cornersOf(room_.faces[f]);
        const std::size_t n = corners.size();
        const std::size_t start = CyclicStart(corners);
        starts_[f] = static_cast<std::uint32_t>(start);
        std::uint64_t hash = n;
        for (std::size_t k = 0; k < n; ++k)
            hash = (hash ^ static_cast<std::uint32_t>(corners[(start + k) % n].vertex)) * 0x100000001B3u;
        hash ^= hash >> 29;
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t slot = static_cast<std::size_t>(hash) & mask;; slot = (slot + 1) & mask) {
            Slot& at = slots_[slot];
            if (at.face == kEmpty) {
                at = {hash, static_cast<std::uint32_t>(f)};
                return f;
            }
            if (at.hash == hash && same(at.face, f))
                return at.face;
        }
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    struct Slot {
        std::uint64_t hash;
        std::uint32_t face;
    };

    // At most half full: a power of two of at least twice the faces.
    static std::size_t TableSize(std::size_t faces) {
        std::size_t size = 16;
        while (size < 2 * faces)
            size *= 2;
        return size;
    }

    bool same(std::size_t a, std::size_t b) const {
        const std::span<const RoomCorner> ca = room_.cornersOf(room_.faces[a]);
        const std::span<const RoomCorner> cb = room_.cornersOf(room_.faces[b]);
        if (ca.size() != cb.size())
            return false;
        const std::size_t n = ca.size();
        for (std::size_t k = 0; k < n; ++k)
            if (ca[(starts_[a] + k) % n].vertex != cb[(starts_[b] + k) % n].vertex)
                return false;
        return true;
    }

    const Room& room_;
    std::vector<Slot> slots_;
    std::vector<std::uint32_t> starts_;  // of each face seen, see CyclicStart
};

void CheckFaces(const Room& room, std::vector<RoomFinding>& findings) {
    FaceTable seen(room);
    for (std::size_t f = 0; f < room.faces.size(); ++f) {
        const RoomFace& face = room.faces[f];
        const std::span<const RoomCorner> corners = room.cornersOf(face);
        const std::size_t n = corners.size();
        auto add = [&](RoomFindingKind kind, std::string text) {
            findings.push_back({kind, RoomElement::Face, f, std::move(text)});
        };
        if (n == 0)
            continue;
        if (static_cast<std::int64_t>(n) > kEditorCornerLimit) {
            add(RoomFindingKind::OverLimit, Int(static_cast<std::int64_t>(n)) +
                                                " corners, more than the level editor's " + Int(kEditorCornerLimit));
        }
        const FaceNormal computed = ComputeNormal(room, corners);
        if (!computed.good)
            add(RoomFindingKind::BadNormal, "bad normal");
        for (std::size_t k = 0; k < n; ++k) {
            if (corners[k].vertex == corners[(k + 2) % n].vertex) {
                add(RoomFindingKind::Degenerate, "degenerate");
                break;
            }
        }
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t c = (k + 1) % n;
            if (corners[k].vertex == corners[c].vertex) {
                add(RoomFindingKind::RepeatedCorner, "corner " + Int(static_cast<std::int64_t>(c)) +
                                                         " repeats corner " + Int(static_cast<std::int64_t>(k)));
                break;
            }
        }
        if (computed.good) {
            const std::span<const Vector3> positions = CornerPositions(room, corners);
            const std::int64_t concave = ConcaveCorner(positions, computed.normal);
            if (concave >= 0)
                add(RoomFindingKind::Concave, "concave at corner " + Int(concave));
            if (!IsPlanar(positions, computed.normal))
                add(RoomFindingKind::NotPlanar, "not planar");
        }
        if (const std::size_t first = seen.firstLike(f); first != f)
            add(RoomFindingKind::DuplicateFace, "same as face " + Int(static_cast<std::int64_t>(first)));
        if (computed.good && Dot(face.normal, computed.normal) < 0.0f)
            add(RoomFindingKind::FacesOtherWay, "faces the other way in the level editor");
        // Version 1 stores alpha but the editor draws it opaque; from version 2 on it is used.
        if (room.version >= 2) {
            for (std::size_t k = 0; k < n; ++k) {
                if (!(corners[k].alpha >= 0.0f && corners[k].alpha <= 1.0f)) {
                    add(RoomFindingKind::AlphaOutside,
                        "corner " + Int(static_cast<std::int64_t>(k)) + " alpha outside 0..1");
                    break;
                }
            }
        }
    }
}

// A grid cell of kCellSize on each side.
struct Cell {
    std::int64_t x, y, z;
    auto operator<=>(const Cell&) const = default;
};

Cell CellOf(const Vector3& p) {
    auto along = [](float value) {
        // Far-out and non-finite coordinates share the border cells; the distance test still decides.
        const double cell = std::floor(static_cast<double>(value) / kCellSize);
        return static_cast<std::int64_t>(std::clamp(std::isnan(cell) ? 0.0 : cell, -1e15, 1e15));
    };
    return {along(p.x), along(p.y), along(p.z)};
}

// Mixes every bit of the three cell numbers into the low bits that pick a slot (the finaliser of MurmurHash3).
std::uint64_t CellHash(const Cell& c) {
    std::uint64_t h = static_cast<std::uint64_t>(c.x);
    h = h * 0x9E3779B97F4A7C15u + static_cast<std::uint64_t>(c.y);
    h = h * 0x9E3779B97F4A7C15u + static_cast<std::uint64_t>(c.z);
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDu;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53u;
    return h ^ (h >> 33);
}

// The vertices grouped by cell, with an open-addressing table from a cell to its group: flat arrays, so that the
// eight look-ups per vertex stay cheap.
class PointGrid {
public:
    explicit PointGrid(const std::vector<Vector3>& points)
        : cells_(points.size()), order_(points.size()), groupOf_(points.size()) {
        // At most one group per vertex, so the table is at most half full.
        std::size_t size = 16;
        while (size < 2 * points.size())
            size *= 2;
        slots_.assign(size, Slot{{}, kEmpty});
        present_.assign(size * kPresentBitsPerSlot / 64, 0);
        // Each vertex's group, in one pass over the vertices: a cell met for the first time opens a group.
        std::vector<std::uint32_t>& groupOf = groupOf_;
        std::vector<std::uint32_t> counts;
        for (std::size_t v = 0; v < points.size(); ++v) {
            const Cell cell = CellOf(points[v]);
            cells_[v] = cell;
            const std::uint64_t hash = CellHash(cell);
            std::size_t slot = static_cast<std::size_t>(hash & (size - 1));
            while (slots_[slot].group != kEmpty && slots_[slot].cell != cell)
                slot = (slot + 1) & (size - 1);
            if (slots_[slot].group == kEmpty) {
                slots_[slot] = {cell, static_cast<std::uint32_t>(counts.size())};
                counts.push_back(0);
                const std::size_t bit = presentBit(hash);
                present_[bit / 64] |= std::uint64_t{1} << (bit % 64);
            }
            groupOf[v] = slots_[slot].group;
            ++counts[groupOf[v]];
        }
        // The groups side by side, each holding its vertices in ascending order.
        groupStart_.assign(counts.size() + 1, 0);
        for (std::size_t g = 0; g < counts.size(); ++g)
            groupStart_[g + 1] = groupStart_[g] + counts[g];
        std::vector<std::uint32_t> next(groupStart_.begin(), groupStart_.end() - 1);
        for (std::size_t v = 0; v < points.size(); ++v)
            order_[next[groupOf[v]]++] = static_cast<std::uint32_t>(v);
    }

    const Cell& cellOf(std::size_t vertex) const { return cells_[vertex]; }

    // The vertices of the vertex's own cell, in ascending order, without a look-up.
    std::span<const std::uint32_t> sameCell(std::size_t vertex) const {
        const std::uint32_t g = groupOf_[vertex];
        return {order_.data() + groupStart_[g], groupStart_[g + 1] - groupStart_[g]};
    }

    // The vertices of `cell` in ascending order; empty when none lies there.
    std::span<const std::uint32_t> find(const Cell& cell) const {
        const std::uint64_t hash = CellHash(cell);
        const std::size_t bit = presentBit(hash);
        if ((present_[bit / 64] >> (bit % 64) & 1) == 0)
            return {};  // most neighbour cells are empty; this answers them without touching the slots
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t slot = static_cast<std::size_t>(hash & mask); slots_[slot].group != kEmpty;
             slot = (slot + 1) & mask) {
            if (slots_[slot].cell == cell) {
                const std::uint32_t g = slots_[slot].group;
                return {order_.data() + groupStart_[g], groupStart_[g + 1] - groupStart_[g]};
            }
        }
        return {};
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    // A bit per possible cell hash, set for the cells that hold vertices: small enough to stay in the cache,
    // where the slots do not for a large room. A clear bit means the cell is empty; a set one is looked up.
    static constexpr std::size_t kPresentBitsPerSlot = 4;
    std::size_t presentBit(std::uint64_t hash) const {
        return static_cast<std::size_t>(hash >> 40) & (present_.size() * 64 - 1);
    }
    // The cell is kept in its slot, so that a look-up reads one place per probe.
    struct Slot {
        Cell cell;
        std::uint32_t group;
    };

    std::vector<Cell> cells_;
    std::vector<std::uint32_t> order_;
    std::vector<std::uint32_t> groupStart_;
    std::vector<Slot> slots_;
    std::vector<std::uint64_t> present_;
    std::vector<std::uint32_t> groupOf_;  // of each vertex
};

// Vertices closer than kPointDistance, found through the grid: along each axis a close neighbour lies in the
// vertex's own cell or in the next one on the side of the cell's nearer border, since the far border is at least
// kPointDistance away. Each later vertex names the first earlier one it is close to.
void CheckPoints(const Room& room, std::vector<RoomFinding>& findings) {
    const PointGrid grid(room.vertices);
    std::vector<bool> used(room.vertices.size(), false);
    for (const RoomCorner& c : room.corners)
        used[static_cast<std::size_t>(c.vertex)] = true;
    for (std::size_t v = 0; v < room.vertices.size(); ++v) {
        const Vector3& p = room.vertices[v];
        const Cell home = grid.cellOf(v);
        // Along one axis: -1 or 1 when the vertex lies within the distance of its cell's lower or upper border
        // (a little more, against rounding), 0 when no close neighbour can lie beyond either border. A coordinate
        // that is no finite number is close to nothing.
        const auto side = [](float value) -> std::int64_t {
            const double at = static_cast<double>(value) / kCellSize;
            const double into = (at - std::floor(at)) * kCellSize;
            constexpr double reach = static_cast<double>(kPointDistance) * 1.001;
            if (into < reach)
                return -1;
            return kCellSize - into < reach ? 1 : 0;
        };
        const std::int64_t sx = side(p.x), sy = side(p.y), sz = side(p.z);
        std::size_t closest = v;
        // Lowers `closest` to the first vertex of `cell` (in ascending order) that is earlier and close.
        const auto closerIn = [&](std::span<const std::uint32_t> cell) {
            for (const std::uint32_t other : cell) {
                if (other >= closest)
                    break;
                const Vector3 d = p - room.vertices[other];
                if (Dot(d, d) < kPointDistance * kPointDistance) {
                    closest = other;
                    break;
                }
            }
        };
        closerIn(grid.sameCell(v));
        // The other cells that may hold a close neighbour: one step along each axis that has a side, and their
        // combinations.
        const std::int64_t xs[] = {0, sx}, ys[] = {0, sy}, zs[] = {0, sz};
        for (std::size_t ix = 0; ix < (sx != 0 ? 2u : 1u); ++ix) {
            for (std::size_t iy = 0; iy < (sy != 0 ? 2u : 1u); ++iy) {
                for (std::size_t iz = 0; iz < (sz != 0 ? 2u : 1u); ++iz) {
                    if (ix + iy + iz == 0)
                        continue;
                    closerIn(grid.find({home.x + xs[ix], home.y + ys[iy], home.z + zs[iz]}));
                }
            }
        }
        if (closest != v) {
            findings.push_back({RoomFindingKind::DuplicatePoint, RoomElement::Vertex, v,
                                "same as vertex " + Int(static_cast<std::int64_t>(closest))});
        }
        if (!used[v])
            findings.push_back({RoomFindingKind::UnusedPoint, RoomElement::Vertex, v, "unused"});
    }
}

void CheckLimits(const Room& room, std::vector<RoomFinding>& findings) {
    auto add = [&](std::string text) {
        findings.push_back({RoomFindingKind::OverLimit, RoomElement::Room, 0, std::move(text)});
    };
    const auto vertices = static_cast<std::int64_t>(room.vertices.size());
    const auto faces = static_cast<std::int64_t>(room.faces.size());
    if (vertices > kEditorVertexLimit)
        add(Int(vertices) + " vertices, more than the level editor's " + Int(kEditorVertexLimit));
    if (faces > kEditorFaceLimit)
        add(Int(faces) + " faces, more than the level editor's " + Int(kEditorFaceLimit));
    if (vertices == 0 || faces == 0)
        add("no vertex or no face; the level editor loads no such room");
}

}  // namespace

std::vector<RoomFinding> CheckRoom(const Room& room) {
    std::vector<RoomFinding> findings;
    CheckFaces(room, findings);
    CheckPoints(room, findings);
    for (std::size_t t = 0; t < room.textureNames.size(); ++t) {
        if (room.textureNames[t].size() > kEditorTextureNameChars) {
            findings.push_back({RoomFindingKind::LongTextureName, RoomElement::Texture, t,
                                "texture " + Int(static_cast<std::int64_t>(t)) + " name longer than 34 characters"});
        }
    }
    CheckLimits(room, findings);
    return findings;
}

void ReverseFaces(Room& room) {
    for (RoomFace& face : room.faces) {
        const auto first = room.corners.begin() + static_cast<std::ptrdiff_t>(face.firstCorner);
        std::reverse(first, first + static_cast<std::ptrdiff_t>(face.cornerCount));
        face.normal = {-face.normal.x, -face.normal.y, -face.normal.z};
    }
}

std::optional<RoomFinding> TextureBitmapFinding(std::size_t texture,
                                                std::string_view name,
                                                const Image& bitmap,
                                                bool namedByPage,
                                                std::string_view origin) {
    const std::string lead = "texture " + std::string(name) + ": its bitmap (" + std::string(origin) + ")";
    if (namedByPage && (bitmap.fileType == 2 || bitmap.fileType == 10))
        return RoomFinding{RoomFindingKind::TextureBitmap, RoomElement::Room, texture,
                           lead + " is a TGA; the game reads only OGF bitmaps for a texture page"};
    const std::uint32_t size = bitmap.width();
    if (bitmap.height() == size && (size == 32 || size == 64 || size == 128))
        return std::nullopt;
    return RoomFinding{RoomFindingKind::TextureBitmap, RoomElement::Room, texture,
                       lead + " is " + std::to_string(bitmap.width()) + " x " + std::to_string(bitmap.height()) +
                           "; the game takes square 32, 64 or 128"};
}

RoomFinding UnknownTextureFinding(std::size_t texture, std::string_view name) {
    return {RoomFindingKind::UnknownTexture, RoomElement::Room, texture,
            "texture " + std::string(name) +
                " is no texture page of the game's tables; the level editor will show texture 0"};
}

}  // namespace torvale
