#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#include "app/import_oof.h"
#include "builders/bytes.h"
#include "builders/fake_platform.h"
#include "builders/model_builder.h"
#include "builders/oof_builder.h"

namespace torvale {
namespace {

using test::Bytes;
using test::MainWindowHarness;

const std::string kTitle = "TORVALE Conversion Utility";

// A file that is no OOF file at all: its identifier is wrong.
Bytes WrongIdentifier() {
    test::OofBuilder b(2300, "XSPO");
    b.txtr({test::Stored("rock1")});
    return b.bytes();
}

// A sound header with a sub-object whose vertex count is negative: data the model cannot take.
Bytes NegativeVertexCount() {
    test::OofBuilder b(2300);
    b.ohdr({});
    test::SobjFields s;
    s.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    b.sobj(s);
    b.patchI32("SOBJ1.vertices", -3);
    return b.bytes();
}

std::string AfterBanner(const OutputLog& log) {
    EXPECT_EQ(log.text().rfind(Banner(), 0), 0u) << "the log does not start with the banner";
    return log.text().substr(Banner().size());
}

TEST(ImportOof, OpenDialogAsksForAnExistingOofFile) {
    MainWindowHarness h;
    h.window.Load();
    h.dialogs.cancel();
    h.window.ImportOof(OofSource::AskUser);
    ASSERT_EQ(h.dialogs.opened.size(), 1u);
    const FileDialogRequest& request = h.dialogs.opened[0];
    EXPECT_EQ(request.title, "Import OOF file");
    EXPECT_EQ(request.filter, "Outrage Object Format(*.OOF)|*.oof");
    EXPECT_EQ(request.initialPath, "");
    EXPECT_TRUE(request.fileMustExist);
}

TEST(ImportOof, GoodFileShowsTheReportEnablesExportAndNamesItInTheCaption) {
    MainWindowHarness h;
    h.window.Load();
    h.window.log().PrintOutput("\r\nleft from before\r\n");
    h.importFile("ship.oof", test::SampleOof());

    const std::string log = AfterBanner(h.window.log());
    EXPECT_EQ(log.find("left from before"), std::string::npos);
    EXPECT_GT(log.size(), 200u);  // the report
    const std::string closing = "    \r\nFinished loading ship.oof\r\n";
    EXPECT_EQ(log.substr(log.size() - closing.size()), closing);
    EXPECT_EQ(h.window.caption(), kTitle + " - ship.oof");
    EXPECT_EQ(h.view.caption, kTitle + " - ship.oof");
    EXPECT_TRUE(h.window.exportEnabled());
    EXPECT_TRUE(h.view.menuEnabled.at(MenuItem::FileExport));
    EXPECT_FALSE(h.view.menuEnabled.at(MenuItem::ReloadP3D));
    EXPECT_EQ(h.window.modelPath, h.dir / "ship.oof");
    EXPECT_EQ(h.window.modelTitle, "ship.oof");
    EXPECT_EQ(h.window.oofModel().subObjectCount, 3);
    EXPECT_EQ(h.view.repaints, 1);
}

TEST(ImportOof, WrongIdentifierLeavesOnlyTheErrorLineAndDisablesExport) {
    MainWindowHarness h;
    h.window.Load();
    h.importFile("good.oof", test::SampleOof());
    ASSERT_TRUE(h.window.exportEnabled());

    h.importFile("ship.oof", WrongIdentifier());
    EXPECT_EQ(h.window.log().text(), Banner() + "    \r\nError reading ship.oof Not a valid OOF!\r\n");
    EXPECT_FALSE(h.window.exportEnabled());
    EXPECT_FALSE(h.view.menuEnabled.at(MenuItem::FileExport));
    EXPECT_EQ(h.window.caption(), kTitle);
    EXPECT_EQ(h.view.caption, kTitle);
    EXPECT_EQ(h.window.modelPath, "");
    EXPECT_EQ(h.window.modelTitle, "");
}

TEST(ImportOof, DataTheModelCannotTakeIsReportedThenFailsLikeAnInvalidFile) {
    MainWindowHarness h;
    h.window.Load();
    h.importFile("bad.oof", NegativeVertexCount());
    const std::string log = AfterBanner(h.window.log());
    const std::size_t reason = log.find("\r\nError: SOBJ at byte ");
    ASSERT_NE(reason, std::string::npos) << log;
    const std::size_t closing = log.find("\r\nError reading bad.oof Not a valid OOF!\r\n");
    ASSERT_NE(closing, std::string::npos) << log;
    EXPECT_LT(reason, closing);
    EXPECT_FALSE(h.window.exportEnabled());
    EXPECT_EQ(h.window.caption(), kTitle);
    EXPECT_EQ(h.window.modelTitle, "");
}

TEST(ImportOof, CancelAfterASuccessfulLoadOnlyResetsTheLog) {
    MainWindowHarness h;
    h.window.Load();
    h.importFile("ship.oof", test::SampleOof());
    h.dialogs.cancel();
    h.window.ImportOof(OofSource::AskUser);
    EXPECT_EQ(h.window.log().text(), Banner());
    EXPECT_TRUE(h.window.exportEnabled());
    EXPECT_EQ(h.window.caption(), kTitle + " - ship.oof");
    EXPECT_EQ(h.window.modelPath, h.dir / "ship.oof");
    EXPECT_EQ(h.window.modelTitle, "ship.oof");
    EXPECT_EQ(h.window.oofModel().subObjectCount, 3);
    EXPECT_EQ(h.view.repaints, 1);  // only the confirmed dialog repainted
}

TEST(ImportOof, DialogWithoutAFileTitleEndsSilentlyKeepingWhatItReturned) {
    MainWindowHarness h;
    h.window.Load();
    h.dialogs.choose(h.dir / "ship.oof", "");
    h.window.ImportOof(OofSource::AskUser);
    EXPECT_EQ(h.window.log().text(), Banner());
    EXPECT_EQ(h.window.modelPath, h.dir / "ship.oof");
    EXPECT_EQ(h.window.modelTitle, "");
    EXPECT_FALSE(h.window.exportEnabled());
    EXPECT_EQ(h.window.caption(), kTitle);
}

TEST(ImportOof, SkippingTheDialogResetsTheLogAndLoadsTheNamedFile) {
    MainWindowHarness h;
    h.window.Load();
    h.window.log().PrintOutput("\r\nPOFGEN said something\r\n");
    ASSERT_TRUE(test::WriteTestFile(h.dir / "ship.oof", test::SampleOof()));
    h.window.modelPath = h.dir / "ship.oof";
    h.window.modelTitle = "ship.oof";
    h.window.ImportOof(OofSource::GivenFile);
    EXPECT_TRUE(h.dialogs.opened.empty());
    EXPECT_EQ(h.window.log().text().rfind(Banner() + "    \r\n", 0), 0u);
    EXPECT_EQ(h.window.log().text().find("POFGEN said"), std::string::npos);
    EXPECT_TRUE(h.window.exportEnabled());
    EXPECT_EQ(h.window.caption(), kTitle + " - ship.oof");
}

TEST(ImportOof, FileThatCannotBeOpenedSaysWhyAndFails) {
    MainWindowHarness h;
    h.window.Load();
    h.window.modelPath = h.dir / "gone.oof";
    h.window.modelTitle = "gone.oof";
    h.window.ImportOof(OofSource::GivenFile);
    const std::string log = AfterBanner(h.window.log());
    const std::string reason = "    \r\nError: cannot open " + (h.dir / "gone.oof") + ": ";
    const std::string closing = "    \r\nError reading gone.oof Not a valid OOF!\r\n";
    EXPECT_EQ(log.rfind(reason, 0), 0u) << log;
    ASSERT_GT(log.size(), reason.size() + closing.size());
    EXPECT_EQ(log.substr(log.size() - closing.size()), closing);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4);  // two messages of one line each
    EXPECT_FALSE(h.window.exportEnabled());
    EXPECT_EQ(h.window.modelPath, "");
}

namespace fs = std::filesystem;
using test::RecordingSink;

// The load-and-report itself, as the command-line tool calls it (the system's reason returned, not logged).
class OofImport : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("torvale_import_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                std::to_string(std::random_device{}()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir_ / "ship.oof", fs::perms::owner_all, ignored);
        fs::remove_all(dir_, ignored);
    }
    std::string path(const char* name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

TEST_F(OofImport, LoadedFileEndsWithFinishedLoading) {
    ASSERT_TRUE(test::WriteTestFile(path("ship.oof"), test::SampleOof()));
    ObjectModel model;
    RecordingSink log;
    std::string error = "stale";
    EXPECT_EQ(test::ImportOof(path("ship.oof"), "ship.oof", model, log, {}, &error), kOofLoaded);
    EXPECT_EQ(log.messages.front(), "\r\nOpened ship.oof\r\n");
    EXPECT_EQ(log.messages.back(), "\r\nFinished loading ship.oof\r\n");
    EXPECT_EQ(error, "");
    EXPECT_EQ(model.subObjects.size(), 3u);
}

TEST_F(OofImport, MissingFileIsNotCreatedAndGivesOnlyTheErrorLine) {
    ObjectModel model;
    RecordingSink log;
    std::string error;
    EXPECT_EQ(test::ImportOof(path("missing.oof"), "missing.oof", model, log, {}, &error), kOofInvalid);
    EXPECT_EQ(log.messages, std::vector<std::string>{"\r\nError reading missing.oof Not a valid OOF!\r\n"});
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(path("missing.oof")));
}

TEST_F(OofImport, ReadOnlyFileLoadsAndStaysAsItWas) {
    ASSERT_TRUE(test::WriteTestFile(path("ship.oof"), test::SampleOof()));
    fs::permissions(path("ship.oof"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ObjectModel model;
    RecordingSink log;
    EXPECT_EQ(test::ImportOof(path("ship.oof"), "ship.oof", model, log), kOofLoaded);
    EXPECT_EQ(test::ReadTestFile(path("ship.oof")), test::SampleOof());
}

TEST_F(OofImport, CutShortPOFGENTextStillFinishesLoading) {
    test::OofBuilder b(2300);
    b.pinf("abc").statedLength(10);
    ASSERT_TRUE(test::WriteTestFile(path("ship.oof"), b.bytes()));
    ObjectModel model;
    RecordingSink log;
    EXPECT_EQ(test::ImportOof(path("ship.oof"), "ship.oof", model, log), kOofLoaded);
    EXPECT_EQ(log.messages[log.messages.size() - 2], "\r\nPOF contained incorrect data");
    EXPECT_EQ(log.messages.back(), "\r\nFinished loading ship.oof\r\n");
}

}  // namespace
}  // namespace torvale
