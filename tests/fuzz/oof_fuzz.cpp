// libFuzzer harness for the OOF reader and the room export behind it: any bytes load or are refused, never read
// out of bounds, and a second load into the same model (which keeps what the first one set) behaves the same.
// Every model that passes the damage check is built into rooms, both combined and one per sub-object, and
// each room must walk cleanly with the test-side walker.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "builders/orf_walker.h"
#include "oof/oof_reader.h"
#include "orf/room_export.h"

namespace {
class NullSink : public torvale::OutputSink {
public:
    void PrintOutput(std::string_view) override {}
};

void Walk(const std::vector<std::uint8_t>& room) {
    if (!torvale::test::WalkOrf(room).ok)
        __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    torvale::ObjectModel model;
    NullSink sink;
    for (int pass = 0; pass < 2; ++pass) {
        const int result = torvale::ReadOofFile(bytes, "fuzz.oof", model, sink);
        if (result != torvale::kOofLoaded && result != torvale::kOofInvalid)
            __builtin_trap();
        const auto names = torvale::RoomTextureNames(model, torvale::TextureTable{});
        const torvale::RoomBuildOptions reversed{.reverseFaces = pass == 1};
        if (torvale::FindExportDamage(model, true).empty())
            Walk(torvale::BuildCombinedRoom(model, names, reversed));
        if (torvale::FindExportDamage(model, false).empty()) {
            for (std::size_t i = 0; i < static_cast<std::size_t>(model.subObjectCount); ++i)
                Walk(torvale::BuildSubObjectRoom(model, i, names, reversed));
        }
    }
    return 0;
}
