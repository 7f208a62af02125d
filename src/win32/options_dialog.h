#pragma once

#include <windows.h>

#include "app/startup.h"
#include "platform/system_ui.h"
#include "platform/win32_handles.h"
#include "pofgen/options_presenter.h"
#include "win32/modal_dialog.h"

namespace torvale {

// frmOptions: the POFGEN options, the POFGEN path and the room export mode, over the options presenter. Shown
// modally; each showing is a new dialog filled from the Settings.
class OptionsDialog final : public ModalDialog, private OptionsView {
public:
    explicit OptionsDialog(ProgramState& program);

    void Show(HWND owner, HINSTANCE instance);

private:
    bool OnInit() override;
    void OnCommand(int id, int code, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // OptionsView
    void ShowFields(const OptionsFields& fields) override;
    void ShowBoxText(OptionsBox box, const std::string& text) override;
    void FocusBox(OptionsBox box) override;
    void Repaint() override;
    void Close() override;

    void AddControls();
    HWND AddBox(int id, const TwipsRect& place, int limit);
    // The controls' state into the presenter's fields, before each operation.
    void ReadControls();
    static LRESULT CALLBACK
    BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclass, DWORD_PTR dialog);

    SystemFileDialogs dialogs_;
    SystemMessageBoxes messages_;
    OptionsPresenter presenter_;
    UniqueFont boldFont_;
    bool closed_ = false;
};

}  // namespace torvale
