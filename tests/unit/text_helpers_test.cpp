#include <gtest/gtest.h>

#include <unordered_set>

#include <string>
#include <string_view>

#include "core/ascii_text.h"
#include "core/path_text.h"

namespace torvale {
namespace {

// Every byte: only the 26 letters of each case change, and each into the other case's letter at the same place.
TEST(AsciiText, FoldsTheTwentySixLettersAndLeavesEveryOtherByte) {
    for (int i = 0; i < 256; ++i) {
        const auto c = static_cast<char>(i);
        const bool capital = i >= 'A' && i <= 'Z';
        const bool small = i >= 'a' && i <= 'z';
        EXPECT_EQ(AsciiLower(c), capital ? static_cast<char>(i + 32) : c) << "byte " << i;
        EXPECT_EQ(AsciiUpper(c), small ? static_cast<char>(i - 32) : c) << "byte " << i;
    }
}

struct CaseComparison {
    std::string_view a;
    std::string_view b;
    bool equal;
};

TEST(AsciiText, ComparesIgnoringOnlyAsciiCase) {
    const CaseComparison cases[] = {
        {"", "", true},
        {"Wall01.OGF", "wall01.ogf", true},
        {"@[`{", "@[`{", true},
        {"@", "`", false},                                  // 0x40 and 0x60 differ by 32 yet are no letters
        {"[", "{", false},                                  // neither are 0x5B and 0x7B
        {"\xC3\x89t\xC3\xA9", "\xC3\xA9t\xC3\xA9", false},  // "Été" and "été": UTF-8 letters are not folded
        {"\xC9", "\xE9", false},                            // nor ANSI ones (É and é in Windows-1252)
        {"abc", "abcd", false},
    };
    for (const CaseComparison& c : cases) {
        EXPECT_EQ(EqualsIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(EqualsIgnoringAsciiCase(c.b, c.a), c.equal) << c.b << " / " << c.a;
    }
    EXPECT_EQ(AsciiLowered("Été.P3D"), "Été.p3d");
}

TEST(AsciiText, FindsAndEndsIgnoringCase) {
    EXPECT_EQ(FindIgnoringAsciiCase("C:\\Games\\POFGEN.EXE", "pofgen.exe"), 9u);
    EXPECT_EQ(FindIgnoringAsciiCase("abc", ""), 0u);
    EXPECT_EQ(FindIgnoringAsciiCase("ab", "abc"), std::string_view::npos);
    EXPECT_EQ(FindIgnoringAsciiCase("Error Processing", "error processing"), 0u);
    EXPECT_EQ(FindIgnoringAsciiCase("\xC9RROR", "\xE9rror"), std::string_view::npos);
    EXPECT_TRUE(EndsWithIgnoringAsciiCase("ship.P3D", ".p3d"));
    EXPECT_FALSE(EndsWithIgnoringAsciiCase("p3d", ".p3d"));
    EXPECT_FALSE(EndsWithIgnoringAsciiCase("ship.p3d.bak", ".p3d"));
}

TEST(AsciiText, ControlBytesAreTheC0RangeAndDelete) {
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(IsAsciiControl(static_cast<char>(i)), i < 0x20 || i == 0x7F) << "byte " << i;
}

struct PathCase {
    std::string_view path;
    PathSeparators separators;
    std::string_view name;
    std::string_view stem;
};

TEST(PathText, SplitsTheFileNameAndItsStem) {
    constexpr auto any = PathSeparators::Any;
    constexpr auto own = PathSeparators::OfThisSystem;
    const PathCase cases[] = {
        {"", own, "", ""},
        {"ship.oof", own, "ship.oof", "ship"},
        {"rooms/ship.orf", own, "ship.orf", "ship"},
        {"rooms/", own, "", ""},
        {"a/.hidden", own, ".hidden", ".hidden"},  // a leading dot starts no extension
        {"a/ship.tar.gz", own, "ship.tar.gz", "ship.tar"},
        {"a.b/ship", own, "ship", "ship"},  // a dot in a folder's name is no extension
        {"tex\\wall.png", any, "wall.png", "wall"},
        {"tex/sub\\wall.png", any, "wall.png", "wall"},
        {"C:wall.png", any, "C:wall.png", "C:wall"},  // a stored name has no drives
#ifdef _WIN32
        {"C:\\rooms\\ship.orf", own, "ship.orf", "ship"},
        {"C:ship.orf", own, "ship.orf", "ship"},
#else
        {"rooms\\ship.orf", own, "rooms\\ship.orf", "rooms\\ship"},  // a backslash is a letter here
#endif
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(FileNameOf(c.path, c.separators), c.name) << c.path;
        EXPECT_EQ(FileStemOf(c.path, c.separators), c.stem) << c.path;
        EXPECT_EQ(c.path.substr(FileNameStart(c.path, c.separators)), c.name) << c.path;
    }
}

TEST(PathText, MakesNamesFitForFilesAndKeepsThemDistinct) {
    struct StemCase {
        std::string name;
        std::string stem;
    };
    std::unordered_set<std::string> taken;
    const StemCase cases[] = {
        {"Wall", "Wall"},
        {"wall", "wall_2"},  // file systems that ignore case would make them one file
        {"Wall_2", "Wall_2_2"},
        {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
        {"..", "__"},
        {"tail. ", "tail__"},
        {"", "_"},
        {"CON", "CON_"},
        {"nul.txt", "nul.txt_"},
        {"COM1", "COM1_"},
        {"COM0", "COM0"},
        {"Console", "Console"},
        {"tab\there", "tab_here"},
        {"St\xc3\xa4hl", "St\xc3\xa4hl"},  // UTF-8 stays
    };
    for (const StemCase& c : cases)
        EXPECT_EQ(FileStemFromName(c.name, taken), c.stem) << c.name;
}

}  // namespace
}  // namespace torvale
