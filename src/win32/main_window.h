#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/main_window_presenter.h"
#include "app/preview_presenter.h"
#include "app/startup.h"
#include "platform/system_ui.h"
#include "win32/base_window.h"
#include "win32/output_edit.h"
#include "win32/pofgen_commands.h"
#include "win32/preview_window.h"
#include "win32/twips.h"

namespace torvale {

// frmMain: the program's one top-level window. It owns txtOutput, the menu bar and the common dialogs, and
// hands every decision to its presenter.
class MainWindow final : public BaseWindow<MainWindow>, public MainWindowView {
public:
    MainWindow(ProgramState& program, HINSTANCE instance, int showCommand);

    // Creates the window and loads it: caption, output style, shown, banner. False when it cannot be created.
    bool Create();
    // Files from the command line: opened one after another, as files dropped on the window are.
    void OpenFiles(const std::vector<std::string>& paths) { presenter_.OpenFiles(paths); }

    // MainWindowView
    void SetCaption(const std::string& caption) override;
    void SetMenuEnabled(MenuItem item, bool enabled) override;
    void ApplyOutputStyle(const OutputStyle& style) override;
    void Show() override;
    void Repaint() override;
    void RecentFilesChanged(const std::vector<std::string>& paths) override;

private:
    friend class BaseWindow<MainWindow>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnCreate();
    void OnSize(WPARAM kind, int width, int height);
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnCommand(int id);
    LRESULT OnCtlColor(UINT message, WPARAM wParam, LPARAM lParam);
    void OnDropFiles(HDROP drop);
    // The check marks of View, Wireframe, Show Findings and Textures, from the preview's presenter.
    void ShowViewChecks();
    void Unload();

    ProgramState& program_;
    HINSTANCE instance_;
    int showCommand_;
    Twips twips_;
    SystemFileDialogs dialogs_;
    SystemMessageBoxes messages_;
    MainWindowPresenter presenter_;
    PofgenCommands pofgen_;
    PreviewPresenter preview_;
    PreviewWindow previewWindow_;
    OutputEdit output_;
    bool unloaded_ = false;
};

}  // namespace torvale
