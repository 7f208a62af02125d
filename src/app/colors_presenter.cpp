#include "app/colors_presenter.h"

#include <utility>

#include "core/number_text.h"

namespace torvale {
namespace {

// Whether the preview takes every value of the Settings' output style.
bool PreviewAccepts(const Settings& settings) {
    return IsAcceptedFontName(settings.fontName) && IsAcceptedFontSize(settings.fontSize) &&
           IsAcceptedColor(settings.backColor) && IsAcceptedColor(settings.textColor);
}

// Whether the preview takes a font the font dialog returned; its size counts in whole points.
bool PreviewAccepts(const DialogFont& font) {
    return IsAcceptedFontName(font.name) && IsAcceptedFontSize(RoundHalfToEven(static_cast<double>(font.size)));
}

}  // namespace

OutputStyle SystemDefaultStyle() {
    OutputStyle style;
    style.fontName = "MS Sans Serif";
    style.fontSize = 8.25;
    style.backColor = kSystemWindowBackground;
    style.textColor = kSystemWindowText;
    return style;
}

std::string FontDescription(const std::string& name,
                            const std::string& size,
                            bool bold,
                            bool italic,
                            bool strikethru,
                            bool underline) {
    std::string text = name + ", " + size + "pts. ";
    if (bold)
        text += 'B';
    if (italic)
        text += 'I';
    if (strikethru)
        text += 'S';
    if (underline)
        text += 'U';
    return text;
}

ColorsPresenter::ColorsPresenter(Settings& settings, ColorsView& view, FontDialog& fontDialog, char decimalSeparator)
    : settings_(settings), view_(view), fontDialog_(fontDialog), decimalSeparator_(decimalSeparator) {}

void ColorsPresenter::Load() {
    if (!PreviewAccepts(settings_))
        StoreOutputStyle(SystemDefaultStyle(), settings_);
    preview_ = StyleFromSettings(settings_);
    showPreview();
    // On opening the size is the Settings' whole number of points.
    describe(FontDescription(settings_.fontName, FormatInteger(settings_.fontSize), settings_.fontBold.isOn(),
                             settings_.fontItalic.isOn(), settings_.fontStrikethru.isOn(),
                             settings_.fontUnderline.isOn()));
}

void ColorsPresenter::ClickBackColor(std::size_t index) {
    if (index >= kSwatchCount)
        return;
    preview_.backColor = kBackSwatchColors[index];
    showPreview();
}

void ColorsPresenter::ClickTextColor(std::size_t index) {
    if (index >= kSwatchCount)
        return;
    preview_.textColor = kTextSwatchColors[index];
    showPreview();
}

void ColorsPresenter::Choose() {
    DialogFont preset;
    preset.name = preview_.fontName;
    preset.size = static_cast<float>(preview_.fontSize);
    preset.bold = preview_.bold;
    preset.italic = preview_.italic;
    preset.underline = preview_.underline;
    preset.strikethru = preview_.strikethru;
    const FontDialogResult result = fontDialog_.ShowFont(preset, kFontDialogFlags);
    if (result.outcome == FontDialogOutcome::Failed)
        return;
    // A cancelled dialog hands back the preset, so the preview keeps its font. The colour chosen among the
    // effects is not used: the swatches set the colours.
    const DialogFont& chosen = result.font;
    if (PreviewAccepts(chosen)) {
        preview_.fontName = chosen.name;
        preview_.fontSize = static_cast<double>(chosen.size);
        preview_.bold = chosen.bold;
        preview_.italic = chosen.italic;
        preview_.strikethru = chosen.strikethru;
        preview_.underline = chosen.underline;
        showPreview();
    }
    describePreview();
}

void ColorsPresenter::Reset() {
    preview_ = SystemDefaultStyle();
    showPreview();
    describePreview();
}

void ColorsPresenter::Ok() {
    StoreOutputStyle(preview_, settings_);
    view_.Close();
}

void ColorsPresenter::Cancel() {
    view_.Close();
}

void ColorsPresenter::showPreview() {
    view_.ShowPreview(preview_);
}

void ColorsPresenter::describePreview() {
    describe(FontDescription(preview_.fontName, FormatSingle(static_cast<float>(preview_.fontSize), decimalSeparator_),
                             preview_.bold, preview_.italic, preview_.strikethru, preview_.underline));
}

void ColorsPresenter::describe(std::string text) {
    description_ = std::move(text);
    view_.ShowFontDescription(description_);
}

}  // namespace torvale
