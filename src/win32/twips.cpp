#include "win32/twips.h"

#include <cmath>

namespace torvale {

Twips Twips::OfScreen() {
    HDC screen = GetDC(nullptr);
    int dpiX = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    int dpiY = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    if (dpiX <= 0)
        dpiX = 96;
    if (dpiY <= 0)
        dpiY = 96;
    return Twips(dpiX, dpiY);
}

Twips Twips::OfWindow(HWND window) {
    // Looked up at run time: the 32-bit program still starts on Windows 7, whose user32 lacks it.
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = [] {
        const HMODULE user32 = GetModuleHandleW(L"user32.dll");
        const FARPROC found = user32 ? GetProcAddress(user32, "GetDpiForWindow") : nullptr;
        return reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(found));
    }();
    const UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
    return dpi > 0 ? OfDpi(static_cast<int>(dpi)) : OfScreen();
}

Twips Twips::OfDpi(int dpi) {
    return dpi > 0 ? Twips(dpi, dpi) : OfScreen();
}

int Twips::fontHeight(double points) const {
    return -static_cast<int>(std::lround(points * dpiY_ / 72.0));
}

}  // namespace torvale
