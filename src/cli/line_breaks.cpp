#include "cli/commands.h"

namespace torvale::cli {

// The standard streams are text streams: on Windows the C runtime turns each LF written into CR LF, so the
// text goes out with LF alone everywhere and arrives in the platform's own form (a CR LF passed through
// would come out as CR CR LF).
std::string ToPlatformLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

}  // namespace torvale::cli
