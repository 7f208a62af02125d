#include "orf/room_findings.h"

#include <string>
#include <vector>

#include "core/number_text.h"

namespace torvale {
namespace {

std::string Line(std::string_view roomFileName, const RoomFinding& finding) {
    std::string line = "Warning: " + std::string(roomFileName);
    const std::string index = FormatInteger(static_cast<std::int64_t>(finding.index));
    switch (finding.element) {
        case RoomElement::Face:
            line += ", face " + index;
            break;
        case RoomElement::Vertex:
            line += ", vertex " + index;
            break;
        case RoomElement::Texture:
            line += ", texture " + index;
            break;
        case RoomElement::Room:
            break;
    }
    return line + ": " + finding.text;
}

}  // namespace

std::string_view FindingKindPlural(RoomFindingKind kind) {
    switch (kind) {
        case RoomFindingKind::BadNormal:
            return "faces with a bad normal";
        case RoomFindingKind::Degenerate:
            return "degenerate faces";
        case RoomFindingKind::RepeatedCorner:
            return "faces with a repeated corner";
        case RoomFindingKind::Concave:
            return "concave faces";
        case RoomFindingKind::NotPlanar:
            return "faces not planar";
        case RoomFindingKind::DuplicateFace:
            return "duplicate faces";
        case RoomFindingKind::FacesOtherWay:
            return "faces facing the other way";
        case RoomFindingKind::AlphaOutside:
            return "faces with alpha outside 0..1";
        case RoomFindingKind::DuplicatePoint:
            return "duplicate points";
        case RoomFindingKind::UnusedPoint:
            return "unused points";
        case RoomFindingKind::LongTextureName:
            return "long texture names";
        case RoomFindingKind::OverLimit:
            return "findings over the level editor's limits";
        case RoomFindingKind::UnknownTexture:
            return "unknown texture names";
        case RoomFindingKind::TextureBitmap:
            return "texture bitmaps the game does not take";
    }
    return "findings";
}

void PrintRoomFindings(std::string_view roomFileName, std::span<const RoomFinding> findings, OutputSink& out) {
    std::vector<FindingLine> lines;
    lines.reserve(findings.size());
    for (const RoomFinding& finding : findings)
        lines.push_back({static_cast<int>(finding.kind), Line(roomFileName, finding)});
    PrintFindingLines(
        "Room check", roomFileName, lines,
        [](int kind) { return FindingKindPlural(static_cast<RoomFindingKind>(kind)); }, out);
}

}  // namespace torvale
