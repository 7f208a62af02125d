#pragma once

#include <windows.h>

#include "app/colors_presenter.h"
#include "platform/font_dialog.h"
#include "win32/modal_dialog.h"

namespace torvale {

// frmColors: the preview, the two frames of swatches, the font frame and the buttons over the colours
// presenter. Shown modally; only Ok changes the Settings (and the fallback when they cannot be shown).
class ColorsDialog final : public ModalDialog, private ColorsView {
public:
    ColorsDialog(Settings& settings, char decimalSeparator);

    void Show(HWND owner, HINSTANCE instance);

private:
    bool OnInit() override;
    void OnCommand(int id, int code, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // ColorsView
    void ShowPreview(const OutputStyle& style) override;
    void ShowFontDescription(const std::string& text) override;
    void Close() override;

    void AddSwatches(int frameId, int firstId, int frameTop, const char* caption);
    void DrawSwatch(const DRAWITEMSTRUCT& item) const;
    HBRUSH ColorizePreview(HDC dc);

    SystemFontDialog fontDialog_;
    ColorsPresenter presenter_;
    HWND example_ = nullptr;
    HWND description_ = nullptr;
    UniqueFont previewFont_;
    UniqueBrush previewBrush_;
    COLORREF previewText_ = 0;
    COLORREF previewBack_ = 0;
};

}  // namespace torvale
