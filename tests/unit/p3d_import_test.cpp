#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/output_log.h"
#include "builders/fake_platform.h"
#include "pofgen/p3d_import.h"

namespace torvale {
namespace {

using test::FakeFileDialogs;

// Message boxes answered from a queue (OK when it is empty), with their buttons recorded.
class ScriptedMessages final : public MessageBoxes {
public:
    MessageAnswer Present(std::string_view text, MessageButtons buttons) override {
        shown.emplace_back(text);
        buttonsShown.push_back(buttons);
        if (answers.empty())
            return MessageAnswer::Ok;
        const MessageAnswer next = answers.front();
        answers.pop_front();
        return next;
    }
    std::vector<std::string> shown;
    std::vector<MessageButtons> buttonsShown;
    std::deque<MessageAnswer> answers;
};

class FakeShortPaths final : public ShortPaths {
public:
    std::string ShortPathName(const std::string& path) override {
        asked.push_back(path);
        const auto found = forms.find(path);
        return found == forms.end() ? std::string() : found->second;
    }
    // This code page holds ASCII only, as a Western one would not hold Cyrillic.
    bool FitsAnsiCodePage(const std::string& path) override {
        return std::all_of(path.begin(), path.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    }
    std::map<std::string, std::string> forms;  // missing paths give the empty answer
    std::vector<std::string> asked;
};

class FakeRunner final : public ProcessRunner {
public:
    ProcessCapture Run(const std::string& commandLine) override {
        commandLines.push_back(commandLine);
        return answer;
    }
    ProcessCapture answer{true, "POFGEN compiled it\r\n"};
    std::vector<std::string> commandLines;
};

class FakeOutputWindow final : public PofgenOutputView {
public:
    void ShowOutput(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

struct OofLoad {
    OofSource source = OofSource::AskUser;
    std::string path;
    std::string title;
};

class FakeHost final : public P3dImportHost {
public:
    void PrintOutput(std::string_view message) override { printed.emplace_back(message); }
    void Repaint() override { ++repaints; }
    void SetReloadEnabled(bool enabled) override { reloadEnabled.push_back(enabled); }
    void ShowOptionsDialog() override {
        ++optionsShown;
        if (onOptions)
            onOptions();
    }
    void ImportOof(OofSource source) override { loads.push_back({source, path, title}); }
    std::string& oofPath() override { return path; }
    std::string& oofTitle() override { return title; }
    std::string& lastP3dPath() override { return lastPath; }
    std::string& lastP3dTitle() override { return lastTitle; }

    std::vector<std::string> printed;
    int repaints = 0;
    std::vector<bool> reloadEnabled;
    int optionsShown = 0;
    std::function<void()> onOptions;
    std::vector<OofLoad> loads;
    std::string path, title, lastPath, lastTitle;
};

class P3dImportTest : public ::testing::Test {
protected:
    P3dImportTest() {
        program.settings.pofgenPath = "C:\\games\\descent3\\pofgen.exe";
        program.pofgenCommandLine = "-s0.03 -p ";
        program.settings.showPofgenOutput = kFalse;
        shortPaths.forms = {{"C:\\My Models\\big ship.p3d", "C:\\MYMODE~1\\BIGSHI~1.P3D"},
                            {"C:\\My Models\\ship.p3d", "C:\\MYMODE~1\\SHIP.P3D"},
                            {"C:\\MYMODE~1\\BIGSHI~1.P3D", "C:\\MYMODE~1\\BIGSHI~1.P3D"},
                            {"C:\\MYMODE~1\\ship.p3d", "C:\\MYMODE~1\\SHIP.P3D"}};
    }

    void chooseBigShip() { dialogs.choose("C:\\My Models\\big ship.p3d", "big ship.p3d"); }
    void chooseShip() { dialogs.choose("C:\\My Models\\ship.p3d", "ship.p3d"); }

    ProgramState program;
    FakeHost host;
    FakeFileDialogs dialogs;
    ScriptedMessages messages;
    FakeShortPaths shortPaths;
    FakeRunner runner;
    FakeOutputWindow output;
    P3dImport import{program, host, {dialogs, messages, shortPaths, runner, output, '\\'}};
};

TEST_F(P3dImportTest, WithoutPofgenCancellingTheQuestionEndsTheCommandUntouched) {
    program.settings.pofgenPath.clear();
    messages.answers = {MessageAnswer::Cancel};
    import.ImportP3dCommand();
    ASSERT_EQ(messages.shown, std::vector<std::string>{std::string(kFindPofgenQuestion)});
    EXPECT_EQ(messages.shown[0],
              "Please tell me where to find Pofgen!\r\n\r\nOK: Find Pofgen.exe\r\nCancel: Cancel Import");
    EXPECT_EQ(messages.buttonsShown[0], MessageButtons::OkCancel);
    EXPECT_EQ(host.optionsShown, 0);
    EXPECT_TRUE(host.printed.empty());
    EXPECT_TRUE(dialogs.opened.empty());
}

TEST_F(P3dImportTest, TheQuestionRepeatsWhileTheOptionsDialogLeavesNoPath) {
    program.settings.pofgenPath.clear();
    messages.answers = {MessageAnswer::Ok, MessageAnswer::Ok, MessageAnswer::Cancel};
    import.ImportP3dCommand();
    EXPECT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(host.optionsShown, 2);
    EXPECT_TRUE(dialogs.opened.empty());
}

TEST_F(P3dImportTest, APathSetInTheOptionsDialogGoesOnToTheOpenDialog) {
    program.settings.pofgenPath.clear();
    host.onOptions = [this] { program.settings.pofgenPath = "C:\\d3\\pofgen.exe"; };
    import.ImportP3dCommand();
    EXPECT_EQ(messages.shown.size(), 1u);
    ASSERT_EQ(dialogs.opened.size(), 1u);
    EXPECT_EQ(dialogs.opened[0].title, "Import P3D file");
    EXPECT_EQ(dialogs.opened[0].filter, "Parallax 3D Format(*.P3D)|*.p3d");
    EXPECT_TRUE(dialogs.opened[0].fileMustExist);
    EXPECT_EQ(dialogs.opened[0].initialPath, "");
}

TEST_F(P3dImportTest, CancellingTheOpenDialogLeavesOnlyTheBanner) {
    host.path = "C:\\old.OOF";
    host.title = "old.OOF";
    import.ImportP3dCommand();
    EXPECT_EQ(host.printed, std::vector<std::string>{std::string(kResetMessage)});
    EXPECT_TRUE(runner.commandLines.empty());
    EXPECT_TRUE(host.loads.empty());
    EXPECT_EQ(host.path, "C:\\old.OOF");
    EXPECT_EQ(host.repaints, 0);
}

TEST_F(P3dImportTest, ANameWithABlankIsHandedOverAllShort) {
    chooseBigShip();
    import.ImportP3dCommand();
    EXPECT_EQ(host.repaints, 1);
    EXPECT_EQ(runner.commandLines,
              std::vector<std::string>{"C:\\games\\descent3\\pofgen.exe -s0.03 -p C:\\MYMODE~1\\BIGSHI~1.P3D"});
    EXPECT_EQ(host.lastPath, "C:\\MYMODE~1\\BIGSHI~1.P3D");
    EXPECT_EQ(host.lastTitle, "BIGSHI~1.P3D");
    EXPECT_EQ(host.reloadEnabled, std::vector<bool>{true});
    ASSERT_EQ(host.loads.size(), 1u);
    EXPECT_EQ(host.loads[0].source, OofSource::GivenFile);
    EXPECT_EQ(host.loads[0].path, "C:\\MYMODE~1\\BIGSHI~1.OOF");
    EXPECT_EQ(host.loads[0].title, "BIGSHI~1.OOF");
    EXPECT_TRUE(output.shown.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(P3dImportTest, ANameWithoutABlankKeepsItsLongFormInAShortFolder) {
    chooseShip();
    import.ImportP3dCommand();
    EXPECT_EQ(runner.commandLines,
              std::vector<std::string>{"C:\\games\\descent3\\pofgen.exe -s0.03 -p C:\\MYMODE~1\\ship.p3d"});
    ASSERT_EQ(host.loads.size(), 1u);
    EXPECT_EQ(host.loads[0].path, "C:\\MYMODE~1\\ship.OOF");
    EXPECT_EQ(host.loads[0].title, "ship.OOF");
}

TEST_F(P3dImportTest, APofgenPathWithABlankIsQuotedAndAnEmptySwitchStringLeavesOneBlank) {
    program.settings.pofgenPath = "C:\\Program Files\\D3\\pofgen.exe";
    program.pofgenCommandLine.clear();
    chooseShip();
    import.ImportP3dCommand();
    EXPECT_EQ(runner.commandLines,
              std::vector<std::string>{"\"C:\\Program Files\\D3\\pofgen.exe\" C:\\MYMODE~1\\ship.p3d"});
}

TEST_F(P3dImportTest, AFileWithoutAShortFormStopsBeforePofgen) {
    dialogs.choose("C:\\gone\\ship.p3d", "ship.p3d");
    import.ImportP3dCommand();
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Filename 0 length!"});
    EXPECT_EQ(messages.buttonsShown[0], MessageButtons::Ok);
    EXPECT_TRUE(runner.commandLines.empty());
    EXPECT_EQ(host.path, "C:\\gone\\ship.p3d");
    EXPECT_EQ(host.title, "ship.p3d");
    EXPECT_TRUE(host.reloadEnabled.empty());
}

// A volume with short names turned off answers with the long form itself.
TEST_F(P3dImportTest, ACyrillicPathWithoutShortNamesIsReportedInsteadOfStartingPofgen) {
    const std::string path = "C:\\\xD0\x9C\xD0\xBE\xD0\xB4\\ship.p3d";  // C:\Мод\ship.p3d
    shortPaths.forms[path] = path;
    dialogs.choose(path, "ship.p3d");
    import.ImportP3dCommand();
    EXPECT_TRUE(runner.commandLines.empty());
    EXPECT_EQ(host.printed, (std::vector<std::string>{std::string(kResetMessage), NoAnsiPathMessage(path)}));
    EXPECT_EQ(host.path, path);
    EXPECT_EQ(host.title, "ship.p3d");
    EXPECT_TRUE(host.reloadEnabled.empty());
}

TEST_F(P3dImportTest, ANameOutsideTheCodePageIsHandedOverByItsShortName) {
    const std::string path = "C:\\models\\\xCE\xA9.p3d";  // C:\models\Ω.p3d
    shortPaths.forms[path] = "C:\\models\\5C2B~1.P3D";
    dialogs.choose(path, "\xCE\xA9.p3d");
    import.ImportP3dCommand();
    EXPECT_EQ(runner.commandLines,
              std::vector<std::string>{"C:\\games\\descent3\\pofgen.exe -s0.03 -p C:\\models\\5C2B~1.P3D"});
    ASSERT_EQ(host.loads.size(), 1u);
    EXPECT_EQ(host.loads[0].title, "5C2B~1.OOF");
}

TEST_F(P3dImportTest, APofgenThatCannotStartIsReportedAndNothingRemembered) {
    runner.answer = {false, ""};
    chooseShip();
    import.ImportP3dCommand();
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Error running POFGEN!"});
    EXPECT_TRUE(host.lastPath.empty());
    EXPECT_TRUE(host.reloadEnabled.empty());
    EXPECT_TRUE(host.loads.empty());
    EXPECT_TRUE(output.shown.empty());
}

TEST_F(P3dImportTest, ErrorsShowTheMessageAndTheOutputWhateverTheSetting) {
    const std::string text = std::string(300, '=') + "\r\nError Processing C:\\MYMODE~1\\ship.p3d\r\n";
    runner.answer = {true, text};
    host.lastPath = "C:\\before.p3d";
    host.lastTitle = "before.p3d";
    chooseShip();
    import.ImportP3dCommand();
    EXPECT_EQ(messages.shown, std::vector<std::string>{"POFGEN had errors. See Output for details."});
    EXPECT_EQ(output.shown, std::vector<std::string>{text});
    EXPECT_TRUE(host.loads.empty());
    EXPECT_EQ(host.lastPath, "C:\\before.p3d");
    EXPECT_EQ(host.lastTitle, "before.p3d");
    EXPECT_TRUE(host.reloadEnabled.empty());
    EXPECT_EQ(host.path, "C:\\MYMODE~1\\ship.p3d");
    EXPECT_EQ(host.title, "ship.p3d");
}

TEST_F(P3dImportTest, ASuccessfulRunShowsTheOutputOnlyWhenAsked) {
    program.settings.showPofgenOutput = kTrue;
    runner.answer = {true, "line one\r\nline two\r\n"};
    chooseShip();
    import.ImportP3dCommand();
    EXPECT_EQ(output.shown, std::vector<std::string>{"line one\r\nline two\r\n"});
    EXPECT_EQ(host.loads.size(), 1u);
}

TEST_F(P3dImportTest, ReloadCompilesTheSameFileAgainWithoutADialog) {
    chooseBigShip();
    import.ImportP3dCommand();
    import.ReloadP3d();
    EXPECT_EQ(dialogs.opened.size(), 1u);
    ASSERT_EQ(runner.commandLines.size(), 2u);
    EXPECT_EQ(runner.commandLines[1], runner.commandLines[0]);
    ASSERT_EQ(host.loads.size(), 2u);
    EXPECT_EQ(host.loads[1].path, "C:\\MYMODE~1\\BIGSHI~1.OOF");
    EXPECT_EQ(host.printed, (std::vector<std::string>{std::string(kResetMessage), std::string(kResetMessage)}));
}

TEST_F(P3dImportTest, ReloadOfAFileWithoutABlankAlsoHandsOverTheSameFile) {
    chooseShip();
    import.ImportP3dCommand();
    import.ReloadP3d();
    ASSERT_EQ(runner.commandLines.size(), 2u);
    EXPECT_EQ(runner.commandLines[1], runner.commandLines[0]);
    EXPECT_EQ(host.loads[1].title, "ship.OOF");
}

TEST_F(P3dImportTest, ReloadWithNothingRememberedSaysSoAndDisablesItself) {
    host.lastPath = "C:\\x.p3d";  // a title is needed as well
    import.ReloadP3d();
    EXPECT_EQ(host.printed, std::vector<std::string>{"\r\nNo file Imported!\r\n"});
    EXPECT_EQ(host.reloadEnabled, std::vector<bool>{false});
    EXPECT_TRUE(runner.commandLines.empty());
}

TEST_F(P3dImportTest, AReloadedFileThatWasMovedGivesTheShortPathMessage) {
    host.lastPath = "C:\\MOVED\\ship.p3d";
    host.lastTitle = "ship.p3d";
    import.ReloadP3d();
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Filename 0 length!"});
    EXPECT_TRUE(runner.commandLines.empty());
}

TEST_F(P3dImportTest, TheOofNamesReplaceWhateverTheLastThreeCharactersAre) {
    shortPaths.forms["C:\\M\\odd.P3"] = "C:\\M\\odd.P3";
    shortPaths.forms["C:\\M\\ab"] = "C:\\M\\ab";
    dialogs.choose("C:\\M\\odd.P3", "odd.P3");
    import.ImportP3d(P3dSource::AskUser);
    dialogs.choose("C:\\M\\ab", "ab");
    import.ImportP3d(P3dSource::AskUser);
    ASSERT_EQ(host.loads.size(), 2u);
    EXPECT_EQ(host.loads[0].path, "C:\\M\\oddOOF");
    EXPECT_EQ(host.loads[1].path, "C:\\MOOF");  // the rule counts characters, not the name's parts
    EXPECT_EQ(host.loads[1].title, "OOF");
}

TEST(PofgenJudgement, ErrorProcessingInAnyLetterCaseMeansFailure) {
    EXPECT_TRUE(PofgenReportedErrors("Error Processing ship.p3d"));
    EXPECT_TRUE(PofgenReportedErrors("...ERROR PROCESSING"));
    EXPECT_TRUE(PofgenReportedErrors(std::string("\0x\0error processing", 19)));
    EXPECT_FALSE(PofgenReportedErrors(""));
    EXPECT_FALSE(PofgenReportedErrors("error  processing"));
    EXPECT_FALSE(PofgenReportedErrors("Error: processing failed"));
    EXPECT_FALSE(PofgenReportedErrors("errorprocessing"));
}

}  // namespace
}  // namespace torvale
