#pragma once

// Paths and texts cross into Windows as UTF-16: inside the program they are UTF-8, so every platform file that
// hands a path to the system or takes one back goes through these. Included only by Windows code.

#include <string>
#include <string_view>

namespace torvale {

// UTF-8 to UTF-16 for the ...W functions. A byte sequence that is not UTF-8 becomes U+FFFD, as the system does.
std::wstring Utf8ToWide(std::string_view text);

// UTF-16 from the ...W functions back to UTF-8. A lone surrogate becomes U+FFFD.
std::string WideToUtf8(std::wstring_view text);

// A text in the user's ANSI code page (the game's own names, POFGEN's output) as UTF-8, for the log.
std::string AnsiToUtf8(std::string_view text);

// UTF-8 in the user's ANSI code page; a letter it lacks becomes '?'.
std::string Utf8ToAnsi(std::string_view text);

// True when every letter of a UTF-8 text has a form in the user's ANSI code page, so that a program that reads
// its command line through that code page (POFGEN) receives the text unchanged.
bool FitsAnsiCodePage(std::string_view text);

}  // namespace torvale
