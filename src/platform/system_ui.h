#pragma once

#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"

namespace torvale {

// The system's own dialogs and message boxes (Windows only). `owner` is the handle of the window they belong
// to (an HWND), or null before that window exists.
class SystemFileDialogs final : public FileDialogs {
public:
    void setOwner(void* owner) { owner_ = owner; }
    FileDialogResult ShowOpen(const FileDialogRequest& request) override;
    FileDialogResult ShowSave(const FileDialogRequest& request) override;
    FileDialogResult ShowFolder(const FileDialogRequest& request) override;

private:
    void* owner_ = nullptr;
};

class SystemMessageBoxes final : public MessageBoxes {
public:
    void setOwner(void* owner) { owner_ = owner; }

private:
    MessageAnswer Present(std::string_view text, MessageButtons buttons) override;
    void* owner_ = nullptr;
};

}  // namespace torvale
