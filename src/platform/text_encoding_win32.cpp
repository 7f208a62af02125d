#include <windows.h>

#include <shellapi.h>

#include "platform/text_encoding.h"
#include "platform/utf16_win32.h"

namespace torvale {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!words)  // out of memory: the narrow arguments are better than none
        return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(WideToUtf8(words[i]));
    LocalFree(words);
    return arguments;
}

void UseUtf8Output() {
    // Only a console reads this; a pipe or a file receives the bytes as they are.
    SetConsoleOutputCP(CP_UTF8);
}

std::string GameTextToUtf8(std::string_view text) {
    return AnsiToUtf8(text);
}

std::string Utf8ToGameText(std::string_view text) {
    return Utf8ToAnsi(text);
}

}  // namespace torvale
