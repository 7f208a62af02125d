// libFuzzer harness for the OBJ reader: any bytes make a model or a one-line refusal that leaves the model as
// it was; every corner of a model it makes names a vertex of its sub-object. Material libraries read as the input.
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
    torvale::ObjectModel model;
    model.fileId = "kept";
    std::vector<std::string> notes;
    std::string error;
    const bool ok = torvale::ReadObjModel(bytes, "fuzz.obj", loader, model, notes, error);
    if (ok == !error.empty() || (!ok && (model.fileId != "kept" || error.find('\n') != std::string::npos)))
        __builtin_trap();
    for (const torvale::SubObject& sub : model.subObjects)
        for (const torvale::FaceVertex& c : sub.faceVertices)
            if (c.vertexIndex < 0 || c.vertexIndex >= sub.vertexCount)
                __builtin_trap();
    return 0;
}
