// Each input is tried as a texlate.rsc file and as the text form of pairs. A table that loads prints as text
// that reads back to the same pairs and the same file bytes (less a single ignored trailing byte); text that
// parses prints and parses back unchanged.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "orf/texlate_text.h"
#include "orf/texture_table.h"

namespace {

bool SamePairs(const std::vector<torvale::TexturePair>& a, const std::vector<torvale::TexturePair>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].modelName != b[i].modelName || a[i].roomName != b[i].roomName)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace torvale;
    const std::span<const std::uint8_t> bytes(data, size);

    static const auto table = std::make_unique<TextureTable>();
    std::string error;
    if (LoadTextureTable(bytes, *table, error)) {
        table->TranslateTextureName(std::string_view(reinterpret_cast<const char*>(data), size < 8 ? size : 8));
        std::vector<TexturePair> pairs;
        if (!ReadTexturePairs(bytes, pairs, error) || pairs.empty() || pairs.size() > kTextureTableSlots)
            std::abort();
        TexlateTextResult parsed;
        if (!ParseTexlateText(FormatTexlateText(pairs), parsed, error) || !SamePairs(parsed.pairs, pairs))
            std::abort();
        const std::vector<std::uint8_t> encoded = EncodeTexturePairs(parsed.pairs);
        if (encoded.size() + 1 < size || encoded.size() > size)
            std::abort();
        if (!std::equal(encoded.begin(), encoded.end(), data))
            std::abort();
    } else if (error.empty()) {
        std::abort();
    }

    error.clear();
    TexlateTextResult parsed;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (ParseTexlateText(text, parsed, error)) {
        TexlateTextResult again;
        if (!ParseTexlateText(FormatTexlateText(parsed.pairs), again, error) || !SamePairs(again.pairs, parsed.pairs))
            std::abort();
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}
