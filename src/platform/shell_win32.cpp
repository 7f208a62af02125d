#include <windows.h>

#include <shellapi.h>

#include "platform/shell.h"

namespace torvale {

void SystemShell::OpenDocument(const std::string& path) {
    // The result is not looked at: a missing file, or one with no associated program, shows nothing.
    ShellExecuteA(static_cast<HWND>(owner_), "open", path.c_str(), "", "", SW_SHOWNORMAL);
}

}  // namespace torvale
