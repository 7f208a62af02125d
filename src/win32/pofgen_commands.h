#pragma once

#include <windows.h>

#include "app/main_window_presenter.h"
#include "app/startup.h"
#include "pofgen/p3d_import.h"
#include "win32/pofgen_output_window.h"

namespace torvale {

// The main window's POFGEN commands: Edit, Options...; File, Import P3D...; Reload P3D; with the POFGEN Output
// window they fill. The main window keeps the file names, the log and the menu; this class reaches them through
// the main window's presenter.
class PofgenCommands final : private P3dImportHost {
public:
    PofgenCommands(ProgramState& program,
                   MainWindowPresenter& window,
                   MainWindowView& view,
                   FileDialogs& dialogs,
                   MessageBoxes& messages,
                   HINSTANCE instance);

    // The main window, which owns the options dialog.
    void setOwner(HWND owner) { owner_ = owner; }

    void ShowOptions();
    void ImportP3d() { import_.ImportP3dCommand(); }
    void ReloadP3d() { import_.ReloadP3d(); }
    // A P3D file from outside (the command line, Explorer, File, Recent), compiled without the open dialog.
    void ImportP3dFile(const std::string& path, const std::string& title) { import_.ImportP3dFile(path, title); }
    // The main window's unloading: the POFGEN Output window goes with it.
    void Unload() { output_.Unload(); }

private:
    // P3dImportHost
    void PrintOutput(std::string_view message) override { window_.log().PrintOutput(message); }
    void Repaint() override { view_.Repaint(); }
    void SetReloadEnabled(bool enabled) override { window_.setReloadEnabled(enabled); }
    void ShowOptionsDialog() override { ShowOptions(); }
    void ImportOof(OofSource source) override { window_.ImportOof(source); }
    std::string& oofPath() override { return window_.modelPath; }
    std::string& oofTitle() override { return window_.modelTitle; }
    std::string& lastP3dPath() override { return window_.lastP3dPath; }
    std::string& lastP3dTitle() override { return window_.lastP3dTitle; }
    // A compile whose model loaded is remembered by its source.
    void P3dLoaded(const std::string& p3dPath) override {
        if (window_.exportEnabled())
            window_.RememberRecent(p3dPath);
    }

    ProgramState& program_;
    MainWindowPresenter& window_;
    MainWindowView& view_;
    HINSTANCE instance_;
    HWND owner_ = nullptr;
    PofgenOutputWindow output_;
    P3dImport import_;
};

}  // namespace torvale
