#include "win32/base_window.h"

#include <string>

#include "platform/message_boxes.h"
#include "platform/utf16_win32.h"

namespace torvale {

void ShowUnexpectedError(HWND owner, const char* what) noexcept {
    try {
        MessageBoxW(owner, Utf8ToWide(std::string("Unexpected error: ") + what).c_str(),
                    Utf8ToWide(kApplicationTitle).c_str(), MB_OK);
    } catch (...) {
        // Out of memory even for the message: the short fixed text needs none.
        MessageBoxW(owner, L"Unexpected error.", L"TORVALE Conversion Utility", MB_OK);
    }
}

}  // namespace torvale
