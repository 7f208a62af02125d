#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "app/settings_file.h"
#include "app/startup.h"
#include "builders/bytes.h"
#include "builders/fake_platform.h"
#include "builders/settings_builder.h"
#include "builders/texlate_builder.h"
#include "pofgen/command_line.h"

namespace torvale {
namespace {

using test::Bytes;
using test::FakeFileSystem;
using test::FakeMessageBoxes;

constexpr char kGamesPofgen[] = "c:\\games\\descent3\\pofgen.exe";
constexpr char kGamesBspgen[] = "c:\\games\\descent3\\bspgen.exe";

TEST(Startup, AppDirEndsWithExactlyOneBackslashAlsoAtADriveRoot) {
    EXPECT_EQ(AppDirFrom("C:\\Games\\Torvale"), "C:\\Games\\Torvale\\");
    EXPECT_EQ(AppDirFrom("C:\\"), "C:\\");
    EXPECT_EQ(AppDirFrom("\\\\server\\share\\tools"), "\\\\server\\share\\tools\\");
}

TEST(Startup, FindPofgenTakesTheFirstCandidateInItsOrder) {
    FakeFileSystem fs;
    const std::string appDir = "C:\\tv\\";
    EXPECT_EQ(FindPofgen(appDir, fs), "");

    fs.ordinaryFiles = {kGamesBspgen};
    EXPECT_EQ(FindPofgen(appDir, fs), kGamesBspgen);
    fs.ordinaryFiles.insert(kGamesPofgen);
    EXPECT_EQ(FindPofgen(appDir, fs), kGamesPofgen);
    fs.ordinaryFiles.insert("C:\\tv\\bspgen.exe");
    EXPECT_EQ(FindPofgen(appDir, fs), "C:\\tv\\bspgen.exe");
    fs.ordinaryFiles.insert("C:\\tv\\pofgen.exe");
    EXPECT_EQ(FindPofgen(appDir, fs), "C:\\tv\\pofgen.exe");
}

TEST(Startup, FindPofgenSkipsDirectoriesAndHiddenOrSystemFiles) {
    FakeFileSystem fs;
    fs.otherEntries = {"C:\\tv\\pofgen.exe", "C:\\tv\\bspgen.exe", kGamesPofgen};
    fs.ordinaryFiles = {kGamesBspgen};
    EXPECT_EQ(FindPofgen("C:\\tv\\", fs), kGamesBspgen);
}

TEST(Startup, NamesPofgenLooksForEitherCompilerWhateverTheCase) {
    EXPECT_TRUE(NamesPofgen("D:\\TOOLS\\POFGEN.EXE"));
    EXPECT_TRUE(NamesPofgen("e:\\x\\BspGen.Exe"));
    EXPECT_TRUE(NamesPofgen("pofgen.exe.bak"));  // a substring is enough
    EXPECT_FALSE(NamesPofgen("d:\\tools\\compiler.exe"));
    EXPECT_FALSE(NamesPofgen("d:\\pofgen\\run.exe"));
    EXPECT_FALSE(NamesPofgen(""));
}

// Start-up in a real scratch directory whose existence answers come from the fake file system.
class StartupRun : public ::testing::Test {
protected:
    void SetUp() override {
        std::string exeDir = dir.path();
        exeDir.pop_back();  // the system names a directory without its trailing separator
        fs.executableDirectory = exeDir;
        writeTexlate(test::TexlateFile({{"wall1", "CEILING01"}}));
    }
    void writeTexlate(const Bytes& bytes) {
        ASSERT_TRUE(test::WriteTestFile(dir / "texlate.rsc", bytes));
        fs.ordinaryFiles.insert(dir / "texlate.rsc");
    }
    void writeSettings(const Settings& settings) {
        ASSERT_TRUE(test::WriteTestFile(dir / "TORVALE.ini", test::SettingsFileBytes(settings)));
        fs.ordinaryFiles.insert(dir / "TORVALE.ini");
    }
    bool run(char decimalSeparator = '.') {
        return RunStartup(program, {fs, messages, decimalSeparator, test::kSeparator});
    }

    test::ScratchDirectory dir{"startup"};
    FakeFileSystem fs;
    FakeMessageBoxes messages;
    ProgramState program;
};

TEST_F(StartupRun, SetsThePathsBesideTheExecutable) {
    ASSERT_TRUE(run());
    EXPECT_EQ(program.appDir, dir.path());
    EXPECT_EQ(program.settingsPath, dir / "TORVALE.ini");
    EXPECT_EQ(program.texlatePath, dir / "texlate.rsc");
    EXPECT_EQ(program.textureTable.TranslateTextureName(std::string("wall1") + '\0'), std::string("CEILING01") + '\0');
}

TEST_F(StartupRun, FirstRunWithoutPofgenWritesTheFiftyTwoByteFile) {
    ASSERT_TRUE(run());
    Bytes expected = {0xA9, 0x13, 0xD0, 0x3C};
    expected.insert(expected.end(), 22, 0x00);
    expected.insert(expected.end(), {0xFF, 0xFF});
    expected.insert(expected.end(), 22, 0x00);
    expected.insert(expected.end(), {0xFF, 0xFF});
    EXPECT_EQ(test::ReadTestFile(dir / "TORVALE.ini"), expected);
    EXPECT_EQ(program.settings.pofgenPath, "");
    EXPECT_EQ(program.settings.fontName, "");
    EXPECT_EQ(program.settings.fontSize, 0);
    EXPECT_EQ(BuildPofgenCommandLine(program.settings), "");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartupRun, FirstRunStoresThePofgenItFound) {
    fs.ordinaryFiles.insert(kGamesBspgen);
    ASSERT_TRUE(run());
    EXPECT_EQ(program.settings.pofgenPath, kGamesBspgen);
    const Bytes written = test::ReadTestFile(dir / "TORVALE.ini");
    ASSERT_EQ(written.size(), 52u + 28u);
    EXPECT_EQ(written[49], 28);  // L2
    EXPECT_EQ(std::string(written.begin() + 50, written.begin() + 78), kGamesBspgen);
}

TEST_F(StartupRun, LoadsTheSettingsFileWithoutRewritingItAndBuildsTheSwitchString) {
    Settings stored;
    stored.scaleFactor = 0.03f;
    stored.shadingMode = 1;
    stored.chunkSplits = {4, 4, 4};
    stored.subObjSepPlanes = kTrue;
    stored.capitalShips = kTrue;
    stored.combineSubObjects = kFalse;
    stored.fontName = "Courier New";
    stored.fontSize = 12;
    stored.pofgenPath = "D:\\TOOLS\\POFGEN.EXE";
    writeSettings(stored);
    const Bytes before = test::ReadTestFile(dir / "TORVALE.ini");

    ASSERT_TRUE(run(','));
    EXPECT_EQ(BuildPofgenCommandLine(program.settings, program.decimalSeparator), "-s0,03 -d1 -n4,4,4 -p -b ");
    EXPECT_EQ(program.settings.combineSubObjects, kFalse);
    EXPECT_EQ(program.settings.fontName, "Courier New");
    EXPECT_EQ(program.decimalSeparator, ',');
    EXPECT_EQ(test::ReadTestFile(dir / "TORVALE.ini"), before);
}

TEST_F(StartupRun, StoredPathNamingACompilerStaysEvenWhenTheFileIsGone) {
    Settings stored;
    stored.pofgenPath = "D:\\TOOLS\\POFGEN.EXE";
    writeSettings(stored);
    fs.ordinaryFiles.insert(dir / "pofgen.exe");
    ASSERT_TRUE(run());
    EXPECT_EQ(program.settings.pofgenPath, "D:\\TOOLS\\POFGEN.EXE");
}

TEST_F(StartupRun, StoredPathNamingAnotherProgramIsReplacedByANewSearch) {
    Settings stored;
    stored.pofgenPath = "d:\\tools\\compiler.exe";
    writeSettings(stored);
    ASSERT_TRUE(run());
    EXPECT_EQ(program.settings.pofgenPath, "");

    fs.ordinaryFiles.insert(kGamesPofgen);
    ASSERT_TRUE(run());
    EXPECT_EQ(program.settings.pofgenPath, kGamesPofgen);
}

TEST_F(StartupRun, EmptyStoredPathKeepsWhatTheFirstSearchFound) {
    writeSettings(Settings{});
    fs.ordinaryFiles.insert(dir / "bspgen.exe");
    ASSERT_TRUE(run());
    EXPECT_EQ(program.settings.pofgenPath, dir / "bspgen.exe");
}

TEST_F(StartupRun, MissingTextureTableEndsStartupWithAMessageNamingTheFullPath) {
    fs.ordinaryFiles.erase(dir / "texlate.rsc");
    std::remove((dir / "texlate.rsc").c_str());
    EXPECT_FALSE(run());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].rfind("File not found: " + (dir / "texlate.rsc") + "\r\n", 0), 0u) << messages.shown[0];
}

TEST_F(StartupRun, DamagedTextureTableEndsStartupWithItsReason) {
    test::ByteBuilder damaged;
    damaged.i32(0).i32(4).text("wall");  // a replacement name of length 0
    writeTexlate(damaged.bytes());
    EXPECT_FALSE(run());
    ASSERT_EQ(messages.shown.size(), 1u);
    std::string error;
    TextureTable table;
    ASSERT_FALSE(LoadTextureTableFile(dir / "texlate.rsc", table, error));
    EXPECT_NE(messages.shown[0].find("The texture translation table " + (dir / "texlate.rsc") + " cannot be used: "),
              std::string::npos);
    EXPECT_NE(messages.shown[0].find(error), std::string::npos) << messages.shown[0];
}

TEST_F(StartupRun, SettingsFileThatCannotBeWrittenIsReportedAndStartupGoesOn) {
    // A directory of that name is not a settings file, and it cannot be replaced by one.
    std::filesystem::create_directory(dir / "TORVALE.ini");
    std::filesystem::create_directory(std::filesystem::path(dir / "TORVALE.ini") / "inside");
    ASSERT_TRUE(run());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].rfind("The settings could not be saved to " + (dir / "TORVALE.ini") + ": ", 0), 0u)
        << messages.shown[0];
}

}  // namespace
}  // namespace torvale
