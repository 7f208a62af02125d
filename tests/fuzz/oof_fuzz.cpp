// libFuzzer harness for the OOF reader and the room export behind it: any bytes load or are refused, never read
// out of bounds, and a second load into the same model (which keeps what the first one set) behaves the same.
// Every model the scene conversion takes must be a valid scene; its rooms within the level editor's limits are
// built, both combined and one per sub-object, checked, and each room's bytes must walk cleanly with the
// test-side walker. The model check of the same bytes, also as a ship, finishes on whatever the reader takes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "builders/orf_walker.h"
#include "oof/model_check.h"
#include "oof/oof_reader.h"
#include "oof/oof_scene.h"
#include "orf/orf_writer.h"
#include "orf/room_check.h"
#include "orf/room_export.h"

namespace {
class NullSink : public torvale::OutputSink {
public:
    void PrintOutput(std::string_view) override {}
};

void Walk(const torvale::Room& room) {
    torvale::CheckRoom(room);
    if (!torvale::test::WalkOrf(torvale::EncodeRoom(room)).ok)
        __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    torvale::ObjectModel model;
    NullSink sink;
    std::vector<torvale::ModelFinding> findings;
    torvale::ReadAndCheckModel(bytes, "fuzz.oof", sink, {.ship = true, .fileName = "fuzz.oof"}, findings);
    for (int pass = 0; pass < 2; ++pass) {
        const int result = torvale::ReadOofFile(bytes, "fuzz.oof", model, sink);
        if (result != torvale::kOofLoaded && result != torvale::kOofInvalid)
            __builtin_trap();
        torvale::Scene scene;
        std::string damage;
        if (!torvale::SceneFromOof(model, scene, damage))
            continue;
        if (!torvale::ValidateScene(scene).empty())
            __builtin_trap();
        const auto names = torvale::RoomTextureNames(scene, torvale::TextureTable{});
        const torvale::RoomBuildOptions reversed{.reverseFaces = pass == 1};
        if (torvale::FindRoomLimitProblem(scene, true).empty())
            Walk(torvale::BuildCombinedRoom(scene, names, reversed));
        if (torvale::FindRoomLimitProblem(scene, false).empty()) {
            for (std::size_t i = 0; i < scene.objects.size(); ++i)
                Walk(torvale::BuildSubObjectRoom(scene, i, names, reversed));
        }
    }
    return 0;
}
