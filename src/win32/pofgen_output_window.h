#pragma once

#include <windows.h>

#include <string>

#include "platform/win32_handles.h"
#include "pofgen/p3d_import.h"
#include "win32/base_window.h"
#include "win32/twips.h"

namespace torvale {

// frmPOFGEN: a plain sizable window whose one text box, Text1, fills the client area and shows what POFGEN
// wrote. Modeless and independent of the main window; created on first use and again after the user closed it.
class PofgenOutputWindow final : public BaseWindow<PofgenOutputWindow>, public PofgenOutputView {
public:
    explicit PofgenOutputWindow(HINSTANCE instance);
    ~PofgenOutputWindow() override;

    void ShowOutput(const std::string& text) override;
    // Closes the window if it is open (the main window's unloading).
    void Unload();

private:
    friend class BaseWindow<PofgenOutputWindow>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool Create();

    HINSTANCE instance_;
    Twips twips_;
    HWND text_ = nullptr;
    UniqueFont font_;
};

}  // namespace torvale
