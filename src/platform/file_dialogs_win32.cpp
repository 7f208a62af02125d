#include <windows.h>

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "platform/system_ui.h"

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
    std::vector<char> file(kPathBuffer, '\0');
    std::vector<char> title(MAX_PATH + 1, '\0');
    request.initialPath.copy(file.data(), file.size() - 1);
    const std::string filter = FilterList(request.filter);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = static_cast<HWND>(owner);
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kPathBuffer;
    ofn.lpstrFileTitle = title.data();
    ofn.nMaxFileTitle = MAX_PATH + 1;
    ofn.lpstrTitle = request.title.c_str();
    ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    // The program never uses the current directory, so a dialog must not move it; the read-only check box
    // would offer a choice that nothing reads.
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (request.fileMustExist)
        ofn.Flags |= OFN_FILEMUSTEXIST;
    if (request.overwritePrompt)
        ofn.Flags |= OFN_OVERWRITEPROMPT;

    FileDialogResult result;
    const BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!chosen)
        return result;  // cancelled or failed: the caller ends its command silently
    result.confirmed = true;
    result.path = file.data();
    result.title = title.data();
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
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, start);
    return 0;
}

}  // namespace

FileDialogResult SystemFileDialogs::ShowFolder(const FileDialogRequest& request) {
    // The resizable tree with an edit box wants COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    BROWSEINFOA info{};
    info.hwndOwner = static_cast<HWND>(owner_);
    info.lpszTitle = request.title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    info.lpfn = &StartInFolder;
    info.lParam = reinterpret_cast<LPARAM>(request.initialPath.c_str());
    FileDialogResult result;
    if (PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info)) {
        std::vector<char> path(MAX_PATH + 1, '\0');
        if (SHGetPathFromIDListA(chosen, path.data())) {
            result.confirmed = true;
            result.path = path.data();
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
