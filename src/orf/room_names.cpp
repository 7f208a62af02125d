#include "orf/room_names.h"

#include <string_view>

#include "core/number_text.h"

namespace torvale {
namespace {

// Names are ANSI text; the comparisons fold the ASCII letters only.
char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    }
    return true;
}

std::size_t FindNoCase(std::string_view text, std::string_view what) {
    for (std::size_t at = 0; at + what.size() <= text.size(); ++at) {
        if (EqualNoCase(text.substr(at, what.size()), what))
            return at;
    }
    return std::string_view::npos;
}

}  // namespace

bool DeriveBaseName(ExportNames& names, char separator) {
    if (names.orfTitle.empty() || names.orfPath.empty())
        return false;
    const std::string_view path = names.orfPath;
    if (path.size() >= names.orfTitle.size() &&
        EqualNoCase(path.substr(path.size() - names.orfTitle.size()), names.orfTitle)) {
        names.orfDirectory = std::string(path.substr(0, path.size() - names.orfTitle.size()));
    }
    if (names.orfDirectory.empty() || names.orfDirectory.back() != separator)
        names.orfDirectory += separator;
    const std::size_t extension = FindNoCase(names.orfTitle, ".orf");
    if (extension != std::string_view::npos)
        names.orfTitle.resize(extension);
    names.orfPath = names.orfDirectory + names.orfTitle;
    return true;
}

std::string RoomFileName(const std::string& basePath, std::int32_t roomCount, std::int32_t room) {
    if (roomCount == 1)
        return basePath + ".orf";
    return basePath + (room < 10 ? "0" : "") + FormatInteger(room) + ".orf";
}

}  // namespace torvale
