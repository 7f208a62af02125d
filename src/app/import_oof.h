#pragma once

#include <string>

#include "core/output_sink.h"
#include "oof/model_report.h"
#include "oof/object_model.h"
#include "oof/oof_reader.h"

namespace torvale {

// Where Import OOF takes its file from: the open dialog, or the path and title already set (a P3D import
// that POFGEN has just compiled).
enum class OofSource { AskUser, GivenFile };

}  // namespace torvale
