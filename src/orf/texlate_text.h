#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "orf/texture_table.h"

namespace torvale {

// The text form of a texture table, for people who keep their pairs in a plain text file:
//
//     # model texture name = room texture name
//     hull_plate = Hull Plate Grey     # blanks inside a name belong to it
//
// One pair a line, the model name left of '=' and the room name right of it. Blanks and tabs around a name are
// dropped; '#' starts a comment that runs to the end of the line; blank lines are skipped; lines end in LF or
// CR LF. A name is taken byte for byte (8-bit ANSI), except for the escapes \\ (backslash), \= (equals sign),
// \# (number sign) and \xHH (the byte with that hexadecimal value, for a zero byte, a control character or a
// blank at the start or end of a name). Other control characters must be written as \xHH.

struct TexlateTextResult {
    std::vector<TexturePair> pairs;  // in the order of the lines
    std::vector<std::size_t> lines;  // the line number of each pair, 1 for the first line
    std::vector<std::string> notes;  // "line 7: ..." for lines that do no harm but are worth a look
};

// Reads the text form. False with "line N: reason" in `error` for a line that is not a pair or a comment, a
// name that is empty, or more than 2086 pairs; `result` is then unspecified.
bool ParseTexlateText(std::string_view text, TexlateTextResult& result, std::string& error);

// The text form of `pairs`, one line each after a comment line, every line ending in LF. Reading it back with
// ParseTexlateText gives the same pairs.
std::string FormatTexlateText(std::span<const TexturePair> pairs);

// One name as the text form writes it, with escapes where needed.
std::string EscapeTexlateName(std::string_view name);

}  // namespace torvale
