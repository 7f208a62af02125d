#include "win32/preview_window.h"

#include "platform/utf16_win32.h"
#include "win32/resource.h"

namespace torvale {
namespace {

// The design client area.
constexpr int kClientWidth = 6000;
constexpr int kClientHeight = 4500;
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;

}  // namespace

PreviewWindow::PreviewWindow(PreviewPresenter& presenter, HINSTANCE instance)
    : presenter_(presenter), instance_(instance), twips_(Twips::OfScreen()) {
    presenter_.setChanged([this] { Changed(); });
}

PreviewWindow::~PreviewWindow() {
    presenter_.setChanged(nullptr);
    Unload();
    FreeBitmap();
}

bool PreviewWindow::Create() {
    // A wide class, so that the caption keeps every letter of a model's name.
    const std::wstring className = Utf8ToWide(TORVALE_PREVIEW_CLASS);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExW(instance_, className.c_str(), &windowClass)) {
        windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = &PreviewWindow::WindowProc;
        windowClass.hInstance = instance_;
        windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_TORVALE));
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        windowClass.hbrBackground = nullptr;  // the picture covers the whole client area
        windowClass.lpszClassName = className.c_str();
        if (!RegisterClassExW(&windowClass))
            return false;
    }
    RECT frame{0, 0, twips_.toPixelsX(kClientWidth), twips_.toPixelsY(kClientHeight)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    return CreateWindowExW(0, className.c_str(), Utf8ToWide(presenter_.Caption()).c_str(), kWindowStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                           instance_, this) != nullptr;
}

void PreviewWindow::Open() {
    if (!handle() && !Create())
        return;
    ShowWindow(handle(), SW_SHOW);
    SetWindowPos(handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(handle());
}

void PreviewWindow::Unload() {
    if (handle())
        DestroyWindow(handle());
}

void PreviewWindow::Changed() {
    if (!handle())
        return;  // nothing to show: the scene is built when the window next draws
    SetWindowTextW(handle(), Utf8ToWide(presenter_.Caption()).c_str());
    InvalidateRect(handle(), nullptr, FALSE);
}

bool PreviewWindow::EnsureBitmap(int width, int height) {
    if (bitmap_ && width == bitmapWidth_ && height == bitmapHeight_)
        return true;
    FreeBitmap();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: rows from the top, as the renderer writes them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (!bitmap_ || !bits_) {
        FreeBitmap();
        return false;
    }
    bitmapWidth_ = width;
    bitmapHeight_ = height;
    depth_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0.0f);
    return true;
}

void PreviewWindow::FreeBitmap() {
    if (bitmap_)
        DeleteObject(bitmap_);
    bitmap_ = nullptr;
    bits_ = nullptr;
    bitmapWidth_ = 0;
    bitmapHeight_ = 0;
    depth_.clear();
}

void PreviewWindow::OnPaint() {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(handle(), &paint);
    RECT client{};
    GetClientRect(handle(), &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width > 0 && height > 0 && EnsureBitmap(width, height)) {
        const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        const Frame frame{width, height, {static_cast<std::uint32_t*>(bits_), count}, depth_};
        presenter_.Draw(frame);
        GdiFlush();  // the renderer wrote the bits behind GDI's back
        const HDC memory = CreateCompatibleDC(dc);
        const HGDIOBJ old = SelectObject(memory, bitmap_);
        BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    EndPaint(handle(), &paint);
}

LRESULT PreviewWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the picture covers everything: no flicker of the background first
        case WM_LBUTTONDOWN:
            SetCapture(handle());
            SetFocus(handle());
            presenter_.BeginDrag(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            return 0;
        case WM_MOUSEMOVE:
            if (presenter_.dragging())
                presenter_.DragTo(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            return 0;
        case WM_LBUTTONUP:
            presenter_.EndDrag();
            ReleaseCapture();
            return 0;
        case WM_CAPTURECHANGED:
            presenter_.EndDrag();
            return 0;
        case WM_MOUSEWHEEL:
            presenter_.Wheel(static_cast<short>(HIWORD(wParam)));
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_HOME) {
                presenter_.ResetView();
                return 0;
            }
            break;
        case WM_NCDESTROY:
            presenter_.EndDrag();
            FreeBitmap();
            break;
        default:
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace torvale
