#include <windows.h>

#include "platform/utf16_win32.h"
#include "platform/win32_error.h"

namespace torvale {

std::string DescribeWin32Error(unsigned long code) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    // In the user's language, which the ANSI code page may not spell.
    std::string out = length ? WideToUtf8(std::wstring_view(text, length)) : "error " + std::to_string(code);
    if (text)
        LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ' || out.back() == '.'))
        out.pop_back();
    return out;
}

}  // namespace torvale
