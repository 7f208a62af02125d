#include <windows.h>

#include <array>
#include <utility>

#include "platform/win32_handles.h"
#include "win32/about_box.h"

namespace torvale {
namespace {

// The picture is drawn on a 1000 by 1000 grid stretched over the control.
class Canvas {
public:
    Canvas(HDC dc, const RECT& area) : dc_(dc), area_(area) {}
    POINT at(int x, int y) const {
        return {area_.left + MulDiv(x, area_.right - area_.left, 1000),
                area_.top + MulDiv(y, area_.bottom - area_.top, 1000)};
    }
    void line(POINT from, POINT to) const {
        MoveToEx(dc_, from.x, from.y, nullptr);
        LineTo(dc_, to.x, to.y);
    }
    void pen(COLORREF color) {
        UniquePen made(CreatePen(PS_SOLID, 1, color));
        HGDIOBJ old = SelectObject(dc_, made.get());
        if (!pen_)
            original_ = old;
        pen_ = std::move(made);  // the pen it replaces is no longer selected
    }
    ~Canvas() {
        if (pen_)
            SelectObject(dc_, original_);  // before pen_ is deleted
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

private:
    HDC dc_;
    RECT area_;
    UniquePen pen_;
    HGDIOBJ original_ = nullptr;
};

COLORREF Blend(COLORREF from, COLORREF to, int step, int steps) {
    const auto mix = [&](int a, int b) { return static_cast<BYTE>(a + (b - a) * step / steps); };
    return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
               mix(GetBValue(from), GetBValue(to)));
}

void PaintGround(HDC dc, const RECT& area) {
    constexpr int kBands = 32;
    const int height = area.bottom - area.top;
    for (int band = 0; band < kBands; ++band) {
        const RECT strip{area.left, area.top + MulDiv(band, height, kBands), area.right,
                         area.top + MulDiv(band + 1, height, kBands)};
        if (const UniqueBrush brush{CreateSolidBrush(Blend(RGB(20, 36, 104), RGB(0, 0, 16), band, kBands - 1))})
            FillRect(dc, &strip, brush.get());
    }
}

}  // namespace

void PaintAboutPicture(HDC dc, const RECT& area) {
    PaintGround(dc, area);
    Canvas canvas(dc, area);

    // The room: five frames down its length, each nearer the vanishing point and dimmer.
    constexpr int kCentreX = 500;
    constexpr int kCentreY = 470;
    constexpr int kFrames = 5;
    std::array<std::array<POINT, 4>, kFrames> frames{};
    for (int depth = 0; depth < kFrames; ++depth) {
        const int halfWidth = 460 * 10 / (10 + 6 * depth);
        const int halfHeight = 420 * 10 / (10 + 6 * depth);
        auto& corners = frames[static_cast<std::size_t>(depth)];
        corners = {canvas.at(kCentreX - halfWidth, kCentreY - halfHeight),
                   canvas.at(kCentreX + halfWidth, kCentreY - halfHeight),
                   canvas.at(kCentreX + halfWidth, kCentreY + halfHeight),
                   canvas.at(kCentreX - halfWidth, kCentreY + halfHeight)};
        canvas.pen(Blend(RGB(0, 190, 210), RGB(0, 60, 90), depth, kFrames - 1));
        for (std::size_t side = 0; side < 4; ++side)
            canvas.line(corners[side], corners[(side + 1) % 4]);
    }
    canvas.pen(RGB(0, 150, 170));
    for (std::size_t corner = 0; corner < 4; ++corner)
        canvas.line(frames.front()[corner], frames.back()[corner]);
    // Floor tiles running away from the viewer.
    for (int tile = 1; tile < 4; ++tile) {
        const auto& front = frames.front();
        const auto& back = frames.back();
        const POINT from{front[3].x + (front[2].x - front[3].x) * tile / 4, front[3].y};
        const POINT to{back[3].x + (back[2].x - back[3].x) * tile / 4, back[3].y};
        canvas.line(from, to);
    }

    // The model: a gold eight-sided gem floating in the room.
    const POINT top = canvas.at(500, 300);
    const POINT bottom = canvas.at(500, 640);
    const std::array<POINT, 4> girdle{canvas.at(370, 470), canvas.at(470, 510), canvas.at(630, 465),
                                      canvas.at(530, 430)};
    const std::array<POINT, 4> outline{top, girdle[2], bottom, girdle[0]};
    if (const UniqueBrush fill{CreateSolidBrush(RGB(110, 80, 16))}) {
        HGDIOBJ oldBrush = SelectObject(dc, fill.get());
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        Polygon(dc, outline.data(), static_cast<int>(outline.size()));
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
    }
    canvas.pen(RGB(255, 204, 64));
    for (std::size_t i = 0; i < girdle.size(); ++i) {
        canvas.line(girdle[i], girdle[(i + 1) % girdle.size()]);
        canvas.line(top, girdle[i]);
        canvas.line(bottom, girdle[i]);
    }
}

}  // namespace torvale
