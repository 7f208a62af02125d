#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace torvale {

// The program's arguments as UTF-8, its own name left out. On Windows they are taken from the wide command line,
// so a file name with letters outside the ANSI code page arrives whole.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Text that the program writes to its standard output is UTF-8; on Windows a console is told so.
void UseUtf8Output();

// A name stored by the game's tools (bytes in the user's ANSI code page on Windows) as UTF-8; elsewhere the
// bytes as they are.
std::string GameTextToUtf8(std::string_view text);
// The other way, for texts the program stores where the game's tools and older versions read them; a letter
// the code page lacks becomes '?'.
std::string Utf8ToGameText(std::string_view text);

}  // namespace torvale
