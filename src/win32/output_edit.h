#pragma once

#include <windows.h>

#include "app/output_log.h"
#include "app/output_style.h"
#include "core/twips_rect.h"
#include "platform/win32_handles.h"
#include "win32/twips.h"

namespace torvale {

// txtOutput: the read-only multi-line edit control that shows the output log. It follows the log through the
// log's listener, appending only what was added, so a long report never rebuilds the whole text.
class OutputEdit {
public:
    OutputEdit() = default;
    OutputEdit(const OutputEdit&) = delete;
    OutputEdit& operator=(const OutputEdit&) = delete;

    bool Create(HWND parent, HINSTANCE instance, const Twips& twips, const TwipsRect& placement);
    // Shows `log` from now on, every change as it happens.
    void Follow(OutputLog& log);
    void Place(const TwipsRect& placement);
    const TwipsRect& placement() const { return placement_; }
    void ApplyStyle(const OutputStyle& style);
    const OutputStyle& style() const { return style_; }
    // The character height of the log's font in pixels (negative, as CreateFont takes it); 0 without a font.
    int fontHeight() const;
    // Re-reads the system colours the style refers to.
    void RefreshColors();
    // The answer to WM_CTLCOLORSTATIC for this control (a read-only edit asks as a static control does).
    HBRUSH Colorize(HDC dc) const;
    HWND handle() const { return edit_; }

private:
    void ShowChange(const OutputLog& log, const OutputLog::Change& change);

    HWND edit_ = nullptr;
    const Twips* twips_ = nullptr;
    TwipsRect placement_;
    OutputStyle style_;
    UniqueFont font_;
    UniqueBrush brush_;
    COLORREF textColor_ = 0;
    COLORREF backColor_ = 0;
};

}  // namespace torvale
