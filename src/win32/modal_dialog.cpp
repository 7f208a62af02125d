#include "win32/modal_dialog.h"

#include <algorithm>
#include <vector>

#include "platform/utf16_win32.h"
#include "win32/base_window.h"
#include "win32/fonts.h"

namespace torvale {
namespace {

// DLGTEMPLATE, then empty menu, class and caption (16-bit words each), and no items: the controls are added
// when the dialog initialises, so that their places follow the display's DPI rather than dialog units.
std::vector<DWORD> FrameTemplate(DWORD style, DWORD extendedStyle) {
    std::vector<DWORD> words((sizeof(DLGTEMPLATE) + 3 * sizeof(WORD) + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    auto* frame = reinterpret_cast<DLGTEMPLATE*>(words.data());
    frame->style = style;
    frame->dwExtendedStyle = extendedStyle;
    return words;
}

}  // namespace

ModalDialog::ModalDialog() : twips_(Twips::OfScreen()), font_(MakeDialogFont(twips_)) {}

ModalDialog::~ModalDialog() = default;

void ModalDialog::Run(HWND owner, HINSTANCE instance, DWORD style, DWORD extendedStyle) {
    owner_ = owner;
    instance_ = instance;
    const std::vector<DWORD> frame = FrameTemplate(style, extendedStyle);
    DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(frame.data()), owner,
                            &ModalDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    dialog_ = nullptr;
}

INT_PTR CALLBACK ModalDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    ModalDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<ModalDialog*>(lParam);
        self->dialog_ = dialog;
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    }
    if (!self)
        return FALSE;
    return Guarded<INT_PTR>(dialog, FALSE, [&] { return self->Handle(message, wParam, lParam); });
}

INT_PTR ModalDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInit() ? TRUE : FALSE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return TRUE;
        default:
            break;
    }
    bool handled = false;
    const INT_PTR result = OnMessage(message, wParam, lParam, handled);
    return handled ? result : FALSE;
}

INT_PTR ModalDialog::OnMessage(UINT, WPARAM, LPARAM, bool&) {
    return 0;
}

void ModalDialog::PlaceCentred(int clientWidth, int clientHeight) {
    RECT frame{0, 0, twips_.toPixelsX(clientWidth), twips_.toPixelsY(clientHeight)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;

    RECT over{};
    if (!owner_ || !GetWindowRect(owner_, &over))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
    int left = over.left + (over.right - over.left - width) / 2;
    int top = over.top + (over.bottom - over.top - height) / 2;

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&over, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        left = (std::max)(static_cast<int>(work.left), (std::min)(left, static_cast<int>(work.right) - width));
        top = (std::max)(static_cast<int>(work.top), (std::min)(top, static_cast<int>(work.bottom) - height));
    }
    SetWindowPos(dialog_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND ModalDialog::AddControl(const char* windowClass,
                             const char* text,
                             DWORD style,
                             DWORD extendedStyle,
                             int id,
                             const TwipsRect& place,
                             HFONT font) {
    HWND control = CreateWindowExW(extendedStyle, Utf8ToWide(windowClass).c_str(), Utf8ToWide(text).c_str(),
                                   WS_CHILD | style, twips_.toPixelsX(place.left), twips_.toPixelsY(place.top),
                                   twips_.toPixelsX(place.width), twips_.toPixelsY(place.height), dialog_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (control)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : font_.get()), FALSE);
    return control;
}

void ModalDialog::End() {
    EndDialog(dialog_, IDOK);
}

}  // namespace torvale
