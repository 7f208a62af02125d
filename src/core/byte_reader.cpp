#include "core/byte_reader.h"

namespace torvale {

bool ByteReader::readText(std::size_t count, std::string& out) {
    if (remaining() < count)
        return false;
    out.append(reinterpret_cast<const char*>(bytes_.data() + position_), count);
    position_ += count;
    return true;
}

bool ByteReader::readBytes(std::size_t count, std::span<const std::uint8_t>& out) {
    if (remaining() < count)
        return false;
    out = bytes_.subspan(position_, count);
    position_ += count;
    return true;
}

}  // namespace torvale
