#include <gtest/gtest.h>

#include <string>

#include "app/config_file.h"
#include "builders/bytes.h"
#include "builders/fake_platform.h"

namespace torvale {
namespace {

using test::Bytes;

Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

TEST(ConfigFile, MissingOrGarbledFilesGiveTheDefaults) {
    test::ScratchDirectory scratch{"config"};
    ConfigFile config;
    std::string problem;
    config.Load(scratch / "TORVALE.cfg", &problem);
    EXPECT_FALSE(problem.empty());
    EXPECT_FALSE(config.values.reverseFaces);

    ASSERT_TRUE(test::WriteTestFile(scratch / "TORVALE.cfg", Text("[rooms\nreverseFaces=1\n")));
    config.values.reverseFaces = true;
    config.Load(scratch / "TORVALE.cfg");
    EXPECT_FALSE(config.values.reverseFaces);
    EXPECT_TRUE(config.values.recentFiles.empty());
}

TEST(ConfigFile, SavedValuesReadBackAndUnknownEntriesSurvive) {
    test::ScratchDirectory scratch{"config"};
    const std::string path = scratch / "TORVALE.cfg";
    ASSERT_TRUE(test::WriteTestFile(path, Text("; mine\n[rooms]\nreverseFaces=yes\nlater=7\n[other]\nkey=value\n")));
    ConfigFile config;
    config.Load(path);
    EXPECT_TRUE(config.values.reverseFaces);
    config.values.gameFolder = "C:\\Games\\Descent3;D:\\m\\Über.mn3";
    config.values.textureFolder = "D:\\Mods\\Übertex";
    for (const char* file : {"a.oof", "b.orf", "c.obj", "a.oof", "d.gltf", "e.glb"})
        RememberRecentFile(config.values, file);
    std::string error;
    ASSERT_TRUE(config.Save(path, error)) << error;

    ConfigFile again;
    again.Load(path);
    EXPECT_TRUE(again.values.reverseFaces);
    EXPECT_EQ(again.values.gameFolder, "C:\\Games\\Descent3;D:\\m\\Über.mn3");
    EXPECT_EQ(again.values.textureFolder, "D:\\Mods\\Übertex");
    EXPECT_EQ(again.values.recentFiles, (std::vector<std::string>{"e.glb", "d.gltf", "a.oof", "c.obj"}));
    const std::string text = again.Text();
    EXPECT_NE(text.find("later=7"), std::string::npos) << text;
    EXPECT_NE(text.find("[other]"), std::string::npos) << text;
    EXPECT_NE(text.find("key=value"), std::string::npos) << text;
}

// The room scale as people may write it by hand: a factor above 0 is kept, anything else means 1.
TEST(ConfigFile, RoomScaleReadsFactorsAboveZeroAndElseOne) {
    test::ScratchDirectory scratch{"config"};
    const std::string path = scratch / "TORVALE.cfg";
    const struct {
        const char* written;
        double read;
    } cases[] = {{"100", 100.0}, {"0.0254", 0.0254}, {"0", 1.0},    {"-2", 1.0},
                 {"nan", 1.0},   {"inf", 1.0},       {"2 cm", 1.0}, {"", 1.0}};
    for (const auto& c : cases) {
        ASSERT_TRUE(test::WriteTestFile(path, Text(std::string("[rooms]\nscale=") + c.written + "\n")));
        ConfigFile config;
        config.Load(path);
        EXPECT_EQ(config.values.roomScale, c.read) << c.written;
    }
    ConfigFile config;
    config.values.roomScale = 2.5;
    std::string error;
    ASSERT_TRUE(config.Save(path, error)) << error;
    EXPECT_NE(config.Text().find("scale=2.5"), std::string::npos) << config.Text();
    ConfigFile again;
    again.Load(path);
    EXPECT_EQ(again.values.roomScale, 2.5);
}

// The preview's Textures choice as people may write it: on unless the file says plainly that it is off.
TEST(ConfigFile, TexturesAreShownUnlessTurnedOff) {
    test::ScratchDirectory scratch{"config"};
    const std::string path = scratch / "TORVALE.cfg";
    const struct {
        const char* text;
        bool shown;
    } cases[] = {{"", true},
                 {"[view]\ntextures=1\n", true},
                 {"[view]\ntextures=0\n", false},
                 {"[view]\ntextures=no\n", false},
                 {"[view]\ntextures=off\n", false},
                 {"[view]\ntextures=maybe\n", true},
                 {"[rooms]\ntextures=0\n", true}};
    for (const auto& c : cases) {
        ASSERT_TRUE(test::WriteTestFile(path, Text(c.text)));
        ConfigFile config;
        config.Load(path);
        EXPECT_EQ(config.values.showTextures, c.shown) << c.text;
    }
}

}  // namespace
}  // namespace torvale
