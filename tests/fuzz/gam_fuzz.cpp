// Each input is read as a game table. A table that reads holds only texts the game would keep (at most 34
// characters, no zero byte), and reading it again gives the same pages; a refusal always says why.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "game/table_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace torvale;
    std::vector<TexturePage> pages;
    std::string error;
    if (!ReadTableFile(std::span<const std::uint8_t>(data, size), "fuzz.gam", pages, error)) {
        if (error.empty() || !pages.empty())
            std::abort();
        return 0;
    }
    for (const TexturePage& page : pages)
        if (page.name.size() > kPageTextLimit || page.bitmap.size() > kPageTextLimit ||
            page.name.find('\0') != std::string::npos || page.table != "fuzz.gam")
            std::abort();
    return 0;
}
