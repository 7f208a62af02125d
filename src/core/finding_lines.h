#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/output_sink.h"

namespace torvale {

// At most this many lines of one kind of finding per checked file; the rest are counted in one line.
inline constexpr std::size_t kFindingLinesPerKind = 20;

// One finding ready for the log: its kind (a number that orders the groups) and its whole line without the
// line break.
struct FindingLine {
    int kind = 0;
    std::string line;
};

// Writes findings grouped by kind in ascending order of kind (each kind keeping its own order), at most
// kFindingLinesPerKind lines per kind, then
//   Warning: <file>: ... and <n> more <plural words of the kind>
// and last "<check> of <file>: no findings" / "1 finding" / "<n> findings", which counts every finding, also
// those not shown. Every line ends in CR LF.
void PrintFindingLines(std::string_view check,
                       std::string_view fileName,
                       std::span<const FindingLine> findings,
                       const std::function<std::string_view(int)>& pluralOfKind,
                       OutputSink& out);

}  // namespace torvale
