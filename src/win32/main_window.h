#pragma once

#include <windows.h>

#include <string>

#include "app/main_window_presenter.h"
#include "app/startup.h"
#include "platform/system_ui.h"
#include "win32/output_edit.h"
#include "win32/pofgen_commands.h"
#include "win32/twips.h"

namespace torvale {

// frmMain: the program's one top-level window. It owns txtOutput, the menu bar and the common dialogs, and
// hands every decision to its presenter.
class MainWindow final : public MainWindowView {
public:
    MainWindow(ProgramState& program, HINSTANCE instance, int showCommand);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and loads it: caption, output style, shown, banner. False when it cannot be created.
    bool Create();

    // MainWindowView
    void SetCaption(const std::string& caption) override;
    void SetMenuEnabled(MenuItem item, bool enabled) override;
    void ApplyOutputStyle(const OutputStyle& style) override;
    void Show() override;
    void Repaint() override;

private:
    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnCreate();
    void OnSize(WPARAM kind, int width, int height);
    void OnCommand(int id);
    LRESULT OnCtlColor(UINT message, WPARAM wParam, LPARAM lParam);
    void Unload();
    void ShowUnexpected(const char* what);

    ProgramState& program_;
    HINSTANCE instance_;
    int showCommand_;
    HWND window_ = nullptr;
    Twips twips_;
    SystemFileDialogs dialogs_;
    SystemMessageBoxes messages_;
    MainWindowPresenter presenter_;
    PofgenCommands pofgen_;
    OutputEdit output_;
    bool unloaded_ = false;
};

}  // namespace torvale
