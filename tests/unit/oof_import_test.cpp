#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/import_oof.h"
#include "app/output_log.h"
#include "builders/oof_builder.h"

namespace torvale {
namespace {

namespace fs = std::filesystem;
using test::RecordingSink;

class OofImport : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("torvale_import_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
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
    EXPECT_EQ(LoadOofFile(path("ship.oof"), "ship.oof", model, log, {}, &error), kOofLoaded);
    EXPECT_EQ(log.messages.front(), "\r\nOpened ship.oof\r\n");
    EXPECT_EQ(log.messages.back(), "\r\nFinished loading ship.oof\r\n");
    EXPECT_EQ(error, "");
    EXPECT_EQ(model.subObjects.size(), 3u);
}

TEST_F(OofImport, MissingFileIsNotCreatedAndGivesOnlyTheErrorLine) {
    ObjectModel model;
    RecordingSink log;
    std::string error;
    EXPECT_EQ(LoadOofFile(path("missing.oof"), "missing.oof", model, log, {}, &error), kOofInvalid);
    EXPECT_EQ(log.messages, std::vector<std::string>{"\r\nError reading missing.oof Not a valid OOF!\r\n"});
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(path("missing.oof")));
}

TEST_F(OofImport, ReadOnlyFileLoadsAndStaysAsItWas) {
    ASSERT_TRUE(test::WriteTestFile(path("ship.oof"), test::SampleOof()));
    fs::permissions(path("ship.oof"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ObjectModel model;
    RecordingSink log;
    EXPECT_EQ(LoadOofFile(path("ship.oof"), "ship.oof", model, log), kOofLoaded);
    EXPECT_EQ(test::ReadTestFile(path("ship.oof")), test::SampleOof());
}

TEST_F(OofImport, WrongIdentifierGivesOnlyTheErrorLine) {
    ASSERT_TRUE(test::WriteTestFile(path("ship.oof"), test::OofBuilder(2300, "RIFF").bytes()));
    ObjectModel model;
    RecordingSink log;
    EXPECT_EQ(LoadOofFile(path("ship.oof"), "ship.oof", model, log), kOofInvalid);
    EXPECT_EQ(log.messages, std::vector<std::string>{"\r\nError reading ship.oof Not a valid OOF!\r\n"});
}

TEST_F(OofImport, RefusedFileShowsTheReasonThenTheErrorLine) {
    ASSERT_TRUE(test::WriteTestFile(path("ship.oof"), test::OofBuilder(2300).sobj({}).bytes()));
    ObjectModel model;
    RecordingSink log;
    EXPECT_EQ(LoadOofFile(path("ship.oof"), "ship.oof", model, log), kOofInvalid);
    ASSERT_GE(log.messages.size(), 2u);
    EXPECT_EQ(log.messages[log.messages.size() - 2],
              "\r\nError: SOBJ at byte 8 comes before the object header (OHDR)\r\n");
    EXPECT_EQ(log.messages.back(), "\r\nError reading ship.oof Not a valid OOF!\r\n");
}

TEST_F(OofImport, CutShortPOFGENTextStillFinishesLoading) {
    test::OofBuilder b(2300);
    b.pinf("abc").statedLength(10);
    ASSERT_TRUE(test::WriteTestFile(path("ship.oof"), b.bytes()));
    ObjectModel model;
    RecordingSink log;
    EXPECT_EQ(LoadOofFile(path("ship.oof"), "ship.oof", model, log), kOofLoaded);
    EXPECT_EQ(log.messages[log.messages.size() - 2], "\r\nPOF contained incorrect data");
    EXPECT_EQ(log.messages.back(), "\r\nFinished loading ship.oof\r\n");
}

}  // namespace
}  // namespace torvale
