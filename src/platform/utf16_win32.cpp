#include "platform/utf16_win32.h"

#include <windows.h>

#include <limits>

namespace torvale {
namespace {

// The conversion functions count in ints; a text longer than that is far beyond any path or log line.
int CountOf(std::size_t size) {
    return size > static_cast<std::size_t>(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                            : static_cast<int>(size);
}

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty())
        return {};
    const int count = CountOf(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), count, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), count, wide.data(), length);
    return wide;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) {
    return ToWide(CP_UTF8, text);
}

std::string WideToUtf8(std::wstring_view text) {
    if (text.empty())
        return {};
    const int count = CountOf(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), count, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), count, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::string AnsiToUtf8(std::string_view text) {
    return WideToUtf8(ToWide(CP_ACP, text));
}

std::string Utf8ToAnsi(std::string_view text) {
    const std::wstring wide = Utf8ToWide(text);
    if (wide.empty())
        return {};
    const int count = CountOf(wide.size());
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), count, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), count, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

bool FitsAnsiCodePage(std::string_view text) {
    const std::wstring wide = Utf8ToWide(text);
    if (wide.empty())
        return text.empty();
    BOOL defaulted = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), CountOf(wide.size()), nullptr, 0,
                                           nullptr, &defaulted);
    return length > 0 && !defaulted;
}

}  // namespace torvale
