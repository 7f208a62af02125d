// libFuzzer harness for the OBJ reader: any bytes make a valid scene (every corner naming a vertex of its
// sub-object, every number finite) or a one-line refusal that leaves the scene as it was. Material libraries read as
// the input.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "obj/obj_model.h"

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
    const bool ok = torvale::ReadObjModel(bytes, "fuzz.obj", loader, model, notes, error, &images);
    if (ok == !error.empty() ||
        (!ok && (model.textures != std::vector<std::string>{"kept"} || error.find('\n') != std::string::npos)))
        __builtin_trap();
    if (ok && !torvale::ValidateScene(model).empty())
        __builtin_trap();
    if (ok && images.size() != model.textures.size())
        __builtin_trap();
    return 0;
}
