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

int Twips::fontHeight(double points) const {
    return -static_cast<int>(std::lround(points * dpiY_ / 72.0));
}

}  // namespace torvale
