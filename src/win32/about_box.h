#pragma once

#include <windows.h>

#include "app/about_presenter.h"
#include "platform/system_ui.h"
#include "win32/modal_dialog.h"

namespace torvale {

// frmAbout: the picture, the title, the version line, the notice, OK and "System Info..." over the about
// presenter. Shown modally; it holds no state of its own.
class AboutBox final : public ModalDialog, private AboutView {
public:
    AboutBox(Registry& registry, ProgramStarter& starter, FileSystem& fileSystem);

    void Show(HWND owner, HINSTANCE instance);

private:
    bool OnInit() override;
    void OnCommand(int id, int code, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // AboutView
    void SetCaption(const std::string& caption) override;
    void SetVersionLine(const std::string& line) override;
    void Close() override;

    SystemMessageBoxes messages_;
    AboutPresenter presenter_;
    HWND version_ = nullptr;
    UniqueFont boldFont_;
};

// Paints Image1's picture into `area`, scaled to it: a wireframe room seen down its length, with a model
// floating in it, on a night-blue ground.
void PaintAboutPicture(HDC dc, const RECT& area);

}  // namespace torvale
