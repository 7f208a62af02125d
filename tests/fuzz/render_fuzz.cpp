// libFuzzer harness for the preview: whatever scene the OOF reader and its conversion let through (huge sizes,
// faces of fewer than 3 corners, flagged face numbers beyond the faces) draws with every option from several
// sides without reading or writing outside the frame.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "oof/oof_reader.h"
#include "oof/oof_scene.h"
#include "render/renderer.h"

namespace {
class NullSink : public torvale::OutputSink {
public:
    void PrintOutput(std::string_view) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    torvale::ObjectModel model;
    NullSink sink;
    (void)torvale::ReadOofFile(std::span<const std::uint8_t>(data, size), "fuzz.oof", model, sink);
    torvale::Scene valid;
    std::string damage;
    if (!torvale::SceneFromOof(model, valid, damage))
        return 0;
    const std::size_t flagged[] = {0, 1, 7, 4000};
    const torvale::PreviewScene scene = torvale::BuildPreviewScene(valid, flagged);
    torvale::FrameStore store(64, 48);
    for (const torvale::View view : {torvale::View{0, 0, 1}, torvale::View{135, -40, 3}, torvale::View{-90, 90, 0}}) {
        if (!torvale::Render(scene, view, {true, true, true}, store.frame()))
            __builtin_trap();
    }
    return 0;
}
