#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "app/settings_file.h"
#include "builders/fake_platform.h"
#include "builders/settings_builder.h"

namespace torvale {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ReadTestFile;
using test::WriteTestFile;

class SettingsSave : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return scratch_ / name; }
    std::set<std::string> entries() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.insert(entry.path().filename().string());
        return names;
    }

    test::ScratchDirectory scratch_{"settings-save"};  // a fresh directory per test, removed afterwards
    fs::path dir_{scratch_.path()};
};

TEST_F(SettingsSave, SaveThenLoadGivesTheSameRecord) {
    const std::string file = path("TORVALE.ini");
    std::string error;
    ASSERT_TRUE(SaveSettings(file, test::DistinctSettings(), error)) << error;
    EXPECT_EQ(ReadTestFile(file), test::SettingsFileBytes(test::DistinctSettings()));
    Settings loaded;
    ASSERT_TRUE(LoadSettings(file, loaded, error)) << error;
    EXPECT_EQ(test::SettingsFileBytes(loaded), test::SettingsFileBytes(test::DistinctSettings()));
    EXPECT_EQ(entries(), std::set<std::string>{"TORVALE.ini"});  // no temporary file left
}

TEST_F(SettingsSave, SavingOverALongerFileLeavesNoTrailingBytes) {
    const std::string file = path("TORVALE.ini");
    ASSERT_TRUE(WriteTestFile(file, Bytes(300, 0xEE)));
    std::string error;
    ASSERT_TRUE(SaveSettings(file, Settings{}, error)) << error;
    EXPECT_EQ(ReadTestFile(file), test::SettingsFileBytes(Settings{}));
    EXPECT_EQ(fs::file_size(file), 52u);
}

TEST_F(SettingsSave, LoadingAMissingFileFailsWithAReasonAndKeepsTheRecord) {
    const std::string file = path("TORVALE.ini");
    Settings settings = test::DistinctSettings();
    std::string error;
    EXPECT_FALSE(LoadSettings(file, settings, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::SettingsFileBytes(settings), test::SettingsFileBytes(test::DistinctSettings()));
}

TEST_F(SettingsSave, SaveThatCannotReplaceTheTargetFailsWithAReasonAndLeavesNothingBehind) {
    // The target is a directory holding a file: it cannot be replaced by a file.
    const std::string target = path("TORVALE.ini");
    fs::create_directories(target);
    ASSERT_TRUE(WriteTestFile(target + "/keep", Bytes{1, 2, 3}));
    std::string error;
    EXPECT_FALSE(SaveSettings(target, Settings{}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(ReadTestFile(target + "/keep"), (Bytes{1, 2, 3}));
    EXPECT_EQ(entries(), std::set<std::string>{"TORVALE.ini"});

    // A target in a directory that does not exist: nothing is created.
    EXPECT_FALSE(SaveSettings(path("missing/TORVALE.ini"), Settings{}, error));
    EXPECT_EQ(entries(), std::set<std::string>{"TORVALE.ini"});
}

#ifndef _WIN32
// The new file cannot be written completely (a file size limit makes the write fail, even for root): the old
// file stays byte for byte and no partial file is left.
TEST_F(SettingsSave, FailedWriteLeavesTheOldFileByteForByte) {
    const std::string file = path("TORVALE.ini");
    const Bytes old = test::SettingsFileBytes(test::DistinctSettings());
    ASSERT_TRUE(WriteTestFile(file, old));

    Settings bigger = test::DistinctSettings();
    bigger.fontName.assign(255, 'f');
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 100;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    std::string error;
    const bool savedOk = SaveSettings(file, bigger, error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(savedOk);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadTestFile(file), old);
    EXPECT_EQ(entries(), std::set<std::string>{"TORVALE.ini"});
}
#endif

}  // namespace
}  // namespace torvale
