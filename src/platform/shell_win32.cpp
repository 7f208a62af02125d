#include <windows.h>

#include <shellapi.h>

#include "platform/shell.h"
#include "platform/utf16_win32.h"

namespace torvale {

void SystemShell::OpenDocument(const std::string& path) {
    // The result is not looked at: a missing file, or one with no associated program, shows nothing.
    ShellExecuteW(static_cast<HWND>(owner_), L"open", Utf8ToWide(path).c_str(), L"", L"", SW_SHOWNORMAL);
}

}  // namespace torvale
