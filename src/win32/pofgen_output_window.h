#pragma once

#include <windows.h>

#include <string>

#include "pofgen/p3d_import.h"
#include "win32/twips.h"

namespace torvale {

// frmPOFGEN: a plain sizable window whose one text box, Text1, fills the client area and shows what POFGEN
// wrote. Modeless and independent of the main window; created on first use and again after the user closed it.
class PofgenOutputWindow final : public PofgenOutputView {
public:
    explicit PofgenOutputWindow(HINSTANCE instance);
    ~PofgenOutputWindow() override;
    PofgenOutputWindow(const PofgenOutputWindow&) = delete;
    PofgenOutputWindow& operator=(const PofgenOutputWindow&) = delete;

    void ShowOutput(const std::string& text) override;
    // Closes the window if it is open (the main window's unloading).
    void Unload();
    HWND handle() const { return window_; }

private:
    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool Create();

    HINSTANCE instance_;
    Twips twips_;
    HWND window_ = nullptr;
    HWND text_ = nullptr;
    HFONT font_ = nullptr;
};

}  // namespace torvale
