#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "builders/fake_platform.h"
#include "builders/texlate_builder.h"
#include "cli/commands.h"

namespace torvale::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::Bytes;
using test::ReadTestFile;
using test::WriteTestFile;

class CliTexlate : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return scratch_ / name; }
    void writeText(const std::string& name, const std::string& text) const {
        ASSERT_TRUE(WriteTestFile(path(name), Bytes(text.begin(), text.end())));
    }
    // `args` follow the command word "texlate".
    int run(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        return RunTexlate(CommandContext{args, scratch_.path(), out_, err_});
    }

    test::ScratchDirectory scratch_{"cli-texlate"};  // a fresh directory per test, removed afterwards
    fs::path dir_{scratch_.path()};
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(CliTexlate, BuildWritesTheTableAndDumpPrintsTextThatBuildsTheSameTable) {
    writeText("pairs.txt", "# mine\nwall1 = CEILING01\r\n  rusty panel = Rusted\\x00Panel \n\\x20x\\= = \\#\n");
    ASSERT_EQ(run({"build", path("pairs.txt"), "-o", path("texlate.rsc")}), kExitOk) << err_.str();
    EXPECT_EQ(out_.str(), "Wrote 3 pairs to " + path("texlate.rsc") + "\n");
    const Bytes table = ReadTestFile(path("texlate.rsc"));
    EXPECT_EQ(table, test::TexlateFile({{"wall1", "CEILING01"}, {"rusty panel", "Rusted\0Panel"s}, {" x=", "#"}}));

    ASSERT_EQ(run({"dump", path("texlate.rsc")}), kExitOk) << err_.str();
    EXPECT_EQ(out_.str(),
              "# model texture name = room texture name\n"
              "wall1 = CEILING01\n"
              "rusty panel = Rusted\\x00Panel\n"
              "\\x20x\\= = \\#\n");
    writeText("dumped.txt", out_.str());
    ASSERT_EQ(run({"build", "-o", path("again.rsc"), path("dumped.txt")}), kExitOk) << err_.str();
    EXPECT_EQ(ReadTestFile(path("again.rsc")), table);
}

TEST_F(CliTexlate, BadTextIsRefusedWithItsLineAndTheOldTableStays) {
    const Bytes old = test::TexlateFile({{"keep", "me"}});
    ASSERT_TRUE(WriteTestFile(path("texlate.rsc"), old));
    writeText("pairs.txt", "a = b\n\nno separator\n");
    EXPECT_EQ(run({"build", path("pairs.txt"), "-o", path("texlate.rsc")}), kExitFailed);
    EXPECT_EQ(err_.str(),
              "torvale-cli: " + path("pairs.txt") + ": line 3: no '=' between the model name and the room name\n");
    EXPECT_EQ(ReadTestFile(path("texlate.rsc")), old);

    writeText("empty.txt", "# only a comment\n");
    EXPECT_EQ(run({"build", path("empty.txt"), "-o", path("texlate.rsc")}), kExitFailed);
    EXPECT_NE(err_.str().find("no pairs; a texture table holds at least one pair"), std::string::npos) << err_.str();
    EXPECT_EQ(ReadTestFile(path("texlate.rsc")), old);

    EXPECT_EQ(run({"build", path("missing.txt"), "-o", path("texlate.rsc")}), kExitFailed);
    EXPECT_EQ(err_.str().rfind("torvale-cli: " + path("missing.txt") + ": ", 0), 0u) << err_.str();
}

TEST_F(CliTexlate, BuildNotesAModelNameMappedTwiceAndStillWritesTheTable) {
    writeText("pairs.txt", "hull = A\nhull = B\n");
    EXPECT_EQ(run({"build", path("pairs.txt"), "--output", path("t.rsc")}), kExitOk);
    EXPECT_NE(err_.str().find("line 2: the model name hull is already mapped on line 1"), std::string::npos)
        << err_.str();
    EXPECT_EQ(ReadTestFile(path("t.rsc")), test::TexlateFile({{"hull", "A"}, {"hull", "B"}}));
}

TEST_F(CliTexlate, DumpOfADamagedOrMissingTableFailsWithThePathAndReason) {
    ASSERT_TRUE(WriteTestFile(path("bad.rsc"), test::ByteBuilder().i32(0).take()));
    EXPECT_EQ(run({"dump", path("bad.rsc")}), kExitFailed);
    EXPECT_EQ(err_.str(), "torvale-cli: " + path("bad.rsc") +
                              ": pair 1 at byte 0: the room name length is 0; a name has at least 1 byte\n");
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(run({"dump", path("none.rsc")}), kExitFailed);
    EXPECT_EQ(err_.str(), "torvale-cli: " + path("none.rsc") + ": file not found\n");
}

TEST_F(CliTexlate, UsageErrorsExitWithTwoAndHelpWithZero) {
    const std::vector<std::vector<std::string>> misuse = {
        {},
        {"rebuild"},
        {"build", path("a.txt")},
        {"build", "-o", path("t.rsc")},
        {"build", path("a.txt"), "-o"},
        {"build", path("a.txt"), path("b.txt"), "-o", path("t.rsc")},
        {"build", path("a.txt"), "-x", "-o", path("t.rsc")},
        {"dump"},
        {"dump", path("a.rsc"), path("b.rsc")},
    };
    for (const auto& args : misuse) {
        EXPECT_EQ(run(args), kExitUsage) << ::testing::PrintToString(args);
        EXPECT_NE(err_.str().find("Usage: torvale-cli texlate build TEXT -o TABLE"), std::string::npos);
    }
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"build", "--help"}, {"dump", "-h"}}) {
        EXPECT_EQ(run(args), kExitOk);
        EXPECT_EQ(out_.str().rfind("Usage: torvale-cli texlate build TEXT -o TABLE", 0), 0u);
        EXPECT_EQ(err_.str(), "");
    }
    EXPECT_TRUE(fs::is_empty(dir_));  // nothing was written
}

}  // namespace
}  // namespace torvale::cli
