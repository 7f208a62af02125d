#pragma once

#include <windows.h>

namespace torvale {

// Layout numbers are twips (1/1440 inch); this is the one place that turns them into pixels, with the
// display's real DPI.
class Twips {
public:
    // The DPI of the screen the program runs on.
    static Twips OfScreen();

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
