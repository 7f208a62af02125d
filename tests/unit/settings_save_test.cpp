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

// A stand-in for Windows-1252: é is one byte in the file and two in the program.
std::string Latin1ToUtf8(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return out;
}

std::string Utf8ToLatin1(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0xC0 && i + 1 < text.size())
            out.push_back(static_cast<char>(((byte & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F)));
        else
            out.push_back(text[i]);
    }
    return out;
}

TEST_F(SettingsSave, ThePofgenPathAndFontNameAreStoredInTheCodePageAndReadBackAsUtf8) {
    const std::string file = path("TORVALE.ini");
    const AnsiCodec codec{Latin1ToUtf8, Utf8ToLatin1};
    Settings settings;
    settings.pofgenPath = "C:\\Jeux\\caf\xC3\xA9\\pofgen.exe";  // café, in UTF-8
    settings.fontName =
        "Fran\xC3\xA7"
        "ais";  // Français
    Settings stored = settings;
    stored.pofgenPath = "C:\\Jeux\\caf\xE9\\pofgen.exe";
    stored.fontName =
        "Fran\xE7"
        "ais";
    std::string error;
    ASSERT_TRUE(SaveSettings(file, settings, error, codec)) << error;
    EXPECT_EQ(ReadTestFile(file), test::SettingsFileBytes(stored));

    Settings loaded;
    ASSERT_TRUE(LoadSettings(file, loaded, error, codec)) << error;
    EXPECT_EQ(loaded.pofgenPath, settings.pofgenPath);
    EXPECT_EQ(loaded.fontName, settings.fontName);
    // A file without a path keeps the record's own, which must not be converted a second time.
    ASSERT_TRUE(WriteTestFile(file, test::SettingsFileBytes(Settings{})));
    ASSERT_TRUE(LoadSettings(file, loaded, error, codec)) << error;
    EXPECT_EQ(loaded.pofgenPath, settings.pofgenPath);
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
