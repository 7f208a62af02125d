#pragma once

#include <windows.h>

#include "core/twips_rect.h"
#include "platform/win32_handles.h"
#include "win32/twips.h"

namespace torvale {

// A modal dialog built in memory and laid out in twips: the template holds only the frame, and OnInit adds the
// controls at their places. A derived dialog answers its controls' notifications; no exception leaves it.
class ModalDialog {
public:
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

protected:
    ModalDialog();
    virtual ~ModalDialog();

    // Shows the dialog over `owner` and returns once it has closed.
    void Run(HWND owner, HINSTANCE instance, DWORD style, DWORD extendedStyle);

    // The controls are created here; return true to let the dialog give the focus to the first tab stop.
    virtual bool OnInit() = 0;
    virtual void OnCommand(int id, int code, HWND control) = 0;
    // Any other message; set `handled` to make the result the dialog procedure's answer (a brush for
    // WM_CTLCOLOR*, TRUE for WM_DRAWITEM).
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    // Makes the client area this size and centres the dialog over its owner, inside the owner's screen.
    void PlaceCentred(int clientWidth, int clientHeight);
    // A child control at `place` (twips, client coordinates) in the dialog's font.
    HWND AddControl(const char* windowClass,
                    const char* text,
                    DWORD style,
                    DWORD extendedStyle,
                    int id,
                    const TwipsRect& place,
                    HFONT font = nullptr);
    void End();

    HWND handle() const { return dialog_; }
    HINSTANCE instance() const { return instance_; }
    const Twips& twips() const { return twips_; }
    // "MS Sans Serif" 8.25 points, the controls' font.
    HFONT dialogFont() const { return font_.get(); }

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND dialog_ = nullptr;
    HWND owner_ = nullptr;
    HINSTANCE instance_ = nullptr;
    Twips twips_;
    UniqueFont font_;
};

}  // namespace torvale
