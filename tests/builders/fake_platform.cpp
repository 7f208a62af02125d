#include "builders/fake_platform.h"

#include <atomic>
#include <filesystem>
#include <random>

namespace torvale::test {

FileDialogResult FakeFileDialogs::next() {
    if (answers_.empty()) {
        ++unanswered;
        return {};
    }
    FileDialogResult answer = answers_.front();
    answers_.pop_front();
    return answer;
}

FileDialogResult FakeFileDialogs::ShowOpen(const FileDialogRequest& request) {
    opened.push_back(request);
    return next();
}

FileDialogResult FakeFileDialogs::ShowFolder(const FileDialogRequest& request) {
    folders.push_back(request);
    return next();
}

FileDialogResult FakeFileDialogs::ShowSave(const FileDialogRequest& request) {
    saved.push_back(request);
    return next();
}

MessageAnswer FakeMessageBoxes::Present(std::string_view text, MessageButtons /*buttons*/) {
    shown.emplace_back(text);
    return answer;
}

ScratchDirectory::ScratchDirectory(const std::string& name) {
    static std::atomic<int> counter{0};
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("torvale-" + name + "-" + std::to_string(std::random_device{}()) +
                                                      "-" + std::to_string(counter++));
    fs::remove_all(dir);
    fs::create_directories(dir);
    path_ = dir.string();
    if (path_.back() != kSeparator)
        path_.push_back(kSeparator);
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

MainWindowHarness::MainWindowHarness() {
    program.appDir = dir.path();
    program.settingsPath = dir / "TORVALE.ini";
    program.configPath = dir / "TORVALE.cfg";
    program.texlatePath = dir / "texlate.rsc";
}

void MainWindowHarness::importFile(const std::string& name, const Bytes& bytes) {
    WriteTestFile(dir / name, bytes);
    dialogs.choose(dir / name, name);
    window.ImportOof(OofSource::AskUser);
}

}  // namespace torvale::test
