#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace torvale {

// The game keeps at most this many characters of a page's texts; a longer text is cut, its rest still read.
inline constexpr std::size_t kPageTextLimit = 34;

// A texture page of a game table (.gam): the name rooms use, the bitmap file models use, and the table
// file it came from (its file name, e.g. "extra.gam").
struct TexturePage {
    std::string name;
    std::string bitmap;
    std::string table;
};

// Reads the texture pages of a table file, in file order. A table is a run of pages, each a type byte, an int32
// length counting from the length field to the page's end, and a body; texture pages (type 1) give their
// version (int16), page name, bitmap file name and destroyed-texture name (zero-ended texts, each cut to 34
// characters); every other page is skipped by its length. Pages are numbered from 1 in refusals:
// "page 3 at byte 205: ...". Refused: an empty file, a length below 4, a page running past the end of the file,
// a texture page whose texts run past its length. `pages` is replaced on success and unchanged on failure;
// every page read gets `tableName` as its table.
bool ReadTableFile(std::span<const std::uint8_t> bytes,
                   std::string_view tableName,
                   std::vector<TexturePage>& pages,
                   std::string& error);

}  // namespace torvale
