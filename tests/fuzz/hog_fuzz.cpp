// Each input is read as the start of a HOG2 archive, once as the whole archive and once as the start of a larger
// one. Every entry it accepts lies inside the archive; a refusal always says why.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "game/hog_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace torvale;
    for (const std::uint64_t archiveSize : {std::uint64_t{size}, std::uint64_t{size} + 100000}) {
        std::vector<HogEntry> entries;
        std::string error;
        if (!ReadHogDirectory(std::span<const std::uint8_t>(data, size), archiveSize, entries, error)) {
            if (error.empty() || !entries.empty())
                std::abort();
            continue;
        }
        for (const HogEntry& entry : entries)
            if (entry.offset + entry.length > archiveSize || entry.name.size() > kHogNameBytes)
                std::abort();
    }
    return 0;
}
