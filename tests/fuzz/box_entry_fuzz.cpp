// libFuzzer harness for what is typed into the options dialog's boxes: any text reads as a number (never NaN),
// each box's check on leaving shows at most one message and leaves a number the Settings can keep, and OK
// stores only values within the boxes' ranges, with chunk splits all 0 or all above 0. The command-line
// splitter of the POSIX process runner gets the same bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/process_runner.h"
#include "pofgen/number_entry.h"
#include "pofgen/options_presenter.h"

namespace {

using namespace torvale;

class CountingMessages final : public MessageBoxes {
public:
    MessageAnswer Present(std::string_view, MessageButtons) override {
        ++count;
        return MessageAnswer::Ok;
    }
    int count = 0;
};

class NullView final : public OptionsView {
public:
    void ShowFields(const OptionsFields&) override {}
    void ShowBoxText(OptionsBox, const std::string&) override {}
    void FocusBox(OptionsBox) override {}
    void Repaint() override {}
    void Close() override {}
};

class NoDialogs final : public FileDialogs {
public:
    FileDialogResult ShowOpen(const FileDialogRequest&) override { return {}; }
    FileDialogResult ShowSave(const FileDialogRequest&) override { return {}; }
    FileDialogResult ShowFolder(const FileDialogRequest&) override { return {}; }
};

class NoFiles final : public FileSystem {
public:
    bool IsOrdinaryFile(const std::string&) override { return false; }
    bool Exists(const std::string&) override { return false; }
    std::string ExecutableDirectory() override { return {}; }
};

void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Check(!std::isnan(ReadBoxNumber(text)));
    (void)SplitCommandLine(text);

    ProgramState program;
    NullView view;
    NoDialogs dialogs;
    CountingMessages messages;
    NoFiles files;
    OptionsPresenter presenter(program, view, dialogs, messages, files);
    presenter.Activate();

    for (OptionsBox box : {OptionsBox::ScaleFactor, OptionsBox::ErrorTolerance, OptionsBox::ChunkSplitY}) {
        messages.count = 0;
        presenter.fields().text(box) = text;
        presenter.LeaveBox(box);
        Check(messages.count <= 1);
        const double left = ReadBoxNumber(presenter.fields().text(box));
        if (box == OptionsBox::ScaleFactor)
            Check(left > 0.0 && left <= 65535.0);
        else if (box == OptionsBox::ErrorTolerance)
            Check(left >= 0.0 && left <= 65535.0);
        else
            Check(left == std::floor(left) && (left == 0.0 || (left >= 2.0 && left <= 255.0)));
    }

    // OK as Enter gives it: the texts as typed, without their checks.
    OptionsFields& fields = presenter.fields();
    fields.scaleFactor = text;
    fields.errorTolerance = text.substr(0, size / 2);
    fields.chunkSplits = {text.substr(0, 3), text.substr(size / 3, 3), text.substr(size / 2, 3)};
    if (presenter.Ok()) {
        const Settings& s = program.settings;
        Check(s.scaleFactor >= 0.0f && s.scaleFactor <= 65535.0f);
        Check(s.errorTolerance >= 0.0f && s.errorTolerance <= 65535.0f);
        const bool allZero = s.chunkSplits[0] == 0 && s.chunkSplits[1] == 0 && s.chunkSplits[2] == 0;
        const bool allAbove = s.chunkSplits[0] > 0 && s.chunkSplits[1] > 0 && s.chunkSplits[2] > 0;
        Check(allZero || allAbove);
    }
    return 0;
}
