#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "builders/bytes.h"
#include "model_io/resource_path.h"

namespace torvale {
namespace {

namespace fs = std::filesystem;

TEST(ResourcePath, KeepsNamesInsideTheModelsFolderAndRefusesEveryWayOut) {
    struct Case {
        const char* uri;
        const char* relative;  // nullptr: refused
        const char* why;
    };
    const Case cases[] = {
        {"ship.bin", "ship.bin", ""},
        {"parts/../ship%20hull.bin", "ship hull.bin", ""},
        {"textures\\rock.png", "textures/rock.png", ""},
        {"./a//b/./c.bin", "a/b/c.bin", ""},
        {"../secret.txt", nullptr, "reaches above"},
        {"a/../../secret.txt", nullptr, "reaches above"},
        {"%2e%2e/secret.txt", nullptr, "reaches above"},
        {"%2E%2E%5Csecret.txt", nullptr, "reaches above"},
        {"..\\secret.txt", nullptr, "reaches above"},
        {"/etc/passwd", nullptr, "absolute"},
        {"%2Fetc/passwd", nullptr, "absolute"},
        {"\\Windows\\win.ini", nullptr, "absolute"},
        {"\\\\server\\share\\x.bin", nullptr, "network"},
        {"//server/share/x.bin", nullptr, "network"},
        {"C:x.bin", nullptr, "drive"},
        {"c:/Windows/win.ini", nullptr, "drive"},
        {"file:///etc/passwd", nullptr, "scheme"},
        {"ship.bin:stream", nullptr, "drive or a scheme"},
        {"ship.bin%00.png", nullptr, "NUL"},
        {"ship%2", nullptr, "no %XX escape"},
        {"ship%zz.bin", nullptr, "no %XX escape"},
        {"", nullptr, "empty"},
        {"a/..", nullptr, "folder itself"},
    };
    for (const Case& c : cases) {
        std::string relative = "unchanged", why;
        const bool ok = ResolveModelUri(c.uri, relative, why);
        EXPECT_EQ(ok, c.relative != nullptr) << c.uri << ": " << why;
        if (c.relative)
            EXPECT_EQ(relative, c.relative) << c.uri;
        else
            EXPECT_NE(why.find(c.why), std::string::npos) << c.uri << ": " << why;
    }
}

TEST(ResourcePath, QuotedNamesStayOnOneLine) {
    EXPECT_EQ(QuotedName("a\nb\x7f"), "\"a\\x0Ab\\x7F\"");
    EXPECT_EQ(QuotedName(std::string(300, 'x')), "\"" + std::string(200, 'x') + "...\"");
}

// A link inside the folder that leads out of it is refused; one that stays inside is followed.
TEST(ResourcePath, LinksLeadingOutOfTheFolderAreRefused) {
    const fs::path root =
        fs::temp_directory_path() / ("torvale_resource_links-" + std::to_string(std::random_device{}()));
    fs::remove_all(root);
    fs::create_directories(root / "model" / "parts");
    ASSERT_TRUE(test::WriteTestFile((root / "secret.bin").string(), {1, 2, 3}));
    ASSERT_TRUE(test::WriteTestFile((root / "model" / "parts" / "hull.bin").string(), {4, 5, 6}));
    std::error_code error;
    fs::create_symlink(root / "secret.bin", root / "model" / "out.bin", error);
    fs::create_directory_symlink(root, root / "model" / "up", error);
    fs::create_symlink(root / "model" / "parts" / "hull.bin", root / "model" / "in.bin", error);
    if (error)
        GTEST_SKIP() << "no symbolic links here: " << error.message();
    const std::pair<const char*, bool> cases[] = {
        {"out.bin", false}, {"up/secret.bin", false}, {"in.bin", true}, {"parts/hull.bin", true}, {"gone.bin", true}};
    for (const auto& [name, inside] : cases) {
        fs::path file;
        std::string why;
        EXPECT_EQ(FileInsideFolder(root / "model", name, file, why), inside) << name << ": " << why;
        if (!inside)
            EXPECT_NE(why.find("leads out of the model's folder"), std::string::npos) << why;
    }
    fs::remove_all(root);
}

}  // namespace
}  // namespace torvale
