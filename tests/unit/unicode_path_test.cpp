#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "builders/fake_platform.h"
#include "builders/oof_builder.h"
#include "core/atomic_file.h"
#include "core/file_bytes.h"
#include "core/file_range.h"
#include "core/utf8_path.h"
#include "oof/oof_reader.h"
#include "orf/room_report.h"
#include "platform/file_system.h"
#ifdef _WIN32
#include <windows.h>

#include "platform/registry.h"
#include "platform/utf16_win32.h"
#endif

namespace torvale {
namespace {

using test::ScratchDirectory;

// Folder and file names in scripts that no single ANSI code page holds together, with blanks and accents.
const std::vector<std::string> kNames = {
    "\xD0\x9C\xD0\xBE\xD0\xB4\xD0\xB5\xD0\xBB\xD0\xB8",  // Модели
    "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1",          // Ωμέγα
    "\xE6\x97\xA5\xE6\x9C\xAC",                          // 日本
    "caf\xC3\xA9 na\xC3\xAFve",                          // café naïve
    "\xD0\x9C\xD0\xBE\xD0\xB4\xD0\xB5\xD0\xBB\xD0\xB8 \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 "
    "\xE6\x97\xA5\xE6\x9C\xAC \xC3\xA9",
};

class UnicodePaths : public ::testing::TestWithParam<std::string> {};

// Every way the program touches a file by name: atomic replacement, whole reads, ranged reads, the file system
// queries. A path read through the ANSI code page would name another file or none.
TEST_P(UnicodePaths, FilesInAFolderOfThatNameAreWrittenFoundAndReadBack) {
    ScratchDirectory scratch("unicode");
    const std::string folder = scratch.path() + GetParam();
    ASSERT_TRUE(std::filesystem::create_directory(PathFromUtf8(folder)));
    const std::string path = folder + test::kSeparator + GetParam() + ".orf";
    const std::vector<std::uint8_t> bytes = {'R', 'O', 'O', 'M', 0xFF, 0x00, 0x7F};

    std::string error;
    ASSERT_TRUE(ReplaceFileAtomically(path, bytes, error)) << error;
    EXPECT_TRUE(std::filesystem::is_regular_file(PathFromUtf8(path)));
    EXPECT_TRUE(SystemFileSystem().IsOrdinaryFile(path));
    EXPECT_TRUE(SystemFileSystem().Exists(folder));

    std::vector<std::uint8_t> read;
    ASSERT_TRUE(ReadWholeFile(path, read, error)) << error;
    EXPECT_EQ(read, bytes);

    {
        // Closed again before the file is replaced: Windows replaces no file that is open.
        RangeFile range;
        ASSERT_TRUE(range.open(path, error)) << error;
        ASSERT_TRUE(range.read(4, 3, read, error)) << error;
        EXPECT_EQ(read, (std::vector<std::uint8_t>{0xFF, 0x00, 0x7F}));
    }

    // Written again: the temporary beside it goes, only the file is left.
    ASSERT_TRUE(ReplaceFileAtomically(path, std::vector<std::uint8_t>{1}, error)) << error;
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(folder)))
        left.push_back(Utf8FromPath(entry.path().filename()));
    EXPECT_EQ(left, std::vector<std::string>{GetParam() + ".orf"});
}

#ifdef _WIN32
TEST_P(UnicodePaths, WideConversionRoundTripsAndKeepsEveryLetter) {
    const std::wstring wide = Utf8ToWide(GetParam());
    EXPECT_EQ(WideToUtf8(wide), GetParam());
    EXPECT_EQ(PathFromUtf8(GetParam()).wstring(), wide);
    EXPECT_LT(wide.size(), GetParam().size());  // every test name has letters of more than one byte
}

// A key and a string value (a program's path, as the about box reads System Info's) named in that script:
// found by their UTF-8 names and read back as UTF-8 with the value's zero, whole; a buffer too small for the
// UTF-8 form is refused as the system refuses one.
TEST_P(UnicodePaths, RegistryKeysAndStringValuesAreNamedAndReadInUtf8) {
    const std::string subKey = "Software\\TORVALE test " + std::to_string(GetCurrentProcessId()) + " " + GetParam();
    const std::string path = "C:\\" + GetParam() + "\\msinfo32.exe";
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, Utf8ToWide(subKey).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &created, nullptr) != ERROR_SUCCESS)
        GTEST_SKIP() << "this user may not write the machine's keys";
    const std::wstring widePath = Utf8ToWide(path);
    const std::uint8_t binary[] = {0xC3, 0x00, 0xFF};
    const bool written = RegSetValueExW(created, Utf8ToWide(GetParam()).c_str(), 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(widePath.c_str()),
                                        static_cast<DWORD>((widePath.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS &&
                         RegSetValueExW(created, L"bytes", 0, REG_BINARY, binary, sizeof binary) == ERROR_SUCCESS;
    RegCloseKey(created);

    Registry& registry = SystemRegistry();
    Registry::Key key = 0;
    if (written && registry.OpenKey(RegistryRoot::LocalMachine, subKey, kRegistryReadAccess, key) == kRegistrySuccess) {
        std::uint8_t buffer[1024] = {};
        std::uint32_t type = 0;
        std::uint32_t size = sizeof buffer;
        EXPECT_EQ(registry.QueryValue(key, GetParam(), type, buffer, size), kRegistrySuccess);
        EXPECT_EQ(type, kRegistryString);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer), size), path + '\0');

        size = static_cast<std::uint32_t>(path.size());  // room for the letters, none for the zero
        EXPECT_EQ(registry.QueryValue(key, GetParam(), type, buffer, size), kRegistryMoreData);

        size = sizeof buffer;
        EXPECT_EQ(registry.QueryValue(key, "bytes", type, buffer, size), kRegistrySuccess);
        EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + size), std::vector<std::uint8_t>(binary, binary + 3));
        registry.CloseKey(key);
    } else {
        ADD_FAILURE() << "the key or its values could not be made, or the key not opened by its UTF-8 name";
    }
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, Utf8ToWide(subKey).c_str());
}
#endif

INSTANTIATE_TEST_SUITE_P(Scripts, UnicodePaths, ::testing::ValuesIn(kNames));

#ifdef _WIN32
TEST(Utf16, KnownLettersConvertToTheirCodeUnits) {
    EXPECT_EQ(Utf8ToWide("\xD0\x96\xCE\xA9\xE6\x97\xA5\xC3\xA9"), std::wstring(L"\x0416\x03A9\x65E5\x00E9"));
    EXPECT_EQ(WideToUtf8(L"\xD83D\xDE80"), "\xF0\x9F\x9A\x80");  // a surrogate pair is one letter of four bytes
    EXPECT_EQ(Utf8ToWide(""), L"");
    EXPECT_EQ(WideToUtf8(L""), "");
}

TEST(Utf16, FitsAnsiCodePageOnlyWhenNoLetterIsReplaced) {
    EXPECT_TRUE(FitsAnsiCodePage("C:\\models\\ship.p3d"));
    // No single-byte code page holds Cyrillic, Greek and Japanese together.
    EXPECT_FALSE(FitsAnsiCodePage(kNames.back()));
}
#endif

TEST(Utf8Path, PathPartsComeBackAsUtf8) {
    const std::string name = kNames[1] + ".glb";
    const std::filesystem::path path = PathFromUtf8("models/" + name);
    EXPECT_EQ(Utf8FromPath(path.filename()), name);
    EXPECT_EQ(Utf8FromPath(path.stem()), kNames[1]);
    EXPECT_EQ(Utf8FromPath(path.extension()), ".glb");
}

// The game's names are bytes in the user's code page; a stand-in for Windows-1252 turns them into UTF-8.
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

bool Holds(const std::vector<std::string>& messages, const std::string& line) {
    return std::find(messages.begin(), messages.end(), line) != messages.end();
}

TEST(GameTexts, ModelAndRoomReportsShowTextureNamesThroughTheConverter) {
    test::RecordingSink modelLog;
    ObjectModel model;
    const test::Bytes oof = test::OofBuilder().txtr({std::string("caf\xE9\0", 5)}).bytes();
    ReadOofFile(oof, "ship.oof", model, modelLog, ReportFormat{'.', Latin1ToUtf8});
    EXPECT_TRUE(Holds(modelLog.messages, "caf\xC3\xA9\r\n")) << ::testing::PrintToString(modelLog.messages);

    Room room;
    room.textureNames = {"caf\xE9"};
    test::RecordingSink roomLog;
    ReportRoom(room, "room.orf", roomLog, Latin1ToUtf8);
    EXPECT_TRUE(Holds(roomLog.messages, "Texture 0: caf\xC3\xA9\r\n")) << ::testing::PrintToString(roomLog.messages);
}

}  // namespace
}  // namespace torvale
