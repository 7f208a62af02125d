#pragma once

#include <string>
#include <string_view>

namespace torvale {

// The game compares file and page names without regard to case, ASCII letters only.
inline char FoldAsciiCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string FoldedName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        c = FoldAsciiCase(c);
    return folded;
}

inline bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i]))
            return false;
    return true;
}

inline bool EndsWithIgnoringCase(std::string_view name, std::string_view suffix) {
    return name.size() >= suffix.size() && SameNameIgnoringCase(name.substr(name.size() - suffix.size()), suffix);
}

}  // namespace torvale
