#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace torvale {

// ASCII case folding, the way the game and its tools compare names and keywords: only 'A'..'Z' and 'a'..'z'
// change; every other byte, a UTF-8 or ANSI letter above all, stays as it is whatever the locale.
constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// `text` with its ASCII capitals made small.
std::string AsciiLowered(std::string_view text);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix);
// Where `part` first occurs in `text`, ASCII case ignored; npos when nowhere.
std::size_t FindIgnoringAsciiCase(std::string_view text, std::string_view part);

// The C0 controls and DEL: bytes that no name or line of text shows as themselves.
constexpr bool IsAsciiControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

constexpr bool IsAsciiControl(char c) {
    return IsAsciiControl(static_cast<unsigned char>(c));
}

}  // namespace torvale
