#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/output_sink.h"

namespace torvale {

struct ModelCheckResult {
    bool read = false;         // the bytes are an OOF model the reader takes
    std::size_t findings = 0;  // the model check's findings
};

// Reads an OOF model held in memory and prints its model check to `out` (PrintModelFindings), judging the
// model also as a player ship when `ship` is set. With `withReport` the model's report comes first, as the
// report command prints it, closed by "Finished loading"; without it only the check is printed. A file the
// reader refuses gets the reader's refusal and "Error reading <file> Not a valid OOF!" instead of a check.
ModelCheckResult PrintModelCheck(std::span<const std::uint8_t> oofBytes,
                                 std::string_view fileName,
                                 bool ship,
                                 OutputSink& out,
                                 bool withReport = false);

}  // namespace torvale
