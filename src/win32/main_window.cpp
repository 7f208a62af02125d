#include "win32/main_window.h"

#include <shellapi.h>
#include "platform/utf16_win32.h"

#include "win32/dialog_commands.h"
#include "win32/resource.h"
#include "win32/test_hooks.h"

namespace torvale {
namespace {

// The design client area and the caption the window has before loading replaces it.
constexpr int kDesignClientWidth = 5790;
constexpr int kDesignClientHeight = 3390;
constexpr char kDesignCaption[] = "TORVALE v1.0";
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;

UINT MenuId(MenuItem item) {
    switch (item) {
        case MenuItem::FileExport:
            return IDM_FILE_EXPORT;
        case MenuItem::FileExportModel:
            return IDM_FILE_EXPORT_MODEL;
        case MenuItem::ReloadP3D:
            break;
    }
    return IDM_RELOAD_P3D;
}

}  // namespace

MainWindow::MainWindow(ProgramState& program, HINSTANCE instance, int showCommand)
    : program_(program),
      instance_(instance),
      showCommand_(showCommand),
      twips_(Twips::OfScreen()),
      presenter_(program, *this, dialogs_, messages_),
      pofgen_(program, presenter_, *this, dialogs_, messages_, instance),
      preview_(presenter_),
      previewWindow_(preview_, instance) {
    presenter_.compileP3d = [this](const std::string& path, const std::string& title) {
        pofgen_.ImportP3dFile(path, title);
    };
}

bool MainWindow::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MainWindow::WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_TORVALE));
    windowClass.hIconSm =
        static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_TORVALE), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    const std::wstring className = Utf8ToWide(TORVALE_MAIN_CLASS);
    windowClass.lpszClassName = className.c_str();
    if (!RegisterClassExW(&windowClass))
        return false;

    HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_MAINMENU));
    RECT frame{0, 0, twips_.toPixelsX(kDesignClientWidth), twips_.toPixelsY(kDesignClientHeight)};
    AdjustWindowRectEx(&frame, kWindowStyle, menu != nullptr, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // Centred on the screen when first shown.
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    if (!CreateWindowExW(0, className.c_str(), Utf8ToWide(kDesignCaption).c_str(), kWindowStyle, left, top, width,
                         height, nullptr, menu, instance_, this))
        return false;
    presenter_.Load();
    return true;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate();
        case WM_SIZE:
            OnSize(wParam, LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return 0;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
            return OnCtlColor(message, wParam, lParam);
        case WM_SYSCOLORCHANGE:
            output_.RefreshColors();
            break;
        case WM_SETFOCUS:
            SetFocus(output_.handle());
            return 0;
        case WM_CLOSE:
            Unload();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case TORVALE_WM_OUTPUT_FONT_HEIGHT:
            return output_.fontHeight();
        case TORVALE_WM_DUMP_MENU:
            return HandleTestQuery(handle(), wParam, lParam) ? 1 : 0;
        default:
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

LRESULT MainWindow::OnCreate() {
    const TwipsRect placement = LayoutOutput(kDesignClientWidth, kDesignClientHeight, {});
    dialogs_.setOwner(handle());
    messages_.setOwner(handle());
    pofgen_.setOwner(handle());
    if (!output_.Create(handle(), instance_, twips_, placement))
        return -1;
    output_.Follow(presenter_.log());
    presenter_.log().setInitialText(Banner());  // never seen: loading ends with the reset message
    DragAcceptFiles(handle(), TRUE);
    ShowViewChecks();
    return 0;
}

void MainWindow::OnSize(WPARAM kind, int width, int height) {
    if (!output_.handle())
        return;
    // Minimised, the client area is 0 by 0: the layout rule leaves the text area as it was.
    const int clientWidth = kind == SIZE_MINIMIZED ? 0 : twips_.fromPixelsX(width);
    const int clientHeight = kind == SIZE_MINIMIZED ? 0 : twips_.fromPixelsY(height);
    output_.Place(LayoutOutput(clientWidth, clientHeight, output_.placement()));
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    // The window moved to a monitor of another DPI (or that monitor's scale changed): the same twips at the new
    // DPI, fonts made again for it, and the place the system proposes, which keeps the window under the mouse.
    twips_ = Twips::OfDpi(dpi);
    output_.ApplyStyle(output_.style());
    SetWindowPos(handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The client area may keep its pixel size (no WM_SIZE then), yet its controls change theirs.
    RECT client{};
    GetClientRect(handle(), &client);
    OnSize(IsIconic(handle()) ? SIZE_MINIMIZED : SIZE_RESTORED, client.right, client.bottom);
}

void MainWindow::OnCommand(int id) {
    switch (id) {
        case IDM_FILE_IMPORT_OOF:
            presenter_.ImportOof(OofSource::AskUser);
            break;
        case IDM_FILE_EXPORT:
            presenter_.ExportOrf();
            break;
        case IDM_FILE_IMPORT_MODEL:
            presenter_.ImportModel();
            break;
        case IDM_FILE_EXPORT_MODEL:
            presenter_.ExportModel();
            break;
        case IDM_FILE_CHECK_ORF:
            presenter_.CheckOrf();
            break;
        case IDM_FILE_EXIT:
            Unload();
            break;
        case IDM_EDIT_CLEAR:
            presenter_.ClearWindow();
            break;
        case IDM_FILE_IMPORT_P3D:
            pofgen_.ImportP3d();
            break;
        case IDM_RELOAD_P3D:
            pofgen_.ReloadP3d();
            break;
        case IDM_EDIT_OPTIONS:
            pofgen_.ShowOptions();
            break;
        case IDM_EDIT_COLORS:
            RunColorsCommand(program_, *this, handle(), instance_);
            break;
        case IDM_HELP_README:
            RunReadmeCommand(program_, handle());
            break;
        case IDM_HELP_ABOUT:
            RunAboutCommand(handle(), instance_);
            break;
        case IDM_VIEW_PREVIEW:
            previewWindow_.Open();
            break;
        case IDM_VIEW_WIREFRAME:
            preview_.setWireframe(!preview_.wireframe());
            ShowViewChecks();
            break;
        case IDM_VIEW_FINDINGS:
            preview_.setShowFindings(!preview_.showFindings());
            ShowViewChecks();
            break;
        case IDM_VIEW_TEXTURES:
            preview_.setShowTextures(!preview_.showTextures());
            ShowViewChecks();
            break;
        default:
            if (id >= IDM_FILE_RECENT_FIRST && id < IDM_FILE_RECENT_FIRST + IDM_FILE_RECENT_COUNT)
                presenter_.OpenRecent(static_cast<std::size_t>(id - IDM_FILE_RECENT_FIRST));
            break;
    }
}

LRESULT MainWindow::OnCtlColor(UINT message, WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(lParam) == output_.handle()) {
        if (HBRUSH brush = output_.Colorize(reinterpret_cast<HDC>(wParam)))
            return reinterpret_cast<LRESULT>(brush);
    }
    return DefaultHandling(message, wParam, lParam);
}

// Dropped files are opened in the order Explorer lists them, after the drop has been let go.
void MainWindow::OnDropFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        if (!path.empty())
            paths.push_back(WideToUtf8(path));
    }
    DragFinish(drop);
    presenter_.OpenFiles(paths);
}

void MainWindow::ShowViewChecks() {
    HMENU menu = GetMenu(handle());
    const auto check = [menu](UINT id, bool on) {
        CheckMenuItem(menu, id, static_cast<UINT>(MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)));
    };
    check(IDM_VIEW_WIREFRAME, preview_.wireframe());
    check(IDM_VIEW_FINDINGS, preview_.showFindings());
    check(IDM_VIEW_TEXTURES, preview_.showTextures());
}

// File, Recent: the submenu of the File menu, filled anew with "1 PATH" and so on, or "(none)" greyed.
void MainWindow::RecentFilesChanged(const std::vector<std::string>& paths) {
    // The submenu of File whose first item is the first recent file's.
    HMENU file = GetSubMenu(GetMenu(handle()), 0);
    HMENU recent = nullptr;
    for (int position = 0; file && position < GetMenuItemCount(file) && !recent; ++position) {
        HMENU submenu = GetSubMenu(file, position);
        if (submenu && GetMenuItemID(submenu, 0) == IDM_FILE_RECENT_FIRST)
            recent = submenu;
    }
    if (!recent)
        return;
    while (GetMenuItemCount(recent) > 0)
        DeleteMenu(recent, 0, MF_BYPOSITION);
    if (paths.empty())
        AppendMenuW(recent, MF_STRING | MF_GRAYED, IDM_FILE_RECENT_FIRST, L"(none)");
    for (std::size_t i = 0; i < paths.size() && i < IDM_FILE_RECENT_COUNT; ++i) {
        std::string caption = std::to_string(i + 1) + ' ';
        for (const char c : paths[i])
            caption += c == '&' ? std::string("&&") : std::string(1, c);  // a lone & would underline
        AppendMenuW(recent, MF_STRING, IDM_FILE_RECENT_FIRST + static_cast<UINT>(i), Utf8ToWide(caption).c_str());
    }
}

// Unloading is never cancelled: the Settings are saved (a failure is reported), then the window goes.
void MainWindow::Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    presenter_.Unload();
    pofgen_.Unload();
    previewWindow_.Unload();
    DestroyWindow(handle());
}

void MainWindow::SetCaption(const std::string& caption) {
    SetWindowTextW(handle(), Utf8ToWide(caption).c_str());
}

void MainWindow::SetMenuEnabled(MenuItem item, bool enabled) {
    EnableMenuItem(GetMenu(handle()), MenuId(item),
                   static_cast<UINT>(MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED)));
    DrawMenuBar(handle());
}

void MainWindow::ApplyOutputStyle(const OutputStyle& style) {
    output_.ApplyStyle(style);
}

void MainWindow::Show() {
    ShowWindow(handle(), showCommand_);
    UpdateWindow(handle());
}

void MainWindow::Repaint() {
    RedrawWindow(handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace torvale
