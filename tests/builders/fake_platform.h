#pragma once

// Test stand-ins for the platform layer and the main window: dialogs answered from a queue, message boxes
// recorded, a file system of listed names, and a window that remembers what it was told.

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/main_window_presenter.h"
#include "builders/bytes.h"
#include "platform/file_dialogs.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"

namespace torvale::test {

class FakeFileDialogs final : public FileDialogs {
public:
    // Queues the user's answer to the next dialog: a chosen file, or a cancel.
    void choose(std::string path, std::string title) { answers_.push_back({true, std::move(path), std::move(title)}); }
    void cancel() { answers_.push_back({}); }

    FileDialogResult ShowOpen(const FileDialogRequest& request) override;
    FileDialogResult ShowSave(const FileDialogRequest& request) override;
    FileDialogResult ShowFolder(const FileDialogRequest& request) override;

    std::vector<FileDialogRequest> folders;  // every folder dialog shown, in order
    std::vector<FileDialogRequest> opened;   // every open dialog shown, in order
    std::vector<FileDialogRequest> saved;    // every save dialog shown, in order
    int unanswered = 0;                      // dialogs shown with no answer queued (answered as cancelled)

private:
    FileDialogResult next();
    std::deque<FileDialogResult> answers_;
};

class FakeMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer Present(std::string_view text, MessageButtons buttons) override;
    std::vector<std::string> shown;
    MessageAnswer answer = MessageAnswer::Ok;
};

class FakeFileSystem final : public FileSystem {
public:
    bool IsOrdinaryFile(const std::string& path) override { return ordinaryFiles.count(path) != 0; }
    bool Exists(const std::string& path) override {
        return ordinaryFiles.count(path) != 0 || otherEntries.count(path) != 0;
    }
    std::string ExecutableDirectory() override { return executableDirectory; }

    std::set<std::string> ordinaryFiles;
    std::set<std::string> otherEntries;  // directories, hidden and system files
    std::string executableDirectory;
};

class FakeMainWindowView final : public MainWindowView {
public:
    void SetCaption(const std::string& text) override { caption = text; }
    void SetMenuEnabled(MenuItem item, bool enabled) override { menuEnabled[item] = enabled; }
    void ApplyOutputStyle(const OutputStyle& style) override { styles.push_back(style); }
    void Show() override { ++shows; }
    void Repaint() override { ++repaints; }

    std::string caption;
    std::map<MenuItem, bool> menuEnabled;
    std::vector<OutputStyle> styles;
    int shows = 0;
    int repaints = 0;
};

// The native path separator, for tests that write real files.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// `path` with this system's separator in place of every '/'.
inline std::string Native(std::string path) {
    for (char& c : path)
        if (c == '/')
            c = kSeparator;
    return path;
}

// A fresh empty directory under the system's temporary directory, removed again by the destructor. Its path
// ends with kSeparator.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::string& name);
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& file) const { return path_ + file; }

private:
    std::string path_;
};

// A main window presenter wired to fakes, with its settings file in a scratch directory. The texture table is
// empty, so every texture name passes through unchanged.
struct MainWindowHarness {
    MainWindowHarness();
    ScratchDirectory dir{"window"};
    ProgramState program;
    FakeMainWindowView view;
    FakeFileDialogs dialogs;
    FakeMessageBoxes messages;
    MainWindowPresenter window{program, view, dialogs, messages, MainWindowOptions{kSeparator}};
    // Writes `bytes` as dir/name, queues it as the open dialog's answer and runs Import OOF.
    void importFile(const std::string& name, const Bytes& bytes);
};

}  // namespace torvale::test
