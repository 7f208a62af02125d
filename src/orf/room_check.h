#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/image.h"
#include "orf/room.h"

namespace torvale {

// The kinds of finding, in the order the log lists them.
enum class RoomFindingKind {
    BadNormal,        // "bad normal"
    Degenerate,       // "degenerate"
    RepeatedCorner,   // "corner <c> repeats corner <c-1>"
    Concave,          // "concave at corner <c>"
    NotPlanar,        // "not planar"
    DuplicateFace,    // "same as face <j>"
    FacesOtherWay,    // "faces the other way in the level editor"
    AlphaOutside,     // "corner <c> alpha outside 0..1"
    DuplicatePoint,   // "same as vertex <j>"
    UnusedPoint,      // "unused"
    LongTextureName,  // "texture <t> name longer than 34 characters"
    OverLimit,        // more vertices, faces or corners than the editor holds, or no vertex or face at all
    UnknownTexture,   // added by callers that know the game's texture pages
    TextureBitmap,    // added by callers that found the textures' images: one the game would not take
};

enum class RoomElement { Face, Vertex, Texture, Room };

struct RoomFinding {
    RoomFindingKind kind;
    RoomElement element;
    std::size_t index;  // face, vertex or texture number, from 0; 0 for the room
    std::string text;
};

// Everything the level editor's own room check finds, with its thresholds and its way of computing a face's
// normal, plus what it does not look for but gets wrong: a stored normal against the computed one, texture names
// it cuts, corner alphas outside 0..1 (versions 2 and up, where it uses them) and its hard limits.
// The room's faces must name existing vertices and corners, as ReadOrfFile leaves them.
// Findings come in face order, then vertex order, then texture order, then the room's own.
std::vector<RoomFinding> CheckRoom(const Room& room);

// Reverses every face: corners in the opposite order (each keeping its UV and alpha), stored normal negated.
void ReverseFaces(Room& room);

// A finding for a texture name the game's tables do not know, to add to CheckRoom's before logging them.
RoomFinding UnknownTextureFinding(std::size_t texture, std::string_view name);

// What the game makes of a room texture's bitmap, found at `origin`: a TGA that a texture page names (the game
// decodes only OGF data for a page's bitmap and would show garbage), or a size other than square 32, 64 or
// 128 (the game takes a page's bitmap at its own size). Nothing when the game takes it.
std::optional<RoomFinding> TextureBitmapFinding(std::size_t texture,
                                                std::string_view name,
                                                const Image& bitmap,
                                                bool namedByPage,
                                                std::string_view origin);

}  // namespace torvale
