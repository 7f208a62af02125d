#pragma once

#include <cstdint>
#include <string>

namespace torvale {

// A font as the font dialog shows and returns it. The size is in points and may have a fraction.
struct DialogFont {
    std::string name;
    float size = 0.0f;
    bool bold = false;
    bool italic = false;
    bool strikethru = false;
    bool underline = false;
    std::uint32_t color = 0;  // the colour chosen among the effects, 0x00BBGGRR
    friend bool operator==(const DialogFont&, const DialogFont&) = default;
};

// List screen and printer fonts, offer the effects (strikeout, underline, colour).
inline constexpr std::uint32_t kFontDialogFlags = 259;

enum class FontDialogOutcome { Confirmed, Cancelled, Failed };

struct FontDialogResult {
    FontDialogOutcome outcome = FontDialogOutcome::Failed;
    // The dialog's font: the user's choice when confirmed, the preset when cancelled.
    DialogFont font;
};

// The system font dialog, opened on a preset font.
class FontDialog {
public:
    virtual ~FontDialog() = default;
    virtual FontDialogResult ShowFont(const DialogFont& preset, std::uint32_t flags) = 0;
};

// The system's own font dialog (Windows only). `owner` is the handle of the window it belongs to (an HWND).
class SystemFontDialog final : public FontDialog {
public:
    void setOwner(void* owner) { owner_ = owner; }
    FontDialogResult ShowFont(const DialogFont& preset, std::uint32_t flags) override;

private:
    void* owner_ = nullptr;
};

}  // namespace torvale
