#include "core/field_reader.h"

#include <charconv>

namespace torvale {

std::string FieldReader::refusal(std::size_t at, std::string_view rest) const {
    char digits[24];
    const auto [digitsEnd, ignored] = std::to_chars(digits, digits + sizeof digits, base_ + at);
    const std::string_view offset(digits, static_cast<std::size_t>(digitsEnd - digits));
    std::string line;
    line.reserve(wording_.lead.size() + chunk_.size() + 9 + offset.size() + rest.size());
    line.append(wording_.lead)
        .append(chunk_)
        .append(chunk_.empty() ? "at byte " : " at byte ")
        .append(offset)
        .append(rest);
    return line;
}

bool FieldReader::refuse(std::size_t at, std::string_view rest) {
    if (error_.empty())
        error_ = refusal(at, rest);
    return false;
}

bool FieldReader::cutShort(std::string_view field) {
    std::string rest;
    rest.reserve(wording_.cutShortBefore.size() + field.size() + wording_.cutShortAfter.size());
    rest.append(wording_.cutShortBefore).append(field).append(wording_.cutShortAfter);
    return refuse(position(), rest);
}

}  // namespace torvale
