#pragma once

#include <windows.h>

#include <vector>

#include "app/preview_presenter.h"
#include "win32/base_window.h"
#include "win32/twips.h"

namespace torvale {

// Model Preview: a modeless, sizable window that shows the current model through the portable renderer, drawn
// into a top-down 32-bit DIB section the size of its client area. A drag with the left button turns the model,
// the wheel zooms, Home resets the view. Created on first use and again after the user closed it; it goes when
// the main window goes.
class PreviewWindow final : public BaseWindow<PreviewWindow> {
public:
    PreviewWindow(PreviewPresenter& presenter, HINSTANCE instance);
    ~PreviewWindow();

    // View, Model Preview: creates the window if needed, shows it and brings it to the top.
    void Open();
    // Closes the window if it is open (the main window's unloading).
    void Unload();

private:
    friend class BaseWindow<PreviewWindow>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool Create();
    // The presenter's change: a new caption, and the picture drawn again.
    void Changed();
    void OnPaint();
    // A DIB section of the client area's size; false when there is no room for one.
    bool EnsureBitmap(int width, int height);
    void FreeBitmap();

    PreviewPresenter& presenter_;
    HINSTANCE instance_;
    Twips twips_;
    HBITMAP bitmap_ = nullptr;
    void* bits_ = nullptr;
    int bitmapWidth_ = 0;
    int bitmapHeight_ = 0;
    std::vector<float> depth_;
};

}  // namespace torvale
