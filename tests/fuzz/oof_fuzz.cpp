// libFuzzer harness for the OOF reader: any bytes load or are refused, never read out of bounds, and a second
// load into the same model (which keeps what the first one set) behaves the same.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "oof/oof_reader.h"

namespace {
class NullSink : public torvale::OutputSink {
public:
    void PrintOutput(std::string_view) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    torvale::ObjectModel model;
    NullSink sink;
    for (int pass = 0; pass < 2; ++pass) {
        const int result = torvale::ReadOofFile(bytes, "fuzz.oof", model, sink);
        if (result != torvale::kOofLoaded && result != torvale::kOofInvalid)
            __builtin_trap();
    }
    return 0;
}
