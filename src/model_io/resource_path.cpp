#include "model_io/resource_path.h"

#include <system_error>
#include <vector>

#include "core/ascii_text.h"
#include "core/error_text.h"
#include "core/number_text.h"
#include "core/utf8_path.h"

namespace torvale {
namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

}  // namespace

bool PercentDecode(std::string_view uri, std::string& decoded, std::string& why) {
    decoded.clear();
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] != '%') {
            decoded += uri[i];
            continue;
        }
        const int high = i + 2 < uri.size() ? HexDigitValue(uri[i + 1]) : -1;
        const int low = i + 2 < uri.size() ? HexDigitValue(uri[i + 2]) : -1;
        if (high < 0 || low < 0) {
            why = "has a '%' at byte " + std::to_string(i) + " that is no %XX escape";
            return false;
        }
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

bool CheckInsideFolder(std::string_view name, std::string& relative, std::string& why) {
    if (name.empty()) {
        why = "is empty";
        return false;
    }
    if (IsSeparator(name.front())) {
        why = "is an absolute path or a network name; only files in the model's folder are read";
        return false;
    }
    if (name.find(':') != std::string_view::npos) {
        why = "names a drive or a scheme; only files in the model's folder are read";
        return false;
    }
    if (name.find('\0') != std::string_view::npos) {
        why = "holds a NUL byte";
        return false;
    }
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !IsSeparator(name[end]))
            ++end;
        const std::string_view part = name.substr(start, end - start);
        if (part == "..") {
            if (parts.empty()) {
                why = "reaches above the model's folder";
                return false;
            }
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    if (parts.empty()) {
        why = "names the model's folder itself, not a file";
        return false;
    }
    relative.clear();
    for (std::string_view part : parts)
        relative.append(relative.empty() ? "" : "/").append(part);
    return true;
}

bool ResolveModelUri(std::string_view uri, std::string& relative, std::string& why) {
    std::string decoded;
    return PercentDecode(uri, decoded, why) && CheckInsideFolder(decoded, relative, why);
}

bool FileInsideFolder(const std::filesystem::path& folder,
                      std::string_view relative,
                      std::filesystem::path& file,
                      std::string& why) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path base = fs::weakly_canonical(fs::absolute(folder.empty() ? fs::path(".") : folder, error), error);
    if (error) {
        why = "the model's folder cannot be resolved (" + ErrorText(error) + ")";
        return false;
    }
    // weakly_canonical follows every link that exists on the way, so the result shows where the file really is.
    const fs::path target = fs::weakly_canonical(base / PathFromUtf8(relative), error);
    if (error) {
        why = "cannot be resolved (" + ErrorText(error) + ")";
        return false;
    }
    auto b = base.begin();
    auto t = target.begin();
    for (; b != base.end() && !b->empty(); ++b, ++t) {
        if (t == target.end() || *t != *b) {
            why = "leads out of the model's folder through a link";
            return false;
        }
    }
    file = target;
    return true;
}

std::string QuotedName(std::string_view name) {
    constexpr std::size_t kLongest = 200;
    std::string out = "\"";
    for (std::size_t i = 0; i < name.size() && i < kLongest; ++i) {
        out += IsAsciiControl(name[i]) ? HexEscape(name[i]) : std::string(1, name[i]);
    }
    return out + (name.size() > kLongest ? "...\"" : "\"");
}

std::string PlainSideFileName(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (IsAsciiControl(c) || c == '\\' || c == ':' || c == '%')
            c = '_';
    }
    return out;
}

}  // namespace torvale
