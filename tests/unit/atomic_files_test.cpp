#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "builders/bytes.h"
#include "builders/fake_platform.h"
#include "core/atomic_file.h"

namespace torvale {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ReadTestFile;
using test::ScratchDirectory;
using test::WriteTestFile;

std::set<std::string> Listing(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.insert(fs::relative(entry.path(), folder).generic_string());
    return names;
}

TEST(AtomicFiles, ReplacesEveryFileOfAnOutput) {
    ScratchDirectory dir("files_written");
    ASSERT_TRUE(WriteTestFile(dir / "a.gltf", Bytes(900, 1)));
    const Bytes gltf{'{', '}'}, bin{1, 2, 3, 4};
    const FileToWrite files[] = {{dir / "a.bin", bin}, {dir / "a.gltf", gltf}};
    std::string error;
    ASSERT_TRUE(ReplaceFilesAtomically(files, error)) << error;
    EXPECT_EQ(ReadTestFile(dir / "a.bin"), bin);
    EXPECT_EQ(ReadTestFile(dir / "a.gltf"), gltf);
    EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"a.bin", "a.gltf"}));
}

// Three files of one output; the old ones stand in all three places (a folder where the case needs one).
struct BrokenOutput {
    const char* name;
    std::function<void(const ScratchDirectory&, std::vector<std::string>&)> breakIt;  // may change the paths
    std::size_t failing;                                                              // the file the error names
};

class AtomicFilesFailure : public ::testing::TestWithParam<BrokenOutput> {};

TEST_P(AtomicFilesFailure, LeavesEveryOldFileByteForByte) {
    ScratchDirectory dir("files_failing");
    std::vector<std::string> paths{dir / "m.obj", dir / "m.mtl", dir / "m.txt"};
    const Bytes old(300, 0x5A);
    for (const std::string& path : paths)
        ASSERT_TRUE(WriteTestFile(path, old));
    GetParam().breakIt(dir, paths);
    if (IsSkipped())
        return;
    const std::set<std::string> before = Listing(dir.path());

    const Bytes fresh{9, 9, 9};
    std::vector<FileToWrite> files;
    for (const std::string& path : paths)
        files.push_back({path, fresh});
    std::string error;
    const bool replaced = ReplaceFilesAtomically(files, error);
#ifndef _WIN32
    fs::permissions(dir.path(), fs::perms::owner_all, fs::perm_options::add);
#endif
    ASSERT_FALSE(replaced);
    EXPECT_EQ(error.rfind(paths[GetParam().failing] + ": ", 0), 0u) << error;
    EXPECT_NE(error.find("no file was replaced"), std::string::npos) << error;
    for (const std::string& path : paths) {
        if (fs::is_regular_file(path))
            EXPECT_EQ(ReadTestFile(path), old) << path;
    }
    EXPECT_EQ(Listing(dir.path()), before) << "no temporary is left behind";
}

const BrokenOutput kBrokenOutputs[] = {
    {"LastTargetIsAFolder",
     [](const ScratchDirectory& dir, std::vector<std::string>& paths) {
         fs::remove(paths[2]);
         fs::create_directory(paths[2]);
         ASSERT_TRUE(WriteTestFile(paths[2] + "/inside", Bytes(300, 0x5A)));
     },
     2},
    {"MiddleFileInAMissingFolder",
     [](const ScratchDirectory& dir, std::vector<std::string>& paths) { paths[1] = dir / "gone/m.mtl"; }, 1},
#ifndef _WIN32
    {"FolderReadOnly",
     [](const ScratchDirectory& dir, std::vector<std::string>&) {
         if (geteuid() == 0)
             GTEST_SKIP() << "permissions do not bind root";
         fs::permissions(dir.path(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                         fs::perm_options::remove);
     },
     0},
#endif
};

INSTANTIATE_TEST_SUITE_P(Cases, AtomicFilesFailure, ::testing::ValuesIn(kBrokenOutputs), [](const auto& info) {
    return std::string(info.param.name);
});

// A legal file name of up to 255 bytes is written: its temporary's name stays within 255 bytes, is cut
// between characters, and differs from the temporary of every other name.
TEST(AtomicFiles, WritesFilesOfTheLongestLegalNames) {
    ScratchDirectory dir("files_long");
    const std::string twoByte = "\xC3\xA9";  // é
    const std::vector<std::string> names{
        std::string(250, 'a'),
        std::string(255, 'a'),
        std::string(251, 'a') + ".orf",
        std::string(203, 'a') + std::string(26, 'b'),  // the same first 204 bytes as the next
        std::string(203, 'a') + std::string(26, 'c'),
        std::string(203, 'a') + twoByte + std::string(40, 'd'),  // a character across the cut
        [&] {
            std::string name;
            while (name.size() + twoByte.size() <= 255)
                name += twoByte;
            return name;
        }(),
    };
    std::set<std::string> temporaries;
    for (const std::string& name : names) {
        const std::string full = TemporaryPathFor(dir / name);
        const std::string temporary = full.substr(full.find_last_of("/\\") + 1);
        EXPECT_LE(temporary.size(), 255u) << name.size();
        EXPECT_EQ(temporary.front(), '.');
        EXPECT_TRUE(temporary.ends_with(".tmp"));
        EXPECT_TRUE(temporaries.insert(temporary).second) << "shared by another name: " << temporary;
        for (std::size_t i = 0; i + 1 < temporary.size(); ++i) {
            const auto byte = static_cast<unsigned char>(temporary[i]);
            const auto next = static_cast<unsigned char>(temporary[i + 1]);
            if (byte >= 0xC0)  // a lead byte is followed by its continuation
                EXPECT_EQ(next & 0xC0, 0x80) << "cut inside a character at " << i;
        }

        const Bytes bytes{static_cast<std::uint8_t>(name.size())};
        std::string error;
        ASSERT_TRUE(ReplaceFileAtomically(dir / name, bytes, error)) << name.size() << ": " << error;
        Bytes back;  // read as the program reads: a UTF-8 name past the C library's narrow paths
        EXPECT_TRUE(ReadWholeFile(dir / name, back, error)) << error;
        EXPECT_EQ(back, bytes);
    }
    EXPECT_EQ(Listing(dir.path()).size(), names.size()) << "no temporary is left behind";
}

TEST(AtomicFiles, TellsTheSameFileUnderAnotherSpelling) {
    ScratchDirectory dir("same_file");
    ASSERT_TRUE(WriteTestFile(dir / "ship.oof", {1}));
    fs::create_directory(dir / "sub");
    EXPECT_TRUE(IsSameFile(dir / "ship.oof", dir / "sub/../ship.oof"));
    EXPECT_TRUE(IsSameFile(dir / "ship.oof", dir / "./ship.oof"));
    EXPECT_FALSE(IsSameFile(dir / "ship.oof", dir / "ship.orf"));
    EXPECT_TRUE(IsSameFile(dir / "new.orf", dir / "sub/../new.orf")) << "one path, though no file is there yet";
#ifndef _WIN32
    fs::create_symlink(dir / "ship.oof", dir / "link.oof");
    EXPECT_TRUE(IsSameFile(dir / "link.oof", dir / "ship.oof"));
#endif
}

}  // namespace
}  // namespace torvale
