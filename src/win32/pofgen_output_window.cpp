#include "win32/pofgen_output_window.h"

#include <exception>
#include <string>

#include "platform/message_boxes.h"
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
    if (font_)
        DeleteObject(font_);
}

bool PofgenOutputWindow::Create() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExA(instance_, TORVALE_POFGEN_CLASS, &windowClass)) {
        windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &PofgenOutputWindow::WndProc;
        windowClass.hInstance = instance_;
        windowClass.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_TORVALE));
        windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        windowClass.lpszClassName = TORVALE_POFGEN_CLASS;
        if (!RegisterClassExA(&windowClass))
            return false;
    }
    if (!font_)
        font_ = CreateFontA(twips_.fontHeight(8.25), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            "MS Sans Serif");
    RECT frame{0, 0, twips_.toPixelsX(kClientWidth), twips_.toPixelsY(kClientHeight)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    // Where Windows puts new windows; an ordinary top-level window that nothing owns.
    return CreateWindowExA(0, TORVALE_POFGEN_CLASS, TORVALE_POFGEN_CAPTION, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                           frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance_,
                           this) != nullptr;
}

void PofgenOutputWindow::ShowOutput(const std::string& text) {
    if (!window_ && !Create())
        return;
    SetWindowTextA(text_, ForTheTextBox(text).c_str());
    ShowWindow(window_, SW_SHOW);
    SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void PofgenOutputWindow::Unload() {
    if (window_)
        DestroyWindow(window_);
}

LRESULT CALLBACK PofgenOutputWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PofgenOutputWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<PofgenOutputWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<PofgenOutputWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    // No exception ever crosses into the system: it becomes a message box, and the program goes on.
    const std::string title(kApplicationTitle);
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        MessageBoxA(window, (std::string("Unexpected error: ") + error.what()).c_str(), title.c_str(), MB_OK);
    } catch (...) {
        MessageBoxA(window, "Unexpected error: unknown error", title.c_str(), MB_OK);
    }
    return 0;
}

LRESULT PofgenOutputWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (message) {
        case WM_CREATE: {
            RECT client{};
            GetClientRect(window_, &client);
            text_ =
                CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL |
                                    ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                                0, 0, client.right, client.bottom, window_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_POFGEN_TEXT1)), instance_, nullptr);
            if (!text_)
                return -1;
            SendMessageA(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
            SendMessageA(text_, EM_LIMITTEXT, 0, 0);  // no limit but memory: POFGEN's output can be long
            return 0;
        }
        case WM_SIZE:
            // Text1 keeps the top left corner and takes the whole client area.
            if (text_)
                MoveWindow(text_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_SETFOCUS:
            if (text_)
                SetFocus(text_);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
            window_ = nullptr;
            text_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace torvale
