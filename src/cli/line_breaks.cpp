#include "cli/commands.h"

namespace torvale::cli {

std::string ToPlatformLineBreaks(const std::string& text) {
#ifdef _WIN32
    return text;
#else
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
#endif
}

}  // namespace torvale::cli
