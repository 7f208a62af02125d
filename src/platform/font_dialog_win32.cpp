#include <windows.h>

#include <commdlg.h>

#include <cmath>
#include <cwchar>

#include "platform/font_dialog.h"
#include "platform/utf16_win32.h"

namespace torvale {
namespace {

// Pixels per inch of the screen, vertically: font heights are pixels, sizes are points.
int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

FontDialogResult SystemFontDialog::ShowFont(const DialogFont& preset, std::uint32_t flags) {
    const int dpi = ScreenDpi();
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(static_cast<double>(preset.size) * dpi / 72.0));
    font.lfWeight = preset.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = preset.italic ? 1 : 0;
    font.lfUnderline = preset.underline ? 1 : 0;
    font.lfStrikeOut = preset.strikethru ? 1 : 0;
    font.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = Utf8ToWide(preset.name);
    std::wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);

    CHOOSEFONTW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = static_cast<HWND>(owner_);
    request.lpLogFont = &font;
    // The preset shows only when the dialog starts from the LOGFONT.
    request.Flags = flags | CF_INITTOLOGFONTSTRUCT;
    request.rgbColors = preset.color;

    FontDialogResult result;
    if (!ChooseFontW(&request)) {
        // A plain cancel leaves no error; anything else means the dialog could not be shown.
        result.outcome = CommDlgExtendedError() == 0 ? FontDialogOutcome::Cancelled : FontDialogOutcome::Failed;
        result.font = preset;
        return result;
    }
    result.outcome = FontDialogOutcome::Confirmed;
    result.font.name = WideToUtf8(font.lfFaceName);
    // The size as the dialog shows it, in tenths of a point; from the chosen height only if it gives none.
    const LONG pixels = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    result.font.size = request.iPointSize > 0 ? static_cast<float>(request.iPointSize) / 10.0f
                                              : static_cast<float>(pixels * 72.0 / dpi);
    result.font.bold = font.lfWeight >= FW_BOLD;
    result.font.italic = font.lfItalic != 0;
    result.font.underline = font.lfUnderline != 0;
    result.font.strikethru = font.lfStrikeOut != 0;
    result.font.color = request.rgbColors;
    return result;
}

}  // namespace torvale
