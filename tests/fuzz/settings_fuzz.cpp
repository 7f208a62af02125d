// DecodeSettings on arbitrary bytes: it never reads past the end, and the record it leaves is written and read
// back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "app/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace torvale;
    Settings settings;
    DecodeSettings(std::span<const std::uint8_t>(data, size), settings);
    const std::vector<std::uint8_t> written = EncodeSettings(settings);
    if (written.size() < kSettingsFixedSize || written.size() > kSettingsFixedSize + 2 * kSettingsTextLimit)
        std::abort();
    Settings again;
    DecodeSettings(written, again);
    if (EncodeSettings(again) != written)
        std::abort();
    return 0;
}
