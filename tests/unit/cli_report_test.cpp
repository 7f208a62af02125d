#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>

#include "app/import_oof.h"
#include "app/output_log.h"
#include "builders/model_builder.h"
#include "builders/oof_builder.h"
#include "cli/commands.h"

namespace torvale::cli {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome Report(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    CommandContext context{std::move(args), "", out, err};
    const int status = RunReport(context);
    return {status, out.str(), err.str()};
}

class CliReport : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("torvale_cli_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                std::to_string(std::random_device{}()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const char* name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

// Standard output is exactly what the log holds after an import, without the banner.
TEST_F(CliReport, PrintsWhatTheLogReceivesWithoutTheBanner) {
    ASSERT_TRUE(test::WriteTestFile(path("ship.oof"), test::SampleOof()));
    const Outcome run = Report({path("ship.oof")});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.err, "");

    OutputLog log;
    log.PrintOutput(kResetMessage);
    ObjectModel model;
    ASSERT_EQ(test::ImportOof(path("ship.oof"), "ship.oof", model, log), kOofLoaded);
    ASSERT_LT(log.text().size(), kOutputLogLimit);  // the log never had to clear itself
    EXPECT_EQ(run.out, ToPlatformLineBreaks(log.text().substr(Banner().size())));
    EXPECT_TRUE(run.out.starts_with(ToPlatformLineBreaks("    \r\nOpened ship.oof\r\n")));
    EXPECT_TRUE(run.out.ends_with(ToPlatformLineBreaks("    \r\nFinished loading ship.oof\r\n")));
}

TEST_F(CliReport, InvalidModelExitsWithOne) {
    ASSERT_TRUE(test::WriteTestFile(path("bad.oof"), test::OofBuilder(2300).ohdr({0}).bytes()));
    const Outcome run = Report({path("bad.oof")});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_NE(run.out.find("Error: OHDR at byte 16 announces 0 sub-objects"), std::string::npos);
    EXPECT_TRUE(run.out.ends_with(ToPlatformLineBreaks("    \r\nError reading bad.oof Not a valid OOF!\r\n")));
    EXPECT_EQ(run.err, "");
}

TEST_F(CliReport, UnreadableFileSaysWhyOnStandardError) {
    const std::string missing = path("ship.oof");
    const Outcome run = Report({missing});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_EQ(run.out, ToPlatformLineBreaks("    \r\nError reading ship.oof Not a valid OOF!\r\n"));
    const std::string prefix = "torvale-cli: cannot read " + missing + ": ";
    EXPECT_TRUE(run.err.starts_with(prefix)) << run.err;
    EXPECT_GT(run.err.size(), prefix.size() + 1);  // the system's reason follows
    EXPECT_TRUE(run.err.ends_with("\n"));
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(CliReport, UsageErrorsExitWithTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{{}, {"a.oof", "b.oof"}, {"--verbose", "a.oof"}}) {
        const Outcome run = Report(args);
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("Usage: torvale-cli report FILE"), std::string::npos);
    }
}

TEST_F(CliReport, HelpGoesToStandardOutput) {
    const Outcome run = Report({"--help"});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out.substr(0, 30), "Usage: torvale-cli report FILE");
    EXPECT_EQ(run.err, "");
}

TEST_F(CliReport, ADashNamedFileFollowsTheEndOfOptions) {
    ASSERT_TRUE(test::WriteTestFile(path("-ship.oof"), test::SampleOof()));
    const fs::path previous = fs::current_path();
    fs::current_path(dir_);
    const Outcome run = Report({"--", "-ship.oof"});
    fs::current_path(previous);
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_NE(run.out.find("Opened -ship.oof"), std::string::npos);
}

}  // namespace
}  // namespace torvale::cli
