#pragma once

#include <windows.h>

namespace torvale {

// Layout numbers are twips (1/1440 inch); this is the one place that turns them into pixels, with the
// display's real DPI.
class Twips {
public:
    // The DPI of the screen the program runs on (the system's DPI under per-monitor awareness).
    static Twips OfScreen();
    // The DPI of the monitor the window is on, where the system tells it (Windows 10 1607 and later); the
    // screen's elsewhere.
    static Twips OfWindow(HWND window);
    // A DPI the system announced, as WM_DPICHANGED does.
    static Twips OfDpi(int dpi);
    int dpi() const { return dpiY_; }

    int toPixelsX(int twips) const { return MulDiv(twips, dpiX_, kTwipsPerInch); }
    int toPixelsY(int twips) const { return MulDiv(twips, dpiY_, kTwipsPerInch); }
    int fromPixelsX(int pixels) const { return MulDiv(pixels, kTwipsPerInch, dpiX_); }
    int fromPixelsY(int pixels) const { return MulDiv(pixels, kTwipsPerInch, dpiY_); }
    // A font's character height in pixels for a size in points (negative, as CreateFont wants it).
    int fontHeight(double points) const;

private:
    static constexpr int kTwipsPerInch = 1440;
    Twips(int dpiX, int dpiY) : dpiX_(dpiX), dpiY_(dpiY) {}
    int dpiX_;
    int dpiY_;
};

}  // namespace torvale
