#include <windows.h>

#include <string>

#include "platform/system_ui.h"

namespace torvale {

MessageAnswer SystemMessageBoxes::Present(std::string_view text, MessageButtons buttons) {
    const std::string body(text);
    const std::string title(kApplicationTitle);
    const UINT style = (buttons == MessageButtons::OkCancel ? MB_OKCANCEL : MB_OK) | MB_SETFOREGROUND;
    const int answer = MessageBoxA(static_cast<HWND>(owner_), body.c_str(), title.c_str(), style);
    return answer == IDOK ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

}  // namespace torvale
