#include <windows.h>

#include <string>

#include "platform/system_ui.h"
#include "platform/utf16_win32.h"

namespace torvale {

MessageAnswer SystemMessageBoxes::Present(std::string_view text, MessageButtons buttons) {
    // Messages are UTF-8 and may name a path in any script.
    const std::wstring body = Utf8ToWide(text);
    const std::wstring title = Utf8ToWide(kApplicationTitle);
    const UINT style = (buttons == MessageButtons::OkCancel ? MB_OKCANCEL : MB_OK) | MB_SETFOREGROUND;
    const int answer = MessageBoxW(static_cast<HWND>(owner_), body.c_str(), title.c_str(), style);
    return answer == IDOK ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

}  // namespace torvale
