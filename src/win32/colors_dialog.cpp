#include "win32/colors_dialog.h"

#include <utility>

#include "platform/utf16_win32.h"
#include "win32/colors_dialog_res.h"
#include "win32/fonts.h"

namespace torvale {
namespace {

// Layout in twips: the client area, then each control (frame-relative places already added to their frame's).
constexpr int kClientWidth = 4905;
constexpr int kClientHeight = 3825;
constexpr TwipsRect kExample{30, 60, 1995, 3315};
constexpr TwipsRect kBackFrame{2070, 0, 2805, 1305};
constexpr TwipsRect kTextFrame{2070, 1320, 2805, 1305};
constexpr TwipsRect kFontFrame{2070, 2670, 2805, 705};
constexpr TwipsRect kFontText{2070 + 90, 2670 + 270, 1755, 315};
constexpr TwipsRect kChoose{2070 + 1920, 2670 + 270, 795, 315};
constexpr TwipsRect kReset{30, 3420, 2685, 375};
constexpr TwipsRect kOk{2940, 3420, 945, 375};
constexpr TwipsRect kCancel{3930, 3420, 945, 375};
constexpr TwipsRect kSystem{750, 4020, 555, 465};  // below the client area, and never shown
// Swatch i: column i / 3, row i % 3, each 300 twips square on a 330-twip grid.
constexpr int kSwatchLeft = 90;
constexpr int kSwatchTop = 240;
constexpr int kSwatchPitch = 330;
constexpr int kSwatchSize = 300;

constexpr char kExampleText[] =
    "Select a Background, Text \r\ncolor, and Font.\r\nThis is an Example of how the Window will look.\r\n";

// 0x80000000 plus an index refers to a system colour; anything else is 0x00BBGGRR already.
COLORREF Resolve(std::uint32_t color) {
    if (color & 0x80000000u)
        return GetSysColor(static_cast<int>(color & 0xFFu));
    return static_cast<COLORREF>(color);
}

bool InRange(int id, int first) {
    return id >= first && id < first + static_cast<int>(kSwatchCount);
}

}  // namespace

ColorsDialog::ColorsDialog(Settings& settings, char decimalSeparator)
    : presenter_(settings, *this, fontDialog_, decimalSeparator) {}

void ColorsDialog::Show(HWND owner, HINSTANCE instance) {
    // A fixed tool window without minimise and maximise buttons, not in the taskbar.
    Run(owner, instance, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_TOOLWINDOW);
}

bool ColorsDialog::OnInit() {
    SetWindowTextW(handle(), Utf8ToWide(TORVALE_COLORS_CAPTION).c_str());
    PlaceCentred(kClientWidth, kClientHeight);

    example_ = AddControl("EDIT", kExampleText, WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY, WS_EX_CLIENTEDGE,
                          IDC_COLORS_EXAMPLE, kExample);
    AddSwatches(IDC_COLORS_FRAME_BACK, IDC_COLORS_BACK_FIRST, kBackFrame.top, "Background Color");
    AddSwatches(IDC_COLORS_FRAME_TEXT, IDC_COLORS_TEXT_FIRST, kTextFrame.top, "Text Color");
    AddControl("BUTTON", "Font Style/Size", WS_VISIBLE | BS_GROUPBOX, 0, IDC_COLORS_FRAME_FONT, kFontFrame);
    description_ = AddControl("EDIT", "", WS_VISIBLE | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                              IDC_COLORS_FONT, kFontText);
    AddControl("BUTTON", "Choose", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, IDC_COLORS_CHOOSE, kChoose);
    AddControl("BUTTON", "Reset to Windows System Colors", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, IDC_COLORS_RESET,
               kReset);
    HWND ok = AddControl("BUTTON", "Ok", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK, kOk);
    AddControl("BUTTON", "Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, IDCANCEL, kCancel);
    // txtSystem keeps the text-area defaults that Reset and the fallback use; nobody ever sees it.
    AddControl("EDIT", "", ES_MULTILINE, WS_EX_CLIENTEDGE, IDC_COLORS_SYSTEM, kSystem);
    SendMessageW(handle(), DM_SETDEFID, IDOK, 0);

    fontDialog_.setOwner(handle());
    presenter_.Load();
    SetFocus(ok);
    return false;
}

void ColorsDialog::AddSwatches(int frameId, int firstId, int frameTop, const char* caption) {
    AddControl("BUTTON", caption, WS_VISIBLE | BS_GROUPBOX, 0, frameId,
               {kBackFrame.left, frameTop, kBackFrame.width, kBackFrame.height});
    for (int i = 0; i < static_cast<int>(kSwatchCount); ++i) {
        const TwipsRect place{kBackFrame.left + kSwatchLeft + kSwatchPitch * (i / 3),
                              frameTop + kSwatchTop + kSwatchPitch * (i % 3), kSwatchSize, kSwatchSize};
        AddControl("BUTTON", "", WS_VISIBLE | BS_OWNERDRAW, 0, firstId + i, place);
    }
}

void ColorsDialog::OnCommand(int id, int code, HWND /*control*/) {
    if (code != BN_CLICKED)
        return;
    if (id == IDOK)
        presenter_.Ok();
    else if (id == IDCANCEL)
        presenter_.Cancel();
    else if (id == IDC_COLORS_CHOOSE)
        presenter_.Choose();
    else if (id == IDC_COLORS_RESET)
        presenter_.Reset();
    else if (InRange(id, IDC_COLORS_BACK_FIRST))
        presenter_.ClickBackColor(static_cast<std::size_t>(id - IDC_COLORS_BACK_FIRST));
    else if (InRange(id, IDC_COLORS_TEXT_FIRST))
        presenter_.ClickTextColor(static_cast<std::size_t>(id - IDC_COLORS_TEXT_FIRST));
}

INT_PTR ColorsDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (message) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
            if (reinterpret_cast<HWND>(lParam) == example_ && previewBrush_) {
                handled = true;
                return reinterpret_cast<INT_PTR>(ColorizePreview(reinterpret_cast<HDC>(wParam)));
            }
            break;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const int id = static_cast<int>(item.CtlID);
            if (InRange(id, IDC_COLORS_BACK_FIRST) || InRange(id, IDC_COLORS_TEXT_FIRST)) {
                DrawSwatch(item);
                handled = true;
                return TRUE;
            }
            break;
        }
        case WM_SYSCOLORCHANGE:
            ShowPreview(presenter_.preview());
            break;
        default:
            break;
    }
    return 0;
}

void ColorsDialog::DrawSwatch(const DRAWITEMSTRUCT& item) const {
    const int id = static_cast<int>(item.CtlID);
    const std::uint32_t color = InRange(id, IDC_COLORS_BACK_FIRST)
                                    ? kBackSwatchColors[static_cast<std::size_t>(id - IDC_COLORS_BACK_FIRST)]
                                    : kTextSwatchColors[static_cast<std::size_t>(id - IDC_COLORS_TEXT_FIRST)];
    RECT area = item.rcItem;
    DrawEdge(item.hDC, &area, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (const UniqueBrush brush{CreateSolidBrush(static_cast<COLORREF>(color))})
        FillRect(item.hDC, &area, brush.get());
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&area, -1, -1);
        DrawFocusRect(item.hDC, &area);
    }
}

HBRUSH ColorsDialog::ColorizePreview(HDC dc) {
    SetTextColor(dc, previewText_);
    SetBkColor(dc, previewBack_);
    return previewBrush_.get();
}

void ColorsDialog::ShowPreview(const OutputStyle& style) {
    if (UniqueFont font = MakeStyleFont(twips(), style)) {
        // The control lets go of the old font before it is deleted.
        SendMessageW(example_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
        previewFont_ = std::move(font);
    }
    previewText_ = Resolve(style.textColor);
    previewBack_ = Resolve(style.backColor);
    if (UniqueBrush brush{CreateSolidBrush(previewBack_)})
        previewBrush_ = std::move(brush);
    InvalidateRect(example_, nullptr, TRUE);
}

void ColorsDialog::ShowFontDescription(const std::string& text) {
    SetWindowTextW(description_, Utf8ToWide(text).c_str());
}

void ColorsDialog::Close() {
    End();
}

}  // namespace torvale
