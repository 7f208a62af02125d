#pragma once

#include <windows.h>

#include "app/output_style.h"
#include "platform/win32_handles.h"
#include "win32/twips.h"

namespace torvale {

// "MS Sans Serif" 8.25 points, the dialogs' font; bold for the group captions.
UniqueFont MakeDialogFont(const Twips& twips, bool bold = false);
// The font an output style names: face, size and the four flags.
UniqueFont MakeStyleFont(const Twips& twips, const OutputStyle& style);

}  // namespace torvale
