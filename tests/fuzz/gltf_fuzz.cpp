// libFuzzer harness for the glTF reader: any bytes (as .gltf JSON or .glb) make a valid scene or a one-line
// refusal that leaves the scene as it was, and never read out of bounds. Named buffer files read as the input itself.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gltf/gltf_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const torvale::ResourceLoader loader = [&](std::string_view, std::vector<std::uint8_t>& out, std::string&) {
        out.assign(bytes.begin(), bytes.end());
        return true;
    };
    torvale::Scene model;
    model.textures = {"kept"};
    std::vector<std::string> notes;
    std::string error;
    torvale::TextureImages images;
    const bool ok = torvale::ReadGltfModel(bytes, "fuzz.gltf", loader, model, notes, error, &images);
    if (ok == !error.empty() ||
        (!ok && (model.textures != std::vector<std::string>{"kept"} || error.find('\n') != std::string::npos)))
        __builtin_trap();
    if (ok && !torvale::ValidateScene(model).empty())
        __builtin_trap();
    if (ok && images.size() != model.textures.size())
        __builtin_trap();
    return 0;
}
