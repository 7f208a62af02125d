#include "win32/about_box.h"

#include "platform/utf16_win32.h"
#include "win32/about_box_res.h"
#include "win32/fonts.h"
#include "win32/resource.h"

namespace torvale {
namespace {

// Layout in twips.
constexpr int kClientWidth = 4950;
constexpr int kClientHeight = 2790;
constexpr TwipsRect kImage{60, 90, 2235, 2055};
constexpr TwipsRect kTitle{2370, 90, 2505, 240};
constexpr TwipsRect kVersion{2370, 390, 2505, 225};
constexpr TwipsRect kNotice{2370, 750, 2505, 1365};
constexpr TwipsRect kOk{2310, 2370, 1260, 345};
constexpr TwipsRect kSysInfo{3630, 2370, 1245, 345};

constexpr char kNoticeText[] =
    "Made by the TORVALE developers.\r\n\r\n"
    "Home page, new versions, questions and bug reports:\r\nhttps://torvale.example.org";

}  // namespace

AboutBox::AboutBox(Registry& registry, ProgramStarter& starter, FileSystem& fileSystem)
    : presenter_(*this, {registry, starter, fileSystem, messages_}) {}

void AboutBox::Show(HWND owner, HINSTANCE instance) {
    // A fixed dialog frame without minimise and maximise buttons, not in the taskbar.
    Run(owner, instance, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME);
}

bool AboutBox::OnInit() {
    SetWindowTextW(handle(), Utf8ToWide(TORVALE_ABOUT_DESIGN_CAPTION).c_str());
    if (HICON icon = LoadIconW(instance(), MAKEINTRESOURCEW(IDI_TORVALE)))
        SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    PlaceCentred(kClientWidth, kClientHeight);
    messages_.setOwner(handle());

    boldFont_ = MakeDialogFont(twips(), true);
    AddControl("STATIC", "", WS_VISIBLE | SS_OWNERDRAW, 0, IDC_ABOUT_IMAGE, kImage);
    AddControl("STATIC", "TORVALE Conversion Utility", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, IDC_ABOUT_TITLE, kTitle,
               boldFont_.get());
    version_ = AddControl("STATIC", "", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, IDC_ABOUT_VERSION, kVersion);
    AddControl("EDIT", kNoticeText, WS_VISIBLE | ES_MULTILINE | ES_READONLY, 0, IDC_ABOUT_TEXT, kNotice);
    HWND ok = AddControl("BUTTON", "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK, kOk);
    AddControl("BUTTON", "&System Info...", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, IDC_ABOUT_SYSINFO, kSysInfo);
    SendMessageW(handle(), DM_SETDEFID, IDOK, 0);

    presenter_.Load();
    SetFocus(ok);
    return false;
}

void AboutBox::OnCommand(int id, int code, HWND /*control*/) {
    if (code != BN_CLICKED)
        return;
    // OK is both the default and the cancel button: Enter, Esc and the close box all close the box.
    if (id == IDOK || id == IDCANCEL)
        presenter_.Ok();
    else if (id == IDC_ABOUT_SYSINFO)
        presenter_.StartSysInfo();
}

INT_PTR AboutBox::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam, bool& handled) {
    if (message == WM_DRAWITEM) {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID == IDC_ABOUT_IMAGE) {
            PaintAboutPicture(item.hDC, item.rcItem);
            handled = true;
            return TRUE;
        }
    }
    return 0;
}

void AboutBox::SetCaption(const std::string& caption) {
    SetWindowTextW(handle(), Utf8ToWide(caption).c_str());
}

void AboutBox::SetVersionLine(const std::string& line) {
    SetWindowTextW(version_, Utf8ToWide(line).c_str());
}

void AboutBox::Close() {
    End();
}

}  // namespace torvale
