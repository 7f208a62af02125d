#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/output_style.h"
#include "app/settings.h"
#include "platform/font_dialog.h"

namespace torvale {

// The two palettes of 24 swatches, 0x00BBGGRR. Swatch i sits in column i / 3 and row i % 3 of its frame: column 0
// holds white, light grey and black, columns 1 to 7 one hue each (red, orange, yellow, green, cyan, blue,
// magenta), the lightest at the top; the text palette's lower two rows are one step brighter.
inline constexpr std::size_t kSwatchCount = 24;
inline constexpr std::array<std::uint32_t, kSwatchCount> kBackSwatchColors{
    0x00FFFFFF, 0x00C0C0C0, 0x00000000,  // white, light grey, black
    0x00C0C0FF, 0x000000C0, 0x00000080,  // red
    0x00C0E0FF, 0x000040C0, 0x00004080,  // orange
    0x00C0FFFF, 0x0000C0C0, 0x00008080,  // yellow
    0x00C0FFC0, 0x0000C000, 0x00008000,  // green
    0x00FFFFC0, 0x00C0C000, 0x00808000,  // cyan
    0x00FFC0C0, 0x00C00000, 0x00800000,  // blue
    0x00FFC0FF, 0x00C000C0, 0x00800080,  // magenta
};
inline constexpr std::array<std::uint32_t, kSwatchCount> kTextSwatchColors{
    0x00FFFFFF, 0x00C0C0C0, 0x00000000,  // white, light grey, black
    0x00C0C0FF, 0x000000FF, 0x000000C0,  // red
    0x00C0E0FF, 0x000080FF, 0x000040C0,  // orange
    0x00C0FFFF, 0x0000FFFF, 0x0000C0C0,  // yellow
    0x00C0FFC0, 0x0000FF00, 0x0000C000,  // green
    0x00FFFFC0, 0x00FFFF00, 0x00C0C000,  // cyan
    0x00FFC0C0, 0x00FF0000, 0x00C00000,  // blue
    0x00FFC0FF, 0x00FF00FF, 0x00C000C0,  // magenta
};

// The values of the dialog's hidden text area txtSystem, the source of the system defaults: "MS Sans Serif"
// 8.25 points, regular, the system window-background and window-text colours.
OutputStyle SystemDefaultStyle();

// The font description: name, ", ", size, "pts. ", then B, I, S, U for bold, italic, strikethrough and
// underline ("Arial, 12pts. BI").
std::string FontDescription(const std::string& name,
                            const std::string& size,
                            bool bold,
                            bool italic,
                            bool strikethru,
                            bool underline);

// What the colours presenter asks of the real dialog.
class ColorsView {
public:
    virtual ~ColorsView() = default;
    // The preview txtExample takes this font and these colours.
    virtual void ShowPreview(const OutputStyle& style) = 0;
    // txtFont shows this text.
    virtual void ShowFontDescription(const std::string& text) = 0;
    // The dialog goes away.
    virtual void Close() = 0;
};

// frmColors without its controls: the preview's font and colours, the font description, and what each swatch
// and button does. Only Ok and the fallback on loading change the Settings; nothing here touches the log or
// the settings file.
class ColorsPresenter {
public:
    ColorsPresenter(Settings& settings, ColorsView& view, FontDialog& fontDialog, char decimalSeparator = '.');

    // The preview takes the Settings; if it refuses any of them, txtSystem's values replace them in the
    // Settings too (and stay there even if the dialog is then cancelled).
    void Load();
    // A swatch's colour becomes the preview's background or text colour. An index past the palette does nothing.
    void ClickBackColor(std::size_t index);
    void ClickTextColor(std::size_t index);
    // "Choose": the font dialog, preset from the preview.
    void Choose();
    // "Reset to Windows System Colors": the preview takes txtSystem's values.
    void Reset();
    // "Ok": the preview's font and colours become the Settings, the size rounded to whole points.
    void Ok();
    // "Cancel", Esc or the close box: the dialog goes and the Settings stay as they are.
    void Cancel();

    const OutputStyle& preview() const { return preview_; }
    const std::string& fontDescription() const { return description_; }

private:
    void showPreview();
    // Rewrites the description from the preview, the size with its fraction where it has one.
    void describePreview();
    void describe(std::string text);

    Settings& settings_;
    ColorsView& view_;
    FontDialog& fontDialog_;
    char decimalSeparator_;
    OutputStyle preview_;
    std::string description_;
};

}  // namespace torvale
