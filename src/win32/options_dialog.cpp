#include "win32/options_dialog.h"

#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

#include "app/pofgen_switches.h"
#include "platform/file_system.h"
#include "platform/utf16_win32.h"
#include "win32/fonts.h"
#include "win32/options_res.h"

namespace torvale {
namespace {

// A place inside a group, given relative to the group as the layout table has it.
constexpr TwipsRect In(const TwipsRect& group, const TwipsRect& place) {
    return {group.left + place.left, group.top + place.top, place.width, place.height};
}

// Layout in twips, each control relative to the group that holds it.
constexpr int kClientWidth = 6045;
constexpr int kClientHeight = 6375;
constexpr TwipsRect kFrame7{0, 30, 6015, 4035};
constexpr TwipsRect kFrame4 = In(kFrame7, {90, 240, 2535, 2745});
constexpr TwipsRect kFrame1 = In(kFrame4, {120, 840, 2295, 1155});
constexpr TwipsRect kFrame2 = In(kFrame4, {120, 2040, 2295, 585});
constexpr TwipsRect kFrame3 = In(kFrame7, {2670, 240, 3255, 1425});
constexpr TwipsRect kFrame5 = In(kFrame7, {2670, 1680, 3255, 1305});
constexpr TwipsRect kFrame6 = In(kFrame7, {90, 3000, 5835, 615});
constexpr TwipsRect kFrame8{0, 4110, 6015, 1785};
constexpr int kButtonsTop = 6000;

// The private message that runs a box's check once the focus has settled elsewhere in the dialog.
constexpr UINT kLeaveBoxMessage = WM_APP + 1;

// The typing limits of the boxes; the path box's is what the settings file can keep.
constexpr int kDecimalLimit = 10;
constexpr int kChunkSplitLimit = 3;
constexpr int kPathLimit = static_cast<int>(kLongestStoredText);
constexpr int kFolderLimit = 4096;  // TORVALE.cfg keeps any length; several game paths may be listed

// Where the POFGEN switches' check boxes sit, in the order of kPofgenSwitches (their tab order).
constexpr std::array<TwipsRect, kPofgenSwitches.size()> kSwitchPlaces{{
    In(kFrame3, {120, 210, 3105, 255}),
    In(kFrame3, {120, 510, 2865, 225}),
    In(kFrame3, {120, 810, 1695, 225}),
    In(kFrame3, {120, 1110, 2445, 225}),
    In(kFrame5, {120, 240, 1575, 225}),
    In(kFrame5, {120, 600, 1725, 225}),
    In(kFrame5, {120, 960, 1245, 225}),
}};

// The id under which the text boxes are subclassed.
constexpr UINT_PTR kBoxSubclass = 1;

constexpr std::array<OptionsBox, 9> kBoxes{
    OptionsBox::ScaleFactor, OptionsBox::ErrorTolerance, OptionsBox::ChunkSplitX,
    OptionsBox::ChunkSplitY, OptionsBox::ChunkSplitZ,    OptionsBox::PathPofgen,
    OptionsBox::GameFolder,  OptionsBox::RoomScale,      OptionsBox::TextureFolder};

int BoxId(OptionsBox box) {
    switch (box) {
        case OptionsBox::ScaleFactor:
            return IDC_OPT_SCALE_FACTOR;
        case OptionsBox::ErrorTolerance:
            return IDC_OPT_ERROR_TOLERANCE;
        case OptionsBox::ChunkSplitX:
            return IDC_OPT_CHUNK_SPLITS_0;
        case OptionsBox::ChunkSplitY:
            return IDC_OPT_CHUNK_SPLITS_0 + 1;
        case OptionsBox::ChunkSplitZ:
            return IDC_OPT_CHUNK_SPLITS_0 + 2;
        case OptionsBox::PathPofgen:
            break;
        case OptionsBox::GameFolder:
            return IDC_OPT_GAME_FOLDER;
        case OptionsBox::RoomScale:
            return IDC_OPT_ROOM_SCALE;
        case OptionsBox::TextureFolder:
            return IDC_OPT_TEX_FOLDER;
    }
    return IDC_OPT_PATH_POFGEN;
}

bool BoxOfId(int id, OptionsBox& box) {
    for (OptionsBox candidate : kBoxes) {
        if (BoxId(candidate) == id) {
            box = candidate;
            return true;
        }
    }
    return false;
}

// The boxes' texts are UTF-8 in the program (the POFGEN path is a path like any other).
std::string TextOf(HWND control) {
    const int length = GetWindowTextLengthW(control);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(control, buffer.data(), length + 1);
    return WideToUtf8(buffer.data());
}

}  // namespace

OptionsDialog::OptionsDialog(ProgramState& program)
    : presenter_(program, *this, dialogs_, messages_, SystemFileSystem()) {}

void OptionsDialog::Show(HWND owner, HINSTANCE instance) {
    // A fixed tool window without minimise and maximise buttons, not in the taskbar.
    Run(owner, instance, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_TOOLWINDOW);
}

bool OptionsDialog::OnInit() {
    SetWindowTextW(handle(), Utf8ToWide(TORVALE_OPTIONS_CAPTION).c_str());
    PlaceCentred(kClientWidth, kClientHeight);
    boldFont_ = MakeDialogFont(twips(), true);
    AddControls();
    SendMessageW(handle(), DM_SETDEFID, IDOK, 0);
    dialogs_.setOwner(handle());
    messages_.setOwner(handle());
    presenter_.Activate();
    return true;  // the focus goes to the first tab stop, the scale factor box
}

// The groups and labels come first; then the controls that take the focus, in their tab order, each starting
// a new group unless it is an option that follows another of its set, so that the options of one set exclude
// each other and the arrow keys move between them.
void OptionsDialog::AddControls() {
    const DWORD group = WS_VISIBLE | BS_GROUPBOX;
    HFONT bold = boldFont_.get();
    AddControl("BUTTON", "POFGEN Options/Command Line Switches", group, 0, IDC_OPT_FRAME7, kFrame7, bold);
    AddControl("BUTTON", "General", group, 0, IDC_OPT_FRAME4, kFrame4, bold);
    AddControl("BUTTON", "Shading Mode:", group, 0, IDC_OPT_FRAME1, kFrame1, bold);
    AddControl("BUTTON", "Chunk Splits:", group, 0, IDC_OPT_FRAME2, kFrame2, bold);
    AddControl("BUTTON", "Seperation Plane Options:", group, 0, IDC_OPT_FRAME3, kFrame3, bold);
    AddControl("BUTTON", "Miscellaneous:", group, 0, IDC_OPT_FRAME5, kFrame5, bold);
    AddControl("BUTTON", "POFGEN.EXE Path", group, 0, IDC_OPT_FRAME6, kFrame6, bold);
    AddControl("BUTTON", "OOF-ORF Conversion Settings:", group, 0, IDC_OPT_FRAME8, kFrame8, bold);
    const DWORD label = WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
    AddControl("STATIC", "Scale Factor:", label, 0, IDC_OPT_LABEL1, In(kFrame4, {360, 240, 945, 195}));
    AddControl("STATIC", "Error Tolerance:", label, 0, IDC_OPT_LABEL2, In(kFrame4, {150, 540, 1140, 195}));
    AddControl("STATIC", "X:", label, 0, IDC_OPT_LABEL3, In(kFrame2, {150, 270, 150, 195}));
    AddControl("STATIC", "Y:", label, 0, IDC_OPT_LABEL4, In(kFrame2, {780, 270, 150, 195}));
    AddControl("STATIC", "Z:", label, 0, IDC_OPT_LABEL5, In(kFrame2, {1410, 270, 150, 195}));
    AddControl("STATIC", "Descent 3 folder:", label, 0, IDC_OPT_LABEL_GAME, In(kFrame8, {150, 1170, 1335, 195}));
    AddControl("STATIC", "Scale:", label, 0, IDC_OPT_LABEL_SCALE, In(kFrame8, {3450, 870, 600, 195}));
    AddControl("STATIC", "Texture folder:", label, 0, IDC_OPT_LABEL_TEX, In(kFrame8, {150, 1470, 1335, 195}));

    const DWORD first = WS_VISIBLE | WS_TABSTOP | WS_GROUP;
    const DWORD option = WS_VISIBLE | BS_AUTORADIOBUTTON;
    const DWORD check = first | BS_AUTOCHECKBOX;
    AddBox(IDC_OPT_SCALE_FACTOR, In(kFrame4, {1350, 210, 1065, 255}), kDecimalLimit);
    AddBox(IDC_OPT_ERROR_TOLERANCE, In(kFrame4, {1350, 510, 1065, 255}), kDecimalLimit);
    AddControl("BUTTON", "Flat Shaded Polygons", first | option, 0, IDC_OPT_SHADING_0,
               In(kFrame1, {120, 270, 1845, 195}));
    AddControl("BUTTON", "Shaded by Normals", option, 0, IDC_OPT_SHADING_0 + 1, In(kFrame1, {120, 540, 1785, 195}));
    AddControl("BUTTON", "Shaded by Light Source", option, 0, IDC_OPT_SHADING_0 + 2,
               In(kFrame1, {120, 810, 2055, 225}));
    AddBox(IDC_OPT_CHUNK_SPLITS_0, In(kFrame2, {330, 240, 405, 255}), kChunkSplitLimit);
    AddBox(IDC_OPT_CHUNK_SPLITS_0 + 1, In(kFrame2, {960, 240, 405, 255}), kChunkSplitLimit);
    AddBox(IDC_OPT_CHUNK_SPLITS_0 + 2, In(kFrame2, {1590, 240, 405, 255}), kChunkSplitLimit);
    for (std::size_t i = 0; i < kPofgenSwitches.size(); ++i)
        AddControl("BUTTON", kPofgenSwitches[i].caption, check, 0, kPofgenSwitches[i].controlId, kSwitchPlaces[i]);
    AddBox(IDC_OPT_PATH_POFGEN, In(kFrame6, {120, 240, 4245, 285}), kPathLimit);
    AddControl("BUTTON", "Browse...", first | BS_PUSHBUTTON, 0, IDC_OPT_BROWSE, In(kFrame6, {4470, 240, 1215, 285}));
    AddControl("BUTTON", "Combine All Sub-Objects into one Room", first | option, 0, IDC_OPT_OOF_ORF_0,
               In(kFrame8, {150, 240, 3195, 285}));
    AddControl("BUTTON", "Each Sub-Object as a Room. Filenames start at 01, 02, 03, etc.,.", option, 0,
               IDC_OPT_OOF_ORF_0 + 1, In(kFrame8, {150, 540, 4935, 225}));
    AddControl("BUTTON", "Reverse faces (inside rooms)", check, 0, IDC_OPT_REVERSE_FACES,
               In(kFrame8, {150, 840, 3195, 225}));
    AddBox(IDC_OPT_ROOM_SCALE, In(kFrame8, {4050, 840, 1065, 255}), kDecimalLimit);
    AddBox(IDC_OPT_GAME_FOLDER, In(kFrame8, {1500, 1140, 3075, 285}), kFolderLimit);
    AddControl("BUTTON", "Browse...", first | BS_PUSHBUTTON, 0, IDC_OPT_GAME_BROWSE,
               In(kFrame8, {4680, 1140, 1215, 285}));
    AddBox(IDC_OPT_TEX_FOLDER, In(kFrame8, {1500, 1440, 3075, 285}), kFolderLimit);
    AddControl("BUTTON", "Browse...", first | BS_PUSHBUTTON, 0, IDC_OPT_TEX_BROWSE,
               In(kFrame8, {4680, 1440, 1215, 285}));
    AddControl("BUTTON", "Reset To Defaults", first | BS_PUSHBUTTON, 0, IDC_OPT_RESET, {210, kButtonsTop, 2055, 345});
    AddControl("BUTTON", "OK", first | BS_DEFPUSHBUTTON, 0, IDOK, {3510, kButtonsTop, 1245, 345});
    AddControl("BUTTON", "Cancel", first | BS_PUSHBUTTON, 0, IDC_OPT_CANCEL, {4770, kButtonsTop, 1245, 345});
    // Last in the tab order, though it sits in the top group.
    AddControl("BUTTON", "Display POFGEN Output. This is what displays in the DOS box.", check, 0,
               IDC_OPT_POFGEN_OUTPUT, In(kFrame7, {150, 3690, 4815, 255}));
}

HWND OptionsDialog::AddBox(int id, const TwipsRect& place, int limit) {
    HWND box = AddControl("EDIT", "", WS_VISIBLE | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, id, place);
    if (!box)
        return box;
    SendMessageW(box, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    // The box's leaving is seen in its own WM_KILLFOCUS, which names the window that gets the focus.
    SetWindowSubclass(box, &OptionsDialog::BoxProc, kBoxSubclass, reinterpret_cast<DWORD_PTR>(this));
    return box;
}

// A box is left when the focus moves to another control of this dialog. Its check then runs from a posted
// message: after the focus has settled, but before the mouse button that moved it comes up, so that a click
// on OK follows the check of the box it left. The focus going to another application, or to the check's own
// message box, is no leaving.
LRESULT CALLBACK
OptionsDialog::BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclass, DWORD_PTR dialog) {
    auto* self = reinterpret_cast<OptionsDialog*>(dialog);
    const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(box, &OptionsDialog::BoxProc, subclass);
    } else if (message == WM_KILLFOCUS && !self->closed_) {
        HWND next = reinterpret_cast<HWND>(wParam);
        if (next && IsChild(self->handle(), next))
            PostMessageW(self->handle(), kLeaveBoxMessage, static_cast<WPARAM>(GetDlgCtrlID(box)), 0);
    }
    return result;
}

void OptionsDialog::ReadControls() {
    OptionsFields& f = presenter_.fields();
    for (OptionsBox box : kBoxes)
        f.text(box) = TextOf(GetDlgItem(handle(), BoxId(box)));
    for (int i = 0; i < 3; ++i)
        if (IsDlgButtonChecked(handle(), IDC_OPT_SHADING_0 + i) == BST_CHECKED)
            f.shadingMode = i;
    for (const PofgenSwitch& box : kPofgenSwitches)
        f.*box.flag = IsDlgButtonChecked(handle(), box.controlId) == BST_CHECKED;
    f.combineSubObjects = IsDlgButtonChecked(handle(), IDC_OPT_OOF_ORF_0) == BST_CHECKED;
    f.showPofgenOutput = IsDlgButtonChecked(handle(), IDC_OPT_POFGEN_OUTPUT) == BST_CHECKED;
    f.reverseFaces = IsDlgButtonChecked(handle(), IDC_OPT_REVERSE_FACES) == BST_CHECKED;
}

void OptionsDialog::OnCommand(int id, int code, HWND /*control*/) {
    if (closed_)
        return;
    if (code == EN_SETFOCUS) {
        // The whole text selected, the caret at its start.
        HWND box = GetDlgItem(handle(), id);
        SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(GetWindowTextLengthW(box)), 0);
        return;
    }
    if (code == EN_MAXTEXT && id == IDC_OPT_PATH_POFGEN) {
        presenter_.PathBoxFull();
        return;
    }
    if (code != BN_CLICKED)
        return;
    switch (id) {
        case IDC_OPT_BROWSE:
            ReadControls();
            presenter_.Browse();
            break;
        case IDC_OPT_GAME_BROWSE:
            ReadControls();
            presenter_.BrowseGameFolder();
            break;
        case IDC_OPT_TEX_BROWSE:
            ReadControls();
            presenter_.BrowseTextureFolder();
            break;
        case IDC_OPT_RESET:
            ReadControls();
            presenter_.ResetToDefaults();
            break;
        case IDOK:
            ReadControls();
            presenter_.Ok();
            break;
        case IDC_OPT_CANCEL:
            presenter_.Cancel();
            break;
        default:
            break;  // IDCANCEL from Esc among them: Esc does not close this dialog
    }
}

INT_PTR OptionsDialog::OnMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/, bool& handled) {
    if (message == kLeaveBoxMessage) {
        handled = true;
        OptionsBox box{};
        if (!closed_ && BoxOfId(static_cast<int>(wParam), box)) {
            ReadControls();
            presenter_.LeaveBox(box);
        }
        return TRUE;
    }
    if (message == WM_CLOSE) {
        handled = true;
        presenter_.Cancel();
        return TRUE;
    }
    return 0;
}

void OptionsDialog::ShowFields(const OptionsFields& fields) {
    for (OptionsBox box : kBoxes)
        SetDlgItemTextW(handle(), BoxId(box), Utf8ToWide(fields.text(box)).c_str());
    CheckRadioButton(handle(), IDC_OPT_SHADING_0, IDC_OPT_SHADING_0 + 2, IDC_OPT_SHADING_0 + fields.shadingMode);
    for (const PofgenSwitch& box : kPofgenSwitches)
        CheckDlgButton(handle(), box.controlId, fields.*box.flag ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(handle(), IDC_OPT_OOF_ORF_0, IDC_OPT_OOF_ORF_0 + 1,
                     fields.combineSubObjects ? IDC_OPT_OOF_ORF_0 : IDC_OPT_OOF_ORF_0 + 1);
    CheckDlgButton(handle(), IDC_OPT_POFGEN_OUTPUT, fields.showPofgenOutput ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(handle(), IDC_OPT_REVERSE_FACES, fields.reverseFaces ? BST_CHECKED : BST_UNCHECKED);
}

void OptionsDialog::ShowBoxText(OptionsBox box, const std::string& text) {
    SetDlgItemTextW(handle(), BoxId(box), Utf8ToWide(text).c_str());
    UpdateWindow(GetDlgItem(handle(), BoxId(box)));  // seen now, while a message box may follow
}

void OptionsDialog::FocusBox(OptionsBox box) {
    SendMessageW(handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(handle(), BoxId(box))), TRUE);
}

void OptionsDialog::Repaint() {
    RedrawWindow(handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void OptionsDialog::Close() {
    closed_ = true;
    End();
}

}  // namespace torvale
