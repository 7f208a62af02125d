#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builders/fake_platform.h"
#include "pofgen/options_presenter.h"

namespace torvale {
namespace {

using test::FakeFileDialogs;
using test::FakeFileSystem;

const char* BoxName(OptionsBox box) {
    switch (box) {
        case OptionsBox::ScaleFactor:
            return "scale";
        case OptionsBox::ErrorTolerance:
            return "tolerance";
        case OptionsBox::ChunkSplitX:
            return "X";
        case OptionsBox::ChunkSplitY:
            return "Y";
        case OptionsBox::ChunkSplitZ:
            return "Z";
        case OptionsBox::PathPofgen:
            break;
        case OptionsBox::GameFolder:
            return "game";
        case OptionsBox::RoomScale:
            return "room scale";
        case OptionsBox::TextureFolder:
            return "texture folder";
    }
    return "path";
}

// The dialog and its message boxes write into one list, so that a test sees what the box showed while a
// message was up.
struct Events {
    std::vector<std::string> list;
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const auto& e : list)
            if (e.rfind("message: ", 0) == 0)
                out.push_back(e.substr(9));
        return out;
    }
};

class RecordingMessages final : public MessageBoxes {
public:
    explicit RecordingMessages(Events& events) : events_(events) {}
    MessageAnswer Present(std::string_view text, MessageButtons buttons) override {
        EXPECT_EQ(buttons, MessageButtons::Ok);
        events_.list.push_back("message: " + std::string(text));
        return MessageAnswer::Ok;
    }

private:
    Events& events_;
};

class FakeOptionsView final : public OptionsView {
public:
    explicit FakeOptionsView(Events& events) : events_(events) {}
    void ShowFields(const OptionsFields& fields) override {
        shown = fields;
        events_.list.push_back("fields");
    }
    void ShowBoxText(OptionsBox box, const std::string& text) override {
        shown.text(box) = text;
        events_.list.push_back(std::string(BoxName(box)) + " = " + text);
    }
    void FocusBox(OptionsBox box) override { events_.list.push_back(std::string("focus ") + BoxName(box)); }
    void Repaint() override { events_.list.push_back("repaint"); }
    void Close() override { ++closes; }

    OptionsFields shown;  // what the controls hold
    int closes = 0;

private:
    Events& events_;
};

class OptionsDialog : public ::testing::Test {
protected:
    // Types `text` into a box and moves on.
    void leave(OptionsBox box, const std::string& text) {
        events.list.clear();
        presenter.fields().text(box) = text;
        presenter.LeaveBox(box);
    }
    std::string box(OptionsBox b) { return presenter.fields().text(b); }

    ProgramState program;
    Events events;
    FakeOptionsView view{events};
    FakeFileDialogs dialogs;
    RecordingMessages messages{events};
    FakeFileSystem files;
    OptionsPresenter presenter{program, view, dialogs, messages, files};
};

TEST_F(OptionsDialog, ActivationFillsEveryControlFromTheSettings) {
    Settings& s = program.settings;
    s.scaleFactor = 0.03f;
    s.errorTolerance = 0.5f;
    s.shadingMode = 2;
    s.chunkSplits = {4, 100, 255};
    s.useFirstSepPlane = kTrue;
    s.capitalShips = Flag(7);  // any non-zero value is true
    s.combineSubObjects = kFalse;
    s.pofgenPath = "C:\\tools\\pofgen.exe";
    s.showPofgenOutput = kFalse;
    presenter.Activate();

    OptionsFields expected;
    expected.scaleFactor = "0.03000000";
    expected.errorTolerance = "0.50000000";
    expected.shadingMode = 2;
    expected.chunkSplits = {"4", "100", "255"};
    expected.useFirstSepPlane = true;
    expected.capitalShips = true;
    expected.combineSubObjects = false;
    expected.pathPofgen = "C:\\tools\\pofgen.exe";
    expected.showPofgenOutput = false;
    EXPECT_EQ(presenter.fields(), expected);
    EXPECT_EQ(view.shown, expected);
}

TEST_F(OptionsDialog, DefaultSettingsShowTheControlsInitialState) {
    presenter.Activate();
    EXPECT_EQ(view.shown, OptionsFields{});
}

TEST_F(OptionsDialog, DamagedStoredValuesShowSomethingTheDialogCanTake) {
    program.settings.scaleFactor = std::numeric_limits<float>::quiet_NaN();
    program.settings.errorTolerance = std::numeric_limits<float>::infinity();
    program.settings.shadingMode = 3;
    presenter.Activate();
    EXPECT_EQ(view.shown.scaleFactor, "0.00000000");
    EXPECT_EQ(view.shown.errorTolerance, "65535.00000000");
    EXPECT_EQ(view.shown.shadingMode, 0);
}

TEST_F(OptionsDialog, ScaleFactorIsRewrittenWithEightDecimals) {
    leave(OptionsBox::ScaleFactor, "0.03");
    EXPECT_EQ(box(OptionsBox::ScaleFactor), "0.03000000");
    EXPECT_EQ(view.shown.scaleFactor, "0.03000000");
    EXPECT_TRUE(events.messages().empty());
    leave(OptionsBox::ScaleFactor, " 1 2");
    EXPECT_EQ(box(OptionsBox::ScaleFactor), "12.00000000");
}

TEST_F(OptionsDialog, ScaleFactorOfZeroOrLessIsReplacedByTheDefault) {
    for (const char* typed : {"0", "-3", "abc", "0.000000001"}) {
        leave(OptionsBox::ScaleFactor, typed);
        EXPECT_EQ(events.messages(), std::vector<std::string>{"Error: Scale Factor <= 0 Illegal!"}) << typed;
        EXPECT_EQ(box(OptionsBox::ScaleFactor), "0.02540000") << typed;
        EXPECT_EQ(view.shown.scaleFactor, "0.02540000") << typed;
    }
    EXPECT_EQ(program.settings.scaleFactor, 0.0254f);  // nothing stored by a leaving check
}

TEST_F(OptionsDialog, TooLargeToleranceShowsItsRewriteDuringTheMessage) {
    leave(OptionsBox::ErrorTolerance, "70000");
    EXPECT_EQ(events.list,
              (std::vector<std::string>{"tolerance = 70000.00000000", "message: Error: Tolerance > 65535.0000 Illegal!",
                                        "tolerance = 65535.0000"}));
    EXPECT_EQ(box(OptionsBox::ErrorTolerance), "65535.0000");
}

TEST_F(OptionsDialog, DecimalBoundariesOfBothBoxes) {
    leave(OptionsBox::ErrorTolerance, "0");
    EXPECT_TRUE(events.messages().empty());
    EXPECT_EQ(box(OptionsBox::ErrorTolerance), "0.00000000");

    leave(OptionsBox::ErrorTolerance, "-0.5");
    EXPECT_EQ(events.messages(), std::vector<std::string>{"Error: Tolerance < 0 Illegal!"});
    EXPECT_EQ(box(OptionsBox::ErrorTolerance), "0.00000000");

    leave(OptionsBox::ScaleFactor, "65535");
    EXPECT_TRUE(events.messages().empty());
    EXPECT_EQ(box(OptionsBox::ScaleFactor), "65535.00000000");

    // The rewrite decides: a hair above 65535 that rounds to it passes, one that shows in eight decimals does not.
    leave(OptionsBox::ScaleFactor, "65535.000000001");
    EXPECT_TRUE(events.messages().empty());
    leave(OptionsBox::ScaleFactor, "65535.00000001");
    EXPECT_EQ(events.messages(), std::vector<std::string>{"Error: Scale Factor > 65535.0000 Illegal!"});
    EXPECT_EQ(box(OptionsBox::ScaleFactor), "65535.0000");

    // The four-decimal replacement keeps its form until the box is checked again.
    leave(OptionsBox::ScaleFactor, "65535.0000");
    EXPECT_EQ(box(OptionsBox::ScaleFactor), "65535.00000000");
}

TEST_F(OptionsDialog, NumbersBeyondADoubleAreRefusedWithoutARewrite) {
    leave(OptionsBox::ScaleFactor, "1e999");
    EXPECT_EQ(events.list,
              (std::vector<std::string>{"message: Error: Scale Factor > 65535.0000 Illegal!", "scale = 65535.0000"}));
    leave(OptionsBox::ScaleFactor, "-1e999");
    EXPECT_EQ(events.list,
              (std::vector<std::string>{"message: Error: Scale Factor <= 0 Illegal!", "scale = 0.02540000"}));
    leave(OptionsBox::ErrorTolerance, "9e9999");
    EXPECT_EQ(events.messages(), std::vector<std::string>{"Error: Tolerance > 65535.0000 Illegal!"});
    EXPECT_EQ(box(OptionsBox::ErrorTolerance), "65535.0000");
}

TEST_F(OptionsDialog, ChunkSplitChecks) {
    struct Case {
        const char* typed;
        const char* message;  // empty: none
        const char* left;
    };
    const Case cases[] = {
        {"abc", "", "0"},
        {"-5", "Error: Chunk Splits < 0 or =1 Illegal!", "0"},
        {"1", "Error: Chunk Splits < 0 or =1 Illegal!", "0"},
        {"0.6", "Error: Chunk Splits < 0 or =1 Illegal!", "0"},  // rounds to 1
        {"1.5", "", "2"},
        {"2.5", "", "2"},
        {"0.5", "", "0"},
        {"-0.4", "", "0"},
        {"300", "Error: Chunk Splits > 255 Illegal!", "255"},
        {"255", "", "255"},
        {"9e9", "Error: Chunk Splits > 255 Illegal!", "255"},
        {" 4 ", "", "4"},
        {"007", "", "7"},
    };
    for (const Case& c : cases) {
        leave(OptionsBox::ChunkSplitY, c.typed);
        const std::vector<std::string> expected =
            *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{};
        EXPECT_EQ(events.messages(), expected) << c.typed;
        EXPECT_EQ(box(OptionsBox::ChunkSplitY), c.left) << c.typed;
        EXPECT_EQ(view.shown.chunkSplits[1], c.left) << c.typed;
    }
}

TEST_F(OptionsDialog, ATooLargeChunkSplitShowsItsRewriteFirst) {
    leave(OptionsBox::ChunkSplitZ, "300");
    EXPECT_EQ(events.list,
              (std::vector<std::string>{"Z = 300", "message: Error: Chunk Splits > 255 Illegal!", "Z = 255"}));
}

TEST_F(OptionsDialog, PathOfAnExistingPofgenIsStoredAtOnce) {
    files.ordinaryFiles = {"C:\\tools\\POFGEN.EXE", "C:\\tools\\compiler.exe", "C:\\d3\\BspGen.exe"};
    leave(OptionsBox::PathPofgen, "C:\\tools\\POFGEN.EXE");
    EXPECT_TRUE(events.messages().empty());
    EXPECT_EQ(program.settings.pofgenPath, "C:\\tools\\POFGEN.EXE");
    leave(OptionsBox::PathPofgen, "C:\\d3\\BspGen.exe");
    EXPECT_EQ(program.settings.pofgenPath, "C:\\d3\\BspGen.exe");
}

TEST_F(OptionsDialog, PathThatIsMissingOrMisnamedIsEmptied) {
    files.ordinaryFiles = {"C:\\tools\\compiler.exe"};
    files.otherEntries = {"C:\\dir\\pofgen.exe"};  // a directory of that name
    program.settings.pofgenPath = "C:\\old\\pofgen.exe";
    for (const char* typed : {"C:\\tools\\compiler.exe", "C:\\dir\\pofgen.exe", "C:\\nowhere\\pofgen.exe"}) {
        leave(OptionsBox::PathPofgen, typed);
        EXPECT_EQ(events.messages(), std::vector<std::string>{std::string(kPofgenNotFoundMessage)}) << typed;
        EXPECT_EQ(box(OptionsBox::PathPofgen), "") << typed;
        EXPECT_EQ(view.shown.pathPofgen, "") << typed;
    }
    EXPECT_EQ(program.settings.pofgenPath, "C:\\old\\pofgen.exe");

    leave(OptionsBox::PathPofgen, "");
    EXPECT_TRUE(events.list.empty());
}

TEST_F(OptionsDialog, PathLongerThanTheSettingsFileHoldsIsRefused) {
    const std::string longPath = "C:\\" + std::string(242, 'a') + "\\pofgen.exe";  // 256 characters
    ASSERT_EQ(longPath.size(), 256u);
    files.ordinaryFiles = {longPath, longPath.substr(1)};
    leave(OptionsBox::PathPofgen, longPath);
    EXPECT_EQ(events.messages(), std::vector<std::string>{std::string(kPathTooLongMessage)});
    EXPECT_EQ(box(OptionsBox::PathPofgen), "");
    EXPECT_EQ(program.settings.pofgenPath, "");

    leave(OptionsBox::PathPofgen, longPath.substr(1));  // 255 fit
    EXPECT_TRUE(events.messages().empty());
    EXPECT_EQ(program.settings.pofgenPath, longPath.substr(1));

    events.list.clear();
    presenter.PathBoxFull();
    EXPECT_EQ(events.messages(), std::vector<std::string>{std::string(kPathTooLongMessage)});
}

TEST_F(OptionsDialog, BrowseStoresAChosenCompilerAtOnce) {
    presenter.Activate();
    dialogs.choose("C:\\games\\descent3\\PofGen.exe", "PofGen.exe");
    presenter.Browse();
    ASSERT_EQ(dialogs.opened.size(), 1u);
    EXPECT_EQ(dialogs.opened[0].title, "POFGEN.EXE Path");
    EXPECT_EQ(dialogs.opened[0].filter, "POFGEN/BSPGEN |pofgen.exe;bspgen.exe");
    EXPECT_EQ(dialogs.opened[0].initialPath, "");
    EXPECT_EQ(program.settings.pofgenPath, "C:\\games\\descent3\\PofGen.exe");
    EXPECT_EQ(view.shown.pathPofgen, "C:\\games\\descent3\\PofGen.exe");
}

TEST_F(OptionsDialog, BrowseIgnoresOtherNamesWithoutAMessage) {
    program.settings.pofgenPath = "C:\\d3\\bspgen.exe";
    presenter.fields().pathPofgen = "typed but not checked";
    dialogs.choose("C:\\tools\\compiler.exe", "compiler.exe");
    presenter.Browse();
    EXPECT_TRUE(events.messages().empty());
    EXPECT_EQ(program.settings.pofgenPath, "C:\\d3\\bspgen.exe");
    EXPECT_EQ(box(OptionsBox::PathPofgen), "C:\\d3\\bspgen.exe");
}

TEST_F(OptionsDialog, CancelledBrowseKeepsTheNameChosenLastInThisShowing) {
    presenter.Browse();  // first Browse cancelled: the name is empty, nothing stored
    EXPECT_EQ(program.settings.pofgenPath, "");

    dialogs.choose("C:\\a\\pofgen.exe", "pofgen.exe");
    presenter.Browse();
    program.settings.pofgenPath = "C:\\b\\pofgen.exe";  // as a path box check would
    dialogs.cancel();
    presenter.Browse();
    EXPECT_EQ(dialogs.opened.back().initialPath, "C:\\a\\pofgen.exe");
    EXPECT_EQ(program.settings.pofgenPath, "C:\\a\\pofgen.exe");
    EXPECT_EQ(box(OptionsBox::PathPofgen), "C:\\a\\pofgen.exe");
}

TEST_F(OptionsDialog, BrowseRefusesANameTooLongToStore) {
    const std::string longPath = "C:\\" + std::string(300, 'x') + "\\pofgen.exe";
    program.settings.pofgenPath = "C:\\d3\\pofgen.exe";
    dialogs.choose(longPath, "pofgen.exe");
    presenter.Browse();
    EXPECT_EQ(events.messages(), std::vector<std::string>{std::string(kPathTooLongMessage)});
    EXPECT_EQ(program.settings.pofgenPath, "C:\\d3\\pofgen.exe");
}

TEST_F(OptionsDialog, ResetChangesTheControlsButNotTheSettingsOrThePath) {
    program.settings.scaleFactor = 0.5f;
    program.settings.chunkSplits = {9, 9, 9};
    program.settings.capitalShips = kTrue;
    program.settings.combineSubObjects = kFalse;
    program.settings.showPofgenOutput = kFalse;
    program.settings.pofgenPath = "C:\\d3\\pofgen.exe";
    const Settings before = program.settings;
    presenter.Activate();
    presenter.fields().pathPofgen = "typed";
    presenter.ResetToDefaults();

    OptionsFields expected;
    expected.pathPofgen = "typed";
    EXPECT_EQ(view.shown, expected);
    EXPECT_EQ(events.list.back(), "repaint");

    presenter.Cancel();
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(program.settings.scaleFactor, before.scaleFactor);
    EXPECT_EQ(program.settings.chunkSplits, before.chunkSplits);
    EXPECT_EQ(program.settings.capitalShips, before.capitalShips);
    EXPECT_EQ(program.settings.combineSubObjects, before.combineSubObjects);
    EXPECT_EQ(program.settings.showPofgenOutput, before.showPofgenOutput);
    EXPECT_EQ(program.settings.pofgenPath, before.pofgenPath);
}

TEST_F(OptionsDialog, ResetThenOkStoresTheDefaultsSilently) {
    program.settings.scaleFactor = 0.5f;
    program.settings.errorTolerance = 2.0f;
    program.settings.shadingMode = 1;
    program.settings.chunkSplits = {9, 9, 9};
    program.settings.subObjSepPlanes = kTrue;
    program.settings.animationOutput = kTrue;
    program.settings.combineSubObjects = kFalse;
    program.settings.showPofgenOutput = kFalse;
    program.settings.pofgenPath = "C:\\d3\\pofgen.exe";
    program.pofgenCommandLine = "-s0.5 ";
    presenter.Activate();
    presenter.ResetToDefaults();
    events.list.clear();
    EXPECT_TRUE(presenter.Ok());

    Settings expected;
    expected.pofgenPath = "C:\\d3\\pofgen.exe";
    const Settings& s = program.settings;
    EXPECT_EQ(s.scaleFactor, expected.scaleFactor);
    EXPECT_EQ(s.errorTolerance, 0.0f);
    EXPECT_EQ(s.shadingMode, 0);
    EXPECT_EQ(s.chunkSplits, expected.chunkSplits);
    EXPECT_EQ(s.subObjSepPlanes, kFalse);
    EXPECT_EQ(s.animationOutput, kFalse);
    EXPECT_EQ(s.combineSubObjects, kTrue);
    EXPECT_EQ(s.showPofgenOutput, kTrue);
    EXPECT_EQ(s.pofgenPath, expected.pofgenPath);
    EXPECT_EQ(program.pofgenCommandLine, "");
    EXPECT_TRUE(events.messages().empty());
    EXPECT_EQ(view.closes, 1);
}

TEST_F(OptionsDialog, OkStoresEveryControlAndShowsTheCommandLine) {
    presenter.Activate();
    OptionsFields& f = presenter.fields();
    f.scaleFactor = "0.03000000";
    f.errorTolerance = "0.50000000";
    f.shadingMode = 1;
    f.chunkSplits = {"4", "4", "4"};
    f.subObjSepPlanes = true;
    f.useFirstSepPlane = true;
    f.conflictSplitRatio = true;
    f.useLocalSepPlanes = true;
    f.combineObjects = true;
    f.animationOutput = true;
    f.capitalShips = true;
    f.combineSubObjects = false;
    f.pathPofgen = "not checked.exe";  // stored unchanged
    f.showPofgenOutput = false;
    EXPECT_TRUE(presenter.Ok());

    const std::string line = "-s0.03000000 -e0.50000000 -d1 -n4,4,4 -p -f -m -g -1 -a -b ";
    EXPECT_EQ(program.pofgenCommandLine, line);
    EXPECT_EQ(events.messages(), std::vector<std::string>{"Command line to send to POFGEN.EXE: " + line});
    const Settings& s = program.settings;
    EXPECT_EQ(s.scaleFactor, 0.03f);
    EXPECT_EQ(s.errorTolerance, 0.5f);
    EXPECT_EQ(s.shadingMode, 1);
    EXPECT_EQ(s.chunkSplits, (std::array<std::uint8_t, 3>{4, 4, 4}));
    for (Flag flag : {s.subObjSepPlanes, s.useFirstSepPlane, s.conflictSplitRatio, s.useLocalSepPlanes,
                      s.combineObjects, s.animationOutput, s.capitalShips})
        EXPECT_EQ(flag, kTrue);
    EXPECT_EQ(s.combineSubObjects, kFalse);
    EXPECT_EQ(s.pofgenPath, "not checked.exe");
    EXPECT_EQ(s.showPofgenOutput, kFalse);
    EXPECT_EQ(view.closes, 1);
}

TEST_F(OptionsDialog, ShadingOptionTwoGivesItsSwitch) {
    presenter.Activate();
    presenter.fields().shadingMode = 2;
    presenter.Ok();
    EXPECT_EQ(program.pofgenCommandLine, "-d2 ");
    EXPECT_EQ(program.settings.shadingMode, 2);
}

TEST_F(OptionsDialog, MixedChunkSplitsKeepTheDialogOpenWithTheFocusOnTheFirstZero) {
    struct Case {
        std::array<std::string, 3> texts;
        const char* focus;
    };
    const Case cases[] = {
        {{"0", "4", "4"}, "focus X"},   {{"4", "4", "0"}, "focus Z"},
        {{"4", "0", "0"}, "focus Y"},   {{"0.4", "4", "4"}, "focus X"},  // typed, then Enter: stored as 0
        {{"4", "abc", "4"}, "focus Y"},
    };
    for (const Case& c : cases) {
        program.settings = Settings{};
        program.pofgenCommandLine = "unchanged";
        presenter.Activate();
        presenter.fields().chunkSplits = c.texts;
        presenter.fields().scaleFactor = "0.5";
        events.list.clear();
        EXPECT_FALSE(presenter.Ok());
        EXPECT_EQ(events.list,
                  (std::vector<std::string>{"message: Invalid Chunk Size! Must be all 0's or all above 0!", c.focus}));
        EXPECT_EQ(program.settings.scaleFactor, 0.0254f);
        EXPECT_EQ(program.pofgenCommandLine, "unchanged");
        EXPECT_EQ(view.closes, 0);
    }
}

TEST_F(OptionsDialog, AllZeroChunkSplitsGiveNoSwitch) {
    presenter.Activate();
    presenter.fields().chunkSplits = {"0", "0", "0"};
    EXPECT_TRUE(presenter.Ok());
    EXPECT_EQ(program.pofgenCommandLine, "");
}

TEST_F(OptionsDialog, EnterWhileTypingUsesTheTextAsTyped) {
    presenter.Activate();
    presenter.fields().scaleFactor = "0.03";
    presenter.fields().chunkSplits = {"2.5", "100", "100"};
    EXPECT_TRUE(presenter.Ok());
    EXPECT_EQ(program.pofgenCommandLine, "-s0.03 -n2.5,100,100 ");
    EXPECT_EQ(program.settings.scaleFactor, 0.03f);
    EXPECT_EQ(program.settings.chunkSplits, (std::array<std::uint8_t, 3>{2, 100, 100}));
}

TEST_F(OptionsDialog, EnterWhileTypingClampsNumbersIntoTheBoxesRanges) {
    presenter.Activate();
    OptionsFields& f = presenter.fields();
    f.scaleFactor = "1e999";
    f.errorTolerance = "-2";
    f.chunkSplits = {"300", "9e9", "255.4"};
    EXPECT_TRUE(presenter.Ok());
    EXPECT_EQ(program.pofgenCommandLine, "-s65535.0000 -n255,255,255.4 ");
    EXPECT_EQ(program.settings.scaleFactor, 65535.0f);
    EXPECT_EQ(program.settings.errorTolerance, 0.0f);
    EXPECT_EQ(program.settings.chunkSplits, (std::array<std::uint8_t, 3>{255, 255, 255}));
}

TEST_F(OptionsDialog, EnterWhileTypingANegativeScaleFactorStoresZeroAndNoSwitch) {
    presenter.Activate();
    presenter.fields().scaleFactor = "-0.5";
    presenter.fields().errorTolerance = "70000";
    presenter.fields().chunkSplits = {"-5", "-1", "0"};
    EXPECT_TRUE(presenter.Ok());
    EXPECT_EQ(program.pofgenCommandLine, "-e65535.0000 ");
    EXPECT_EQ(program.settings.scaleFactor, 0.0f);
    EXPECT_EQ(program.settings.errorTolerance, 65535.0f);
    EXPECT_EQ(program.settings.chunkSplits, (std::array<std::uint8_t, 3>{0, 0, 0}));
}

TEST_F(OptionsDialog, OkRefusesAPathTooLongToStore) {
    presenter.Activate();
    presenter.fields().pathPofgen = std::string(256, 'p');
    EXPECT_FALSE(presenter.Ok());
    EXPECT_EQ(events.messages(), std::vector<std::string>{std::string(kPathTooLongMessage)});
    EXPECT_EQ(events.list.back(), "focus path");
    EXPECT_EQ(program.settings.pofgenPath, "");
    EXPECT_EQ(view.closes, 0);
}

TEST_F(OptionsDialog, RoomSettingsComeFromTorvaleCfgAndGoBackOnOk) {
    program.config.values.reverseFaces = true;
    program.config.values.gameFolder = "C:\\Games\\Descent3; D:\\m.mn3";
    presenter.Activate();
    EXPECT_TRUE(presenter.fields().reverseFaces);
    EXPECT_EQ(box(OptionsBox::GameFolder), "C:\\Games\\Descent3; D:\\m.mn3");

    dialogs.choose("E:\\D3", "D3");
    presenter.BrowseGameFolder();
    ASSERT_EQ(dialogs.folders.size(), 1u);
    EXPECT_EQ(dialogs.folders[0].initialPath, "C:\\Games\\Descent3");  // the first of the paths
    EXPECT_EQ(box(OptionsBox::GameFolder), "E:\\D3");
    dialogs.cancel();
    presenter.BrowseGameFolder();
    EXPECT_EQ(box(OptionsBox::GameFolder), "E:\\D3");

    presenter.fields().reverseFaces = false;
    presenter.Ok();
    EXPECT_FALSE(program.config.values.reverseFaces);
    EXPECT_EQ(program.config.values.gameFolder, "E:\\D3");
}

// The room scale: any finite factor above 0; anything else is refused and the box goes back to 1.
TEST_F(OptionsDialog, RoomScaleTakesFiniteFactorsAboveZero) {
    program.config.values.roomScale = 2.5;
    presenter.Activate();
    EXPECT_EQ(box(OptionsBox::RoomScale), "2.5");
    const struct {
        const char* typed;
        const char* shown;
        bool refused;
    } cases[] = {{"100", "100", false}, {" 0.0254", "0.0254", false}, {"1e3", "1000", false}, {"0", "1", true},
                 {"-1", "1", true},     {"nan", "1", true},           {"1e999", "1", true},   {"", "1", true}};
    for (const auto& c : cases) {
        leave(OptionsBox::RoomScale, c.typed);
        EXPECT_EQ(box(OptionsBox::RoomScale), c.shown) << c.typed;
        EXPECT_EQ(events.messages(),
                  c.refused ? std::vector<std::string>{std::string(kRoomScaleMessage)} : std::vector<std::string>{})
            << c.typed;
    }
    // OK with a refused factor typed and Enter pressed: the dialog stays open and the setting keeps its value.
    presenter.fields().roomScale = "-3";
    events.list.clear();
    EXPECT_FALSE(presenter.Ok());
    EXPECT_EQ(events.list.back(), "focus room scale");
    EXPECT_EQ(program.config.values.roomScale, 2.5);
    presenter.fields().roomScale = "100";
    EXPECT_TRUE(presenter.Ok());
    EXPECT_EQ(program.config.values.roomScale, 100.0);
}

TEST_F(OptionsDialog, TextureFolderComesFromTorvaleCfgAndGoesBackOnOkOnly) {
    program.config.values.textureFolder = "C:\\Mods\\Textures";
    presenter.Activate();
    EXPECT_EQ(box(OptionsBox::TextureFolder), "C:\\Mods\\Textures");

    dialogs.choose("E:\\Tex", "Tex");
    presenter.BrowseTextureFolder();
    ASSERT_EQ(dialogs.folders.size(), 1u);
    EXPECT_EQ(dialogs.folders[0].title, "Texture folder");
    EXPECT_EQ(dialogs.folders[0].initialPath, "C:\\Mods\\Textures");
    EXPECT_EQ(box(OptionsBox::TextureFolder), "E:\\Tex");
    EXPECT_EQ(box(OptionsBox::GameFolder), "");  // the other folder box is left alone
    dialogs.cancel();
    presenter.BrowseTextureFolder();
    EXPECT_EQ(box(OptionsBox::TextureFolder), "E:\\Tex");
    // A place on this computer, not a preference: Reset To Defaults keeps it.
    presenter.ResetToDefaults();
    EXPECT_EQ(box(OptionsBox::TextureFolder), "E:\\Tex");
    EXPECT_EQ(program.config.values.textureFolder, "C:\\Mods\\Textures");  // nothing stored before OK

    leave(OptionsBox::TextureFolder, "F:\\typed here");
    EXPECT_TRUE(events.messages().empty());
    EXPECT_TRUE(presenter.Ok());
    EXPECT_EQ(program.config.values.textureFolder, "F:\\typed here");
}

}  // namespace
}  // namespace torvale
