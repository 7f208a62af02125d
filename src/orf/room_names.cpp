#include "orf/room_names.h"

#include <string_view>

#include "core/ascii_text.h"
#include "core/number_text.h"

namespace torvale {
namespace {}  // namespace

bool DeriveBaseName(ExportNames& names, char separator) {
    if (names.orfTitle.empty() || names.orfPath.empty())
        return false;
    const std::string_view path = names.orfPath;
    if (path.size() >= names.orfTitle.size() &&
        EqualsIgnoringAsciiCase(path.substr(path.size() - names.orfTitle.size()), names.orfTitle)) {
        names.orfDirectory = std::string(path.substr(0, path.size() - names.orfTitle.size()));
    }
    if (names.orfDirectory.empty() || names.orfDirectory.back() != separator)
        names.orfDirectory += separator;
    const std::size_t extension = FindIgnoringAsciiCase(names.orfTitle, ".orf");
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
