#pragma once

#include <string>

namespace torvale {

// One open or save dialog. The filter is "description|pattern" (more pairs may follow, each joined by '|').
struct FileDialogRequest {
    std::string title;
    std::string filter;
    std::string initialPath;       // the file name the dialog starts with; a full path opens in its directory
    bool fileMustExist = false;    // open: only an existing file can be chosen
    bool overwritePrompt = false;  // save: ask before an existing file is chosen
    std::string defaultExtension;  // save: added to a name typed without extension; empty adds nothing
};

struct FileDialogResult {
    bool confirmed = false;       // false when the user cancelled or the dialog failed
    std::string path;             // the full path chosen
    std::string title;            // its file name part, as the dialog reports it
    std::size_t filterIndex = 1;  // the file type chosen in the dialog's list, counted from 1
};

// The common open and save dialogs, owned by one window.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual FileDialogResult ShowOpen(const FileDialogRequest& request) = 0;
    virtual FileDialogResult ShowSave(const FileDialogRequest& request) = 0;
    // The shell's folder dialog: `request.title` above the tree, `request.initialPath` selected; the chosen
    // folder comes back as the path.
    virtual FileDialogResult ShowFolder(const FileDialogRequest& request) = 0;
};

}  // namespace torvale
