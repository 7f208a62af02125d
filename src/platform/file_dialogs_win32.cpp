#include <windows.h>

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "platform/system_ui.h"
#include "platform/utf16_win32.h"

namespace torvale {
namespace {

// Long enough for any path the dialog can return without FNERR_BUFFERTOOSMALL in practice.
constexpr DWORD kPathBuffer = 32768;

// "desc|pattern|desc|pattern" becomes the double-zero-terminated list the dialog wants.
std::string FilterList(const std::string& filter) {
    std::string list = filter;
    for (char& c : list)
        if (c == '|')
            c = '\0';
    list.push_back('\0');
    list.push_back('\0');
    return list;
}

FileDialogResult Show(void* owner, const FileDialogRequest& request, bool save) {
    std::vector<wchar_t> file(kPathBuffer, L'\0');
    std::vector<wchar_t> title(MAX_PATH + 1, L'\0');
    const std::wstring initialPath = Utf8ToWide(request.initialPath);
    initialPath.copy(file.data(), file.size() - 1);
    const std::wstring filter = Utf8ToWide(FilterList(request.filter));
    const std::wstring dialogTitle = Utf8ToWide(request.title);
    const std::wstring defaultExtension = Utf8ToWide(request.defaultExtension);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = static_cast<HWND>(owner);
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kPathBuffer;
    ofn.lpstrFileTitle = title.data();
    ofn.nMaxFileTitle = MAX_PATH + 1;
    ofn.lpstrTitle = dialogTitle.c_str();
    ofn.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    // The program never uses the current directory, so a dialog must not move it; the read-only check box
    // would offer a choice that nothing reads.
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (request.fileMustExist)
        ofn.Flags |= OFN_FILEMUSTEXIST;
    if (request.overwritePrompt)
        ofn.Flags |= OFN_OVERWRITEPROMPT;

    FileDialogResult result;
    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen)
        return result;  // cancelled or failed: the caller ends its command silently
    result.confirmed = true;
    result.path = WideToUtf8(file.data());
    result.title = WideToUtf8(title.data());
    result.filterIndex = ofn.nFilterIndex;
    return result;
}

}  // namespace

FileDialogResult SystemFileDialogs::ShowOpen(const FileDialogRequest& request) {
    return Show(owner_, request, false);
}

FileDialogResult SystemFileDialogs::ShowSave(const FileDialogRequest& request) {
    return Show(owner_, request, true);
}

namespace {

// Selects the starting folder once the dialog is up.
int CALLBACK StartInFolder(HWND dialog, UINT message, LPARAM, LPARAM start) {
    if (message == BFFM_INITIALIZED && start != 0)
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}

}  // namespace

FileDialogResult SystemFileDialogs::ShowFolder(const FileDialogRequest& request) {
    // The resizable tree with an edit box wants COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const std::wstring title = Utf8ToWide(request.title);
    const std::wstring start = Utf8ToWide(request.initialPath);
    BROWSEINFOW info{};
    info.hwndOwner = static_cast<HWND>(owner_);
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    info.lpfn = &StartInFolder;
    info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    FileDialogResult result;
    if (PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info)) {
        std::vector<wchar_t> path(32768, L'\0');
        if (SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT)) {
            result.confirmed = true;
            result.path = WideToUtf8(path.data());
            const std::size_t slash = result.path.find_last_of("\\/");
            result.title = slash == std::string::npos ? result.path : result.path.substr(slash + 1);
        }
        CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return result;
}

}  // namespace torvale
