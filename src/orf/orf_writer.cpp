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

}  // namespace torvale
