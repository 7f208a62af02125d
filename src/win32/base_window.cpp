#include "win32/base_window.h"

#include <string>

#include "platform/message_boxes.h"

namespace torvale {

void ShowUnexpectedError(HWND owner, const char* what) noexcept {
    try {
        const std::string title(kApplicationTitle);
        MessageBoxA(owner, (std::string("Unexpected error: ") + what).c_str(), title.c_str(), MB_OK);
    } catch (...) {
        // Out of memory even for the message: the short fixed text needs none.
        MessageBoxA(owner, "Unexpected error.", "TORVALE Conversion Utility", MB_OK);
    }
}

}  // namespace torvale
