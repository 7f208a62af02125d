#include "orf/orf_writer.h"

#include <stdexcept>

namespace torvale {
void OrfRecords::Overrun() {
    throw std::length_error("room records do not fill their block exactly");
}

void OrfWriter::beginChunk(std::int32_t tag) {
    out_.writeI32(tag);
    lengthAt_ = out_.position();
    out_.writeI32(-1);
}

void OrfWriter::patchLength() {
    const std::size_t end = out_.position();
    out_.patchI32(lengthAt_, static_cast<std::int32_t>(end - lengthAt_ - 4));
}

void OrfWriter::finishFile() {
    out_.writeI32(kOrfEndTag);
    out_.writeI32(4);
}

std::vector<std::uint8_t> EncodeRoom(const Room& room) {
    const std::size_t faceBytes = kOrfFaceRecordBytes * room.faces.size() + kOrfCornerRecordBytes * room.corners.size();
    std::size_t nameBytes = 0;
    for (const std::string& name : room.textureNames)
        nameBytes += name.size() + 1;

    OrfWriter writer;
    writer.reserve(5 * kOrfChunkHeadBytes + 12 + kOrfVectorBytes * room.vertices.size() + 4 + nameBytes + faceBytes);

    writer.beginChunk(kOrfHeaderTag);
    writer.writeI32(kOrfHeaderConstant);
    writer.writeI32(static_cast<std::int32_t>(room.vertices.size()));
    writer.writeI32(static_cast<std::int32_t>(room.faces.size()));
    writer.patchLength();

    writer.beginChunk(kOrfVertexTag);
    {
        OrfRecords vertices = writer.appendRecords(kOrfVectorBytes * room.vertices.size());
        vertices.vectors(room.vertices);
        vertices.close();
    }
    writer.patchLength();

    writer.beginChunk(kOrfTextureTag);
    writer.writeI32(static_cast<std::int32_t>(room.textureNames.size()));
    for (const std::string& name : room.textureNames) {
        writer.writeName(name);
        writer.writeName(std::string_view("\0", 1));
    }
    writer.patchLength();

    writer.beginChunk(kOrfFaceTag);
    {
        OrfRecords faces = writer.appendRecords(faceBytes);
        for (const RoomFace& face : room.faces)
            faces.face(face, room.cornersOf(face));
        faces.close();
    }
    writer.patchLength();

    writer.finishFile();
    return writer.release();
}

}  // namespace torvale
