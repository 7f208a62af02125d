#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "core/output_sink.h"
#include "oof/model_report.h"
#include "oof/object_model.h"

namespace torvale {

inline constexpr int kOofLoaded = 0;
inline constexpr int kOofInvalid = 1;

// Reads one OOF file held in memory into `model`, writing the model report to `out` as it goes.
// `oofTitle` is the file name shown in the report. Returns kOofLoaded (0) when the file was read, also when
// its POFGEN text was cut short, or kOofInvalid (1) when it is not a valid OOF file; for data that the
// model cannot take, one line starting with "Error: " says why and where before the result is returned.
// The model keeps whatever was read before a failure.
int ReadOofFile(std::span<const std::uint8_t> bytes,
                std::string_view oofTitle,
                ObjectModel& model,
                OutputSink& out,
                const ReportFormat& format = {});

// The same, calling `passed(n)` between chunks whenever the reader will not look at the first n bytes again
// (the model keeps copies of everything it needs), so that the caller may give back their memory. The values are
// the start of every chunk as the reader walks the file (field by field, as the game does) and, when the walk
// reaches the end of the file, where the last chunk's fields end.
int ReadOofFile(std::span<const std::uint8_t> bytes,
                std::string_view oofTitle,
                ObjectModel& model,
                OutputSink& out,
                const ReportFormat& format,
                const std::function<void(std::size_t)>& passed);

}  // namespace torvale
