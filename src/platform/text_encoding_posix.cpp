#include "platform/text_encoding.h"

namespace torvale {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

void UseUtf8Output() {}

std::string GameTextToUtf8(std::string_view text) {
    return std::string(text);
}

std::string Utf8ToGameText(std::string_view text) {
    return std::string(text);
}

}  // namespace torvale
