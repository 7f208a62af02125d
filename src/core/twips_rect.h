#pragma once

namespace torvale {

// A rectangle in twips, relative to the client area of its window. Layout stays in twips in the portable
// code; the Windows program converts to pixels with the real DPI.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

}  // namespace torvale
