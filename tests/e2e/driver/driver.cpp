// torvale_driver: drives a running torvale.exe from a second process under the same wineserver, the way a
// user would, but without pixel positions: it finds the windows, sends the program's own command ids, fills
// the common dialogs, presses their buttons and reads the log, the caption and the menu back.
//
//   torvale_driver [--timeout SECONDS] COMMAND [ARGS]... [COMMAND [ARGS]...]...
//
// Commands run in order; the first that fails ends the run with exit code 1 (2 for a usage error).
//   wait-main                 wait for the main window and for its thread to take posted messages
//   caption                   print the main window's caption (texts in and out are UTF-8 throughout)
//   window-rect               print the main window's place on the screen: WIDTHxHEIGHT+LEFT+TOP
//   dpi-change DPI            send the main window WM_DPICHANGED for DPI, suggesting its rectangle scaled from 96
//   output-layout             print the log's LEFT TOP WIDTH HEIGHT in the client area, the client's WIDTH HEIGHT
//                             and the log font's height in pixels (negative)
//   log                       write the log's text to stdout as raw bytes (CR LF kept)
//   log-background            print the colour on screen inside the log's bottom-left corner, as RRGGBB
//   wait-log-background RRGGBB  wait until that colour is RRGGBB (the log repaints in its own time)
//   menu                      print the menu bar as the program describes it (see src/win32/test_hooks.h)
//   drop PATH                 drop the file PATH on the main window as Explorer does (a wide WM_DROPFILES) and
//                             wait until the program has handled it
//   command ID                send WM_COMMAND and wait until the command has run (commands that return)
//   post-command ID           post WM_COMMAND (commands that open a modal dialog)
//   wait-dialog TITLE         wait for a dialog with this title
//   file-name TITLE           print the text of the file-name box of the open or save dialog TITLE
//   file-dialog TITLE PATH    type PATH into the file-name box of dialog TITLE, press OK, wait until it closes
//   cancel-dialog TITLE       press Cancel in dialog TITLE and wait until it closes
//   message-box TITLE         print the text of the message box TITLE, press OK, wait until it closes
//   cancel-message-box TITLE  print the text of the message box TITLE, press Cancel, wait until it closes
//   text TITLE ID             print the text of control ID of dialog TITLE
//   set-text TITLE ID TEXT    put TEXT into control ID of dialog TITLE (as if typed: no focus change)
//   wait-text TITLE ID TEXT   wait until control ID of dialog TITLE holds TEXT
//   focus TITLE ID            move the focus to control ID of dialog TITLE, as Tab or a click would
//   click TITLE ID            click button ID of dialog TITLE (a check box or option changes its state)
//   select TITLE ID TEXT      choose the first item starting with TEXT in combo box ID of dialog TITLE, as a click
//                             in its list does
//   press TITLE ID            send dialog TITLE the command of button ID, as Enter does for the default button
//   checked TITLE ID          print 1 when button ID of dialog TITLE is checked, else 0
//   wait-closed TITLE         wait until dialog TITLE has closed
//   pofgen-output             print the text of the POFGEN Output window (it must be open)
//   pofgen-output-open        print 1 when the POFGEN Output window is open and visible, else 0
//   close-pofgen-output       close the POFGEN Output window and wait until it is gone
//   preview-open              print 1 when the Model Preview window is open and visible, else 0
//   wait-preview-caption TEXT wait until the Model Preview window is open with the caption TEXT
//   wait-preview-drawn 1|0    raise the Model Preview window and wait until its picture shows something (1) or
//                             only its background (0), read from the screen
//   close                     send WM_CLOSE to the main window and wait until it is gone
//   press-and-close TITLE ID  press button ID of dialog TITLE and post WM_CLOSE to the main window right behind
//                             it, then wait until the main window is gone
//   close-box                 close the main window as its close box does (SC_CLOSE), wait until it is gone
//   wait-gone                 wait until the main window is gone
//   file-version PATH         print a program's FILEVERSION and ProductName: "1.2.3.0 TORVALE Conversion Utility"
// ID is a number or a menu item name such as mnuFileImportOOF. Nothing here waits for a time: the commands that
// click, press, move the focus or close a dialog return only when the program has handled what they caused and
// is back in a message loop; the others wait for the state they name. Every wait ends after the timeout (20 s
// by default), with a message that says what was seen instead.

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/utf16_win32.h"
#include "win32/resource.h"

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr int kFileNameBoxId = 1148;    // cmb13: the file-name box of the open and save dialogs
constexpr int kMessageTextId = 0xFFFF;  // the text of a message box
constexpr DWORD kPollMs = 50;

DWORD g_timeoutMs = 20000;

struct Failure {
    std::string what;
};

[[noreturn]] void Fail(const std::string& what) {
    throw Failure{what};
}

void WriteRaw(HANDLE handle, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written == 0)
            Fail("cannot write to standard output");
        bytes.remove_prefix(written);
    }
}

void Print(std::string_view text) {
    WriteRaw(GetStdHandle(STD_OUTPUT_HANDLE), text);
}

// Polls `found` until it returns true or the timeout runs out.
template <typename Probe>
bool WaitFor(Probe found) {
    const ULONGLONG end = GetTickCount64() + g_timeoutMs;
    for (;;) {
        if (found())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(kPollMs);
    }
}

HWND FindMain() {
    return FindWindowA(TORVALE_MAIN_CLASS, nullptr);
}

std::string AnyMessageBoxText();

HWND RequireMain() {
    const HWND main = FindMain();
    if (main == nullptr)
        Fail("the main window is not there" + AnyMessageBoxText());
    return main;
}

// Sends a message and waits for the answer; fails when the program does not answer in time.
LRESULT SendWaiting(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    // The wide form: texts cross as UTF-16 whatever either side's code page, and come back here as UTF-8.
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, g_timeoutMs, &result))
        Fail("no answer to message " + std::to_string(message) + " (error " + std::to_string(GetLastError()) + ")");
    return static_cast<LRESULT>(result);
}

std::string WindowText(HWND window) {
    const auto length = SendWaiting(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied =
        SendWaiting(window, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return torvale::WideToUtf8(text);
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The same bytes at one address in this process and in the program's, so that the program reads them whether
// or not a message's pointer or handle is carried across. Freed in both when it goes.
class BlockInBoth {
public:
    BlockInBoth(HWND main, const void* bytes, std::size_t size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(main, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
        if (process_ == nullptr)
            Fail("cannot open the program's process");
        // An address free in both: a few far apart in the address space are tried.
        const std::uint64_t step = sizeof(void*) == 8 ? 0x10000000000u : 0x10000000u;
        for (std::uint64_t k = 1; k <= 7 && there_ == nullptr; ++k) {
            const auto address = reinterpret_cast<void*>(static_cast<std::uintptr_t>(step * k));
            here_ = VirtualAlloc(address, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
            if (here_ != address) {
                Release();
                continue;
            }
            there_ = VirtualAllocEx(process_, address, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
            if (there_ != address)
                Release();
        }
        SIZE_T written = 0;
        if (here_ == nullptr || !WriteProcessMemory(process_, there_, bytes, size, &written) || written != size) {
            Release();
            CloseHandle(process_);
            Fail("cannot place " + std::to_string(size) + " bytes in the program's memory");
        }
        std::memcpy(here_, bytes, size);
    }
    ~BlockInBoth() {
        Release();
        CloseHandle(process_);
    }
    BlockInBoth(const BlockInBoth&) = delete;
    BlockInBoth& operator=(const BlockInBoth&) = delete;

    void* address() const { return here_; }

private:
    void Release() {
        if (there_)
            VirtualFreeEx(process_, there_, 0, MEM_RELEASE);
        if (here_)
            VirtualFree(here_, 0, MEM_RELEASE);
        here_ = there_ = nullptr;
    }

    HANDLE process_ = nullptr;
    void* here_ = nullptr;
    void* there_ = nullptr;
};

// Sends WM_DPICHANGED as the system would on a move to a monitor of `dpi`, with the window's rectangle scaled
// from 96 DPI as the suggestion.
void SendDpiChange(HWND main, int dpi) {
    RECT now{};
    if (!GetWindowRect(main, &now))
        Fail("cannot read the window's place");
    const RECT suggested{now.left, now.top, now.left + MulDiv(now.right - now.left, dpi, 96),
                         now.top + MulDiv(now.bottom - now.top, dpi, 96)};
    const BlockInBoth block(main, &suggested, sizeof suggested);
    SendWaiting(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(block.address()));
}

void SyncWithMain();

// Drops `path` on the main window as Explorer does: WM_DROPFILES with a wide DROPFILES block (the names in
// UTF-16, each ended by a zero, and a zero after the last), returning once the program has handled it. The
// block is a fixed one, so the handle is its address; the program's DragFinish cannot free what it did not
// allocate, and the block goes with this command.
void DropFile(HWND main, const std::string& path) {
    const std::wstring name = torvale::Utf8ToWide(path);
    std::vector<std::uint8_t> bytes(sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t), 0);
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::memcpy(bytes.data(), &header, sizeof header);
    std::memcpy(bytes.data() + sizeof header, name.data(), name.size() * sizeof(wchar_t));
    const BlockInBoth block(main, bytes.data(), bytes.size());
    if (!PostMessageW(main, WM_DROPFILES, reinterpret_cast<WPARAM>(block.address()), 0))
        Fail("cannot post WM_DROPFILES (error " + std::to_string(GetLastError()) + ")");
    SyncWithMain();
}

HWND WaitDialog(const std::string& title) {
    HWND dialog = nullptr;
    if (!WaitFor([&] {
            dialog = FindWindowA(kDialogClass, title.c_str());
            return dialog != nullptr && IsWindowVisible(dialog);
        }))
        Fail("no dialog titled \"" + title + "\"");
    return dialog;
}

std::string QueryMenu(HWND main, bool posted);

// Returns once the program's thread is back in a message loop with nothing posted before left to handle: the
// command that a dialog belonged to has then run to its end (or waits in another modal loop).
void SyncWithMain() {
    const HWND main = FindMain();
    if (main != nullptr)
        QueryMenu(main, true);
}

void WaitClosed(HWND window, const std::string& what) {
    if (!WaitFor([&] { return !IsWindow(window); }))
        Fail(what + " is still open");
    SyncWithMain();
}

void PressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A named callback: a lambda does not convert to the 32-bit stdcall WNDENUMPROC.
BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&all));
    return all;
}

// The file-name box is an Edit inside a ComboBox (inside a ComboBoxEx32 in newer dialogs), all with the same id.
HWND FileNameBox(HWND dialog) {
    HWND fallback = nullptr;
    for (HWND child : Descendants(dialog)) {
        if (GetDlgCtrlID(child) != kFileNameBoxId)
            continue;
        if (ClassOf(child) == "Edit")
            return child;
        if (fallback == nullptr)
            fallback = child;
    }
    if (fallback == nullptr)
        Fail("the dialog has no file-name box");
    return fallback;
}

std::string MessageText(HWND box) {
    std::string fallback;
    for (HWND child : Descendants(box)) {
        if (ClassOf(child) != "Static")
            continue;
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            continue;
        std::string text = WindowText(child);
        if (GetDlgCtrlID(child) == kMessageTextId)
            return text;
        if (fallback.empty())
            fallback = text;
    }
    return fallback;
}

// A message box is found by its title, and its text may come a moment later: this waits for the text too.
std::string WaitMessageText(HWND box) {
    std::string text;
    if (!WaitFor([&] { return !IsWindow(box) || !(text = MessageText(box)).empty(); }) || text.empty())
        Fail("the message box shows no text");
    return text;
}

// A message box that appeared instead of the expected result says why; report it with the failure.
std::string AnyMessageBoxText() {
    std::string texts;
    for (HWND window = FindWindowExA(nullptr, nullptr, kDialogClass, nullptr); window != nullptr;
         window = FindWindowExA(nullptr, window, kDialogClass, nullptr)) {
        if (!IsWindowVisible(window))
            continue;
        char title[256] = {};
        GetWindowTextA(window, title, sizeof title);
        texts += std::string(" [") + title + ": " + MessageText(window) + "]";
    }
    return texts;
}

HWND DialogItem(const std::string& title, const std::string& id) {
    char* end = nullptr;
    const long value = std::strtol(id.c_str(), &end, 0);
    if (id.empty() || *end != '\0')
        Fail("unknown control id " + id);
    const HWND item = GetDlgItem(WaitDialog(title), static_cast<int>(value));
    if (item == nullptr)
        Fail("dialog \"" + title + "\" has no control " + id);
    return item;
}

// The colour on screen inside the log's bottom-left corner, below a short log's last line, as RRGGBB.
std::string LogBackground() {
    const HWND edit = GetDlgItem(RequireMain(), IDC_TXTOUTPUT);
    if (edit == nullptr)
        Fail("the main window has no output log");
    RECT client{};
    GetClientRect(edit, &client);
    POINT corner{client.left + 3, client.bottom - 3};
    ClientToScreen(edit, &corner);
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, corner.x, corner.y);
    ReleaseDC(nullptr, screen);
    if (colour == CLR_INVALID)
        Fail("cannot read the screen");
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

HWND FindPofgenOutput() {
    const HWND window = FindWindowA(TORVALE_POFGEN_CLASS, nullptr);
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

struct NamedId {
    const char* name;
    int id;
};

constexpr NamedId kCommands[] = {
    {"mnuFileImportP3D", IDM_FILE_IMPORT_P3D},
    {"mnuFileImportOOF", IDM_FILE_IMPORT_OOF},
    {"mnuFileExport", IDM_FILE_EXPORT},
    {"mnuFileExit", IDM_FILE_EXIT},
    {"mnuFileImportModel", IDM_FILE_IMPORT_MODEL},
    {"mnuFileExportModel", IDM_FILE_EXPORT_MODEL},
    {"mnuFileCheckORF", IDM_FILE_CHECK_ORF},
    {"mnuEditOptions", IDM_EDIT_OPTIONS},
    {"mnuEditColors", IDM_EDIT_COLORS},
    {"mnuEditClear", IDM_EDIT_CLEAR},
    {"mnuHelpReadme", IDM_HELP_README},
    {"mnuHelpAbout", IDM_HELP_ABOUT},
    {"mnuReloadP3D", IDM_RELOAD_P3D},
    {"mnuViewPreview", IDM_VIEW_PREVIEW},
    {"mnuViewWireframe", IDM_VIEW_WIREFRAME},
    {"mnuViewFindings", IDM_VIEW_FINDINGS},
    {"mnuViewTextures", IDM_VIEW_TEXTURES},
    {"mnuFileRecent1", IDM_FILE_RECENT_FIRST},
    {"mnuFileRecent2", IDM_FILE_RECENT_FIRST + 1},
};

HWND FindPreview() {
    const HWND window = FindWindowA(TORVALE_PREVIEW_CLASS, nullptr);
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

constexpr COLORREF kPreviewBackground = RGB(0x30, 0x30, 0x30);  // render/renderer.h kBackgroundColor

// Whether any point of a 4-pixel grid over the preview's client area, as the screen shows it, is not the
// picture's background.
bool PreviewShowsSomething(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const HDC screen = GetDC(nullptr);
    bool something = false;
    for (int y = 2; y < client.bottom - 2 && !something; y += 4)
        for (int x = 2; x < client.right - 2 && !something; x += 4) {
            const COLORREF colour = GetPixel(screen, origin.x + x, origin.y + y);
            something = colour != CLR_INVALID && colour != kPreviewBackground;
        }
    ReleaseDC(nullptr, screen);
    return something;
}

int CommandId(const std::string& text) {
    for (const auto& command : kCommands)
        if (text == command.name)
            return command.id;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || value <= 0 || value > 0xFFFF)
        Fail("unknown command id " + text);
    return static_cast<int>(value);
}

// The menu dump arrives by WM_COPYDATA at a message-only window of ours while we wait for the query's answer.
std::string g_menuDump;
bool g_menuDumpReceived = false;

LRESULT CALLBACK ReplyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data->dwData == TORVALE_MENU_DUMP_TAG) {
            g_menuDump.assign(static_cast<const char*>(data->lpData), data->cbData);
            g_menuDumpReceived = true;
            return TRUE;
        }
        return FALSE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Asks the main window for its menu dump and waits for the answer. Sent, the query is answered at once;
// posted, it waits in the program's queue behind everything posted before it and is answered only when the
// program's thread takes messages again (its own message loop, or the loop of a modal dialog it shows): proof
// that whatever came before has been handled to its end, which a sent message cannot give, since a thread
// answers sent messages also while it waits inside a command.
std::string QueryMenu(HWND main, bool posted) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ReplyProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TorvaleDriverReply";
    RegisterClassA(&windowClass);
    const HWND reply = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       windowClass.hInstance, nullptr);
    if (reply == nullptr)
        Fail("cannot create the reply window");
    g_menuDumpReceived = false;
    if (posted) {
        if (!PostMessageA(main, TORVALE_WM_DUMP_MENU, reinterpret_cast<WPARAM>(reply), 0))
            Fail("cannot post to the main window (error " + std::to_string(GetLastError()) + ")");
    } else {
        SendWaiting(main, TORVALE_WM_DUMP_MENU, reinterpret_cast<WPARAM>(reply), 0);
    }
    WaitFor([] {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        return g_menuDumpReceived;
    });
    DestroyWindow(reply);
    if (!g_menuDumpReceived)
        Fail(posted ? "the program did not come back to its message loop" + AnyMessageBoxText()
                    : "the program did not answer the menu query");
    return g_menuDump;
}

void WaitMainGone() {
    if (!WaitFor([] { return FindMain() == nullptr; }))
        Fail("the main window is still there" + AnyMessageBoxText());
}

// Waits until this very window has been destroyed: a close is judged by the window it was sent to.
void WaitWindowGone(HWND window) {
    if (!WaitFor([&] { return !IsWindow(window); }))
        Fail(std::string("the main window is still there, ") + (IsWindowEnabled(window) ? "enabled" : "disabled") +
             AnyMessageBoxText());
}

struct Command {
    const char* name;
    int arity;
    void (*run)(const std::vector<std::string>& args);
};

const Command kDriverCommands[] = {
    {"wait-main", 0,
     [](const std::vector<std::string>&) {
         HWND main = nullptr;
         if (!WaitFor([&] { return (main = FindMain()) != nullptr && IsWindowVisible(main); }))
             Fail("the main window did not appear" + AnyMessageBoxText());
         // The window is shown half-way through loading: the program is ready once it takes posted messages.
         SyncWithMain();
     }},
    {"caption", 0,
     [](const std::vector<std::string>&) {
         wchar_t text[1024] = {};
         GetWindowTextW(RequireMain(), text, 1024);
         Print(torvale::WideToUtf8(text) + "\n");
     }},
    {"dpi-change", 1,
     [](const std::vector<std::string>& args) { SendDpiChange(RequireMain(), std::atoi(args[0].c_str())); }},
    {"output-layout", 0,
     [](const std::vector<std::string>&) {
         const HWND main = RequireMain();
         const HWND edit = GetDlgItem(main, IDC_TXTOUTPUT);
         RECT client{};
         RECT box{};
         if (edit == nullptr || !GetClientRect(main, &client) || !GetWindowRect(edit, &box))
             Fail("cannot read the output log's place");
         MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&box), 2);
         const auto font = static_cast<int>(SendWaiting(main, TORVALE_WM_OUTPUT_FONT_HEIGHT, 0, 0));
         Print(std::to_string(box.left) + " " + std::to_string(box.top) + " " + std::to_string(box.right - box.left) +
               " " + std::to_string(box.bottom - box.top) + " " + std::to_string(client.right) + " " +
               std::to_string(client.bottom) + " " + std::to_string(font) + "\n");
     }},
    {"window-rect", 0,
     [](const std::vector<std::string>&) {
         RECT r{};
         if (!GetWindowRect(RequireMain(), &r))
             Fail("cannot read the window's place");
         Print(std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + "+" +
               std::to_string(r.left) + "+" + std::to_string(r.top) + "\n");
     }},
    {"log", 0,
     [](const std::vector<std::string>&) {
         const HWND edit = GetDlgItem(RequireMain(), IDC_TXTOUTPUT);
         if (edit == nullptr)
             Fail("the main window has no output log");
         Print(WindowText(edit));
     }},
    {"log-background", 0, [](const std::vector<std::string>&) { Print(LogBackground() + "\n"); }},
    {"wait-log-background", 1,
     [](const std::vector<std::string>& args) {
         std::string seen;
         if (!WaitFor([&] { return (seen = LogBackground()) == args[0]; }))
             Fail("the log's background is " + seen + ", not " + args[0]);
     }},
    {"menu", 0, [](const std::vector<std::string>&) { Print(QueryMenu(RequireMain(), false) + "\n"); }},
    {"drop", 1, [](const std::vector<std::string>& args) { DropFile(RequireMain(), args[0]); }},
    {"command", 1,
     [](const std::vector<std::string>& args) {
         SendWaiting(RequireMain(), WM_COMMAND, MAKEWPARAM(CommandId(args[0]), 0), 0);
     }},
    {"post-command", 1,
     [](const std::vector<std::string>& args) {
         if (!PostMessageA(RequireMain(), WM_COMMAND, MAKEWPARAM(CommandId(args[0]), 0), 0))
             Fail("cannot post the command");
     }},
    {"wait-dialog", 1, [](const std::vector<std::string>& args) { WaitDialog(args[0]); }},
    {"file-name", 1,
     [](const std::vector<std::string>& args) { Print(WindowText(FileNameBox(WaitDialog(args[0]))) + "\n"); }},
    {"file-dialog", 2,
     [](const std::vector<std::string>& args) {
         const HWND dialog = WaitDialog(args[0]);
         const HWND box = FileNameBox(dialog);
         SendWaiting(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(torvale::Utf8ToWide(args[1]).c_str()));
         PressButton(dialog, IDOK);
         if (!WaitFor([&] { return !IsWindow(dialog); }))
             Fail("dialog \"" + args[0] + "\" did not accept " + args[1] + AnyMessageBoxText());
         SyncWithMain();
     }},
    {"cancel-dialog", 1,
     [](const std::vector<std::string>& args) {
         const HWND dialog = WaitDialog(args[0]);
         PressButton(dialog, IDCANCEL);
         WaitClosed(dialog, "dialog \"" + args[0] + "\"");
     }},
    {"message-box", 1,
     [](const std::vector<std::string>& args) {
         const HWND box = WaitDialog(args[0]);
         Print(WaitMessageText(box) + "\n");
         PressButton(box, IDOK);
         WaitClosed(box, "message box \"" + args[0] + "\"");
     }},
    {"cancel-message-box", 1,
     [](const std::vector<std::string>& args) {
         const HWND box = WaitDialog(args[0]);
         Print(WaitMessageText(box) + "\n");
         PressButton(box, IDCANCEL);
         WaitClosed(box, "message box \"" + args[0] + "\"");
     }},
    {"text", 2, [](const std::vector<std::string>& args) { Print(WindowText(DialogItem(args[0], args[1])) + "\n"); }},
    {"set-text", 3,
     [](const std::vector<std::string>& args) {
         SendWaiting(DialogItem(args[0], args[1]), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(torvale::Utf8ToWide(args[2]).c_str()));
     }},
    {"wait-text", 3,
     [](const std::vector<std::string>& args) {
         const HWND item = DialogItem(args[0], args[1]);
         std::string text;
         if (!WaitFor([&] { return (text = WindowText(item)) == args[2]; }))
             Fail("control " + args[1] + " holds \"" + text + "\", not \"" + args[2] + "\"" + AnyMessageBoxText());
     }},
    {"focus", 2,
     [](const std::vector<std::string>& args) {
         const HWND item = DialogItem(args[0], args[1]);
         SendWaiting(GetParent(item), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
         SyncWithMain();  // the check of the box left runs from a posted message
     }},
    {"click", 2,
     [](const std::vector<std::string>& args) {
         PostMessageA(DialogItem(args[0], args[1]), BM_CLICK, 0, 0);
         SyncWithMain();
     }},
    {"select", 3,
     [](const std::vector<std::string>& args) {
         const HWND item = DialogItem(args[0], args[1]);
         if (SendWaiting(item, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(torvale::Utf8ToWide(args[2]).c_str())) == CB_ERR)
             Fail("combo box " + args[1] + " has no item \"" + args[2] + "\"");
         SendWaiting(GetParent(item), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(item), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(item));
     }},
    {"press", 2,
     [](const std::vector<std::string>& args) {
         const HWND item = DialogItem(args[0], args[1]);
         PressButton(GetParent(item), GetDlgCtrlID(item));
         SyncWithMain();
     }},
    {"checked", 2,
     [](const std::vector<std::string>& args) {
         const LRESULT state = SendWaiting(DialogItem(args[0], args[1]), BM_GETCHECK, 0, 0);
         Print(state == BST_CHECKED ? "1\n" : "0\n");
     }},
    {"wait-closed", 1,
     [](const std::vector<std::string>& args) {
         const HWND dialog = FindWindowA(kDialogClass, args[0].c_str());
         if (dialog != nullptr)
             WaitClosed(dialog, "dialog \"" + args[0] + "\"");
     }},
    {"pofgen-output", 0,
     [](const std::vector<std::string>&) {
         HWND window = nullptr;
         if (!WaitFor([&] { return (window = FindPofgenOutput()) != nullptr; }))
             Fail("the POFGEN Output window is not open");
         const HWND text = FindWindowExA(window, nullptr, "Edit", nullptr);
         if (text == nullptr)
             Fail("the POFGEN Output window has no text box");
         Print(WindowText(text));
     }},
    {"pofgen-output-open", 0,
     [](const std::vector<std::string>&) {
         SyncWithMain();
         Print(FindPofgenOutput() != nullptr ? "1\n" : "0\n");
     }},
    {"close-pofgen-output", 0,
     [](const std::vector<std::string>&) {
         const HWND window = FindPofgenOutput();
         if (window == nullptr)
             Fail("the POFGEN Output window is not open");
         PostMessageA(window, WM_CLOSE, 0, 0);
         WaitClosed(window, "the POFGEN Output window");
     }},
    {"preview-open", 0,
     [](const std::vector<std::string>&) {
         SyncWithMain();
         Print(FindPreview() != nullptr ? "1\n" : "0\n");
     }},
    {"wait-preview-caption", 1,
     [](const std::vector<std::string>& args) {
         std::string seen = "no Model Preview window";
         if (!WaitFor([&] {
                 const HWND window = FindPreview();
                 if (window == nullptr)
                     return false;
                 seen = WindowText(window);
                 return seen == args[0];
             }))
             Fail("expected the caption \"" + args[0] + "\", saw \"" + seen + "\"");
     }},
    {"wait-preview-drawn", 1,
     [](const std::vector<std::string>& args) {
         const bool wanted = args[0] == "1";
         if (!WaitFor([&] {
                 const HWND window = FindPreview();
                 if (window == nullptr)
                     return false;
                 SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                 return PreviewShowsSomething(window) == wanted;
             }))
             Fail(wanted ? "the Model Preview shows nothing" : "the Model Preview still shows a picture");
     }},
    {"close", 0,
     [](const std::vector<std::string>&) {
         const HWND main = RequireMain();
         if (!PostMessageA(main, WM_CLOSE, 0, 0))
             Fail("cannot post WM_CLOSE (error " + std::to_string(GetLastError()) + ")");
         WaitWindowGone(main);
     }},
    {"press-and-close", 2,
     [](const std::vector<std::string>& args) {
         const HWND item = DialogItem(args[0], args[1]);
         const HWND main = RequireMain();
         PressButton(GetParent(item), GetDlgCtrlID(item));
         if (!PostMessageA(main, WM_CLOSE, 0, 0))
             Fail("cannot post WM_CLOSE (error " + std::to_string(GetLastError()) + ")");
         WaitWindowGone(main);
     }},
    {"close-box", 0,
     [](const std::vector<std::string>&) {
         PostMessageA(RequireMain(), WM_SYSCOMMAND, SC_CLOSE, 0);
         WaitMainGone();
     }},
    {"wait-gone", 0, [](const std::vector<std::string>&) { WaitMainGone(); }},
    {"file-version", 1,
     [](const std::vector<std::string>& args) {
         DWORD ignored = 0;
         const DWORD size = GetFileVersionInfoSizeA(args[0].c_str(), &ignored);
         std::vector<char> info(size);
         if (size == 0 || !GetFileVersionInfoA(args[0].c_str(), 0, size, info.data()))
             Fail("no version information in " + args[0]);
         VS_FIXEDFILEINFO* fixed = nullptr;
         UINT fixedSize = 0;
         char* product = nullptr;
         UINT productSize = 0;
         if (!VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
             !VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\ProductName", reinterpret_cast<void**>(&product),
                             &productSize))
             Fail("incomplete version information in " + args[0]);
         Print(std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) +
               "." + std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
               std::to_string(LOWORD(fixed->dwFileVersionLS)) + " " + product + "\n");
     }},
};

int Usage() {
    std::fputs("usage: torvale_driver [--timeout SECONDS] COMMAND [ARGS]... (see driver.cpp)\n", stderr);
    return 2;
}

}  // namespace

int main() {
    // The wide command line: a path with letters outside the ANSI code page arrives whole.
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> words;
    for (int i = 1; wide != nullptr && i < count; ++i)
        words.push_back(torvale::WideToUtf8(wide[i]));
    LocalFree(wide);
    std::size_t at = 0;
    if (at + 1 < words.size() && words[at] == "--timeout") {
        g_timeoutMs = static_cast<DWORD>(std::atof(words[at + 1].c_str()) * 1000.0);
        at += 2;
    }
    if (at >= words.size())
        return Usage();

    while (at < words.size()) {
        const Command* command = nullptr;
        for (const auto& candidate : kDriverCommands)
            if (words[at] == candidate.name)
                command = &candidate;
        if (command == nullptr) {
            std::fprintf(stderr, "torvale_driver: unknown command %s\n", words[at].c_str());
            return Usage();
        }
        if (words.size() - at - 1 < static_cast<std::size_t>(command->arity)) {
            std::fprintf(stderr, "torvale_driver: %s needs %d argument(s)\n", command->name, command->arity);
            return Usage();
        }
        const std::vector<std::string> args(words.begin() + static_cast<std::ptrdiff_t>(at + 1),
                                            words.begin() + static_cast<std::ptrdiff_t>(at + 1) + command->arity);
        try {
            command->run(args);
        } catch (const Failure& failure) {
            std::fprintf(stderr, "torvale_driver: %s: %s\n", command->name, failure.what.c_str());
            return 1;
        }
        at += 1 + static_cast<std::size_t>(command->arity);
    }
    return 0;
}
