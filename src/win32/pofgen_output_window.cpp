#include "win32/pofgen_output_window.h"

#include <string>
#include <utility>

#include "platform/utf16_win32.h"
#include "win32/fonts.h"
#include "win32/options_res.h"
#include "win32/resource.h"

namespace torvale {
namespace {

// The design client area.
constexpr int kClientWidth = 5895;
constexpr int kClientHeight = 4500;
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;

// The text box breaks lines only at CR LF: a lone line feed (from a program that writes them bare) becomes
// CR LF, and a zero byte, which would end the text early, a blank. The captured text itself is unchanged.
std::string ForTheTextBox(const std::string& text) {
    std::string shown;
    shown.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n' && (i == 0 || text[i - 1] != '\r'))
            shown += '\r';
        shown += c == '\0' ? ' ' : c;
    }
    return shown;
}

}  // namespace

PofgenOutputWindow::PofgenOutputWindow(HINSTANCE instance) : instance_(instance), twips_(Twips::OfScreen()) {}

PofgenOutputWindow::~PofgenOutputWindow() {
    Unload();
}

bool PofgenOutputWindow::Create() {
    const std::wstring className = Utf8ToWide(TORVALE_POFGEN_CLASS);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExW(instance_, className.c_str(), &windowClass)) {
        windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &PofgenOutputWindow::WindowProc;
        windowClass.hInstance = instance_;
        windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_TORVALE));
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        windowClass.lpszClassName = className.c_str();
        if (!RegisterClassExW(&windowClass))
            return false;
    }
    if (!font_)
        font_ = MakeDialogFont(twips_);
    RECT frame{0, 0, twips_.toPixelsX(kClientWidth), twips_.toPixelsY(kClientHeight)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    // Where Windows puts new windows; an ordinary top-level window that nothing owns.
    return CreateWindowExW(0, className.c_str(), Utf8ToWide(TORVALE_POFGEN_CAPTION).c_str(), kWindowStyle,
                           CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                           nullptr, instance_, this) != nullptr;
}

void PofgenOutputWindow::ShowOutput(const std::string& text) {
    if (!handle() && !Create())
        return;
    // POFGEN writes its console output in the ANSI code page, as the game's tools always have: the system turns
    // that into the wide text box's letters.
    SetWindowTextA(text_, ForTheTextBox(text).c_str());
    ShowWindow(handle(), SW_SHOW);
    SetWindowPos(handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void PofgenOutputWindow::Unload() {
    if (handle())
        DestroyWindow(handle());
}

LRESULT PofgenOutputWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            RECT client{};
            GetClientRect(handle(), &client);
            text_ =
                CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL |
                                    ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                                0, 0, client.right, client.bottom, handle(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_POFGEN_TEXT1)), instance_, nullptr);
            if (!text_)
                return -1;
            SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
            SendMessageW(text_, EM_LIMITTEXT, 0, 0);  // no limit but memory: POFGEN's output can be long
            return 0;
        }
        case WM_SIZE:
            // Text1 keeps the top left corner and takes the whole client area.
            if (text_)
                MoveWindow(text_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_DPICHANGED: {
            // Another DPI: the font made again for it, the text box filling the place the system proposes.
            twips_ = Twips::OfDpi(HIWORD(wParam));
            UniqueFont font = MakeDialogFont(twips_);
            if (text_ && font)
                SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
            if (font)
                font_ = std::move(font);
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                         suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_SETFOCUS:
            if (text_)
                SetFocus(text_);
            return 0;
        case WM_NCDESTROY:
            text_ = nullptr;
            break;
        default:
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace torvale
