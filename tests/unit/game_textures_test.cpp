#include <gtest/gtest.h>

#include <filesystem>

#include "builders/fake_platform.h"
#include "builders/game_builder.h"
#include "builders/texlate_builder.h"
#include "game/game_textures.h"
#include "game/texture_names.h"
#include "orf/texlate_text.h"

namespace torvale {
namespace {

using test::Bytes;
using test::GamBuilder;
using test::HogFile;

std::vector<std::string> Pages(const GameTextures& game) {
    std::vector<std::string> out;
    for (const TexturePage& page : game.pages())
        out.push_back(page.name + "|" + page.bitmap + "|" + page.table);
    return out;
}

class GameFolder : public ::testing::Test {
protected:
    void write(const std::string& name, const Bytes& bytes) { ASSERT_TRUE(test::WriteTestFile(dir_ / name, bytes)); }
    std::vector<std::string> load(std::vector<std::string> paths) {
        GameTextures::Report report = game_.load(paths);
        notes_ = std::move(report.notes);
        return report.problems;
    }
    std::string path(const std::string& name) const { return dir_ / name; }

    test::ScratchDirectory dir_{"game-tables"};
    GameTextures game_;
    std::vector<std::string> notes_;
};

TEST_F(GameFolder, LoadsTableThenExtraLooseOrFromTheFirstArchiveHoldingIt) {
    std::filesystem::create_directories(path("d3"));
    write("d3/TABLE.GAM", GamBuilder().texture("Rock", "rock.ogf").texture("Metal", "metal.ogf").take());
    // a.hog lacks extra.gam; b.hog and C.hog both hold it, and b.hog comes first when case is ignored.
    write("d3/a.hog", HogFile({{"readme.txt", Bytes(3)}}));
    write("d3/C.hog", HogFile({{"extra.gam", GamBuilder().texture("Wrong", "wrong.ogf").take()}}));
    write("d3/b.hog",
          HogFile({{"Extra.gam", GamBuilder().texture("METAL", "steel.ogf").texture("New", "new.ogf").take()},
                   {"Table.gam", GamBuilder().texture("Hidden", "hidden.ogf").take()}}));
    EXPECT_EQ(load({path("d3")}), std::vector<std::string>{});
    // The later METAL replaces Metal in its place.
    EXPECT_EQ(Pages(game_), (std::vector<std::string>{"Rock|rock.ogf|TABLE.GAM", "METAL|steel.ogf|Extra.gam",
                                                      "New|new.ogf|Extra.gam"}));
    // Files found in a folder are named with the system's separator.
    const std::string d3 = path("d3") + test::kSeparator;
    EXPECT_EQ(game_.tablesRead(), (std::vector<std::string>{d3 + "TABLE.GAM", d3 + "b.hog: Extra.gam"}));
    EXPECT_EQ(game_.findByBitmap("metal.ogf"), nullptr);
    ASSERT_NE(game_.findByBitmap("STEEL.OGF"), nullptr);
}

TEST_F(GameFolder, ArchivesGiveEveryTableInTheirOrderAndLaterPathsReplacePages) {
    write("mission.mn3", HogFile({{"b.gam", GamBuilder().texture("Lava", "lava2.ogf").take()},
                                  {"notes.txt", Bytes(4)},
                                  {"a.gam", GamBuilder().texture("Ice", "ice.ogf").take()}}));
    write("Table.gam", GamBuilder().texture("lava", "lava.ogf").texture("Ice", "ice0.ogf").take());
    EXPECT_EQ(load({path("Table.gam"), path("mission.mn3")}), std::vector<std::string>{});
    EXPECT_EQ(Pages(game_), (std::vector<std::string>{"Lava|lava2.ogf|b.gam", "Ice|ice.ogf|a.gam"}));
}

TEST_F(GameFolder, ReportsEachProblemOnOneLineAndKeepsWhatLoads) {
    std::filesystem::create_directories(path("empty"));
    write("bad.gam", GamBuilder().raw(1, 2, {}).take());
    write("notes.txt", Bytes(3));
    write("plain.hog", HogFile({{"readme.txt", Bytes(1)}}));
    write("good.gam", GamBuilder().texture("Kept", "kept.ogf").take());
    write("cut.hog", Bytes{'H', 'O', 'G'});
    const std::vector<std::string> problems = load({path("missing"), path("empty"), path("bad.gam"), path("notes.txt"),
                                                    path("plain.hog"), path("good.gam"), path("cut.hog")});
    EXPECT_EQ(problems,
              (std::vector<std::string>{
                  path("missing") + ": not found",
                  path("bad.gam") + ": page 1 at byte 0: the page length is 2; it counts its own 4 bytes, so it is at "
                                    "least 4",
                  path("notes.txt") + ": neither a folder, a .gam table nor a .hog or .mn3 archive",
                  path("cut.hog") + ": the archive header is cut short: 3 of its 68 bytes are there",
              }));
    // Holding no table is no damage: a note each, nothing added.
    EXPECT_EQ(notes_, (std::vector<std::string>{path("empty") + " holds no table file",
                                                path("plain.hog") + " holds no table file"}));
    EXPECT_EQ(Pages(game_), std::vector<std::string>{"Kept|kept.ogf|good.gam"});
}

// Most missions carry no table: beside a good game folder they add nothing and say so once; a mission whose
// table is damaged still adds none of its pages.
TEST_F(GameFolder, MissionsBesideAGoodFolder) {
    std::filesystem::create_directories(path("d3"));
    write("d3/d3.hog", HogFile({{"Table.gam", GamBuilder().texture("Rock", "rock.ogf").take()}}));
    write("plain.mn3", HogFile({{"level1.d3l", Bytes(16)}, {"briefing.txt", Bytes(5)}}));
    write("own.mn3", HogFile({{"mine.gam", GamBuilder().texture("Glow", "glow.ogf").take()}}));
    write("torn.mn3", HogFile({{"mine.gam", GamBuilder().raw(1, 2, {}).take()}}));
    const struct {
        const char* mission;
        std::vector<std::string> pages;
        std::size_t notes;
        std::size_t problems;
    } cases[] = {
        {"plain.mn3", {"Rock|rock.ogf|Table.gam"}, 1, 0},
        {"own.mn3", {"Rock|rock.ogf|Table.gam", "Glow|glow.ogf|mine.gam"}, 0, 0},
        {"torn.mn3", {"Rock|rock.ogf|Table.gam"}, 0, 1},
    };
    for (const auto& c : cases) {
        GameTextures game;
        const GameTextures::Report report = game.load(std::vector<std::string>{path("d3"), path(c.mission)});
        EXPECT_EQ(Pages(game), c.pages) << c.mission;
        ASSERT_EQ(report.notes.size(), c.notes) << c.mission;
        ASSERT_EQ(report.problems.size(), c.problems) << c.mission;
        if (c.notes == 1)
            EXPECT_EQ(report.notes[0], path(c.mission) + " holds no table file");
        if (c.problems == 1)
            EXPECT_EQ(report.problems[0].rfind(path(c.mission) + ": mine.gam: ", 0), 0u) << report.problems[0];
    }
}

// The tables every resolution test uses, read from hand-made table bytes.
GameTextures SampleGame() {
    GameTextures game;
    std::vector<TexturePage> pages;
    std::string error;
    EXPECT_TRUE(ReadTableFile(GamBuilder()
                                  .texture("Rock Wall", "rockwall.ogf")
                                  .texture("Metal", "steel.ogf")
                                  .texture("steel", "other.ogf")
                                  .texture("Glass", "glass.ogf")
                                  .texture("Lava", "LavaFlow.oaf")
                                  .take(),
                              "Table.gam", pages, error));
    game.addTable(std::move(pages));
    EXPECT_TRUE(
        ReadTableFile(GamBuilder().texture("NGRFlareCorona", "NGRFlareCorona1.ogf").take(), "extra.gam", pages, error));
    game.addTable(std::move(pages));
    return game;
}

TEST(TextureNames, ResolvesUserPairThenBitmapThenPageNameThenUnknown) {
    using namespace std::string_literals;
    const GameTextures game = SampleGame();
    std::vector<std::uint8_t> file =
        test::TexlateFile({{"hull", "metal\0junk"s}, {"ghost", "No Such Page"}, {"glass", "Rock Wall"}});
    const auto table = std::make_unique<TextureTable>();
    std::string error;
    ASSERT_TRUE(LoadTextureTable(file, *table, error)) << error;

    const struct {
        std::string model;
        std::string room;
        TextureSource source;
        const char* table;  // of the page found, null when none
    } cases[] = {
        {"hull", "metal", TextureSource::UserPair, "Table.gam"},       // judged against page names, ignoring case
        {"ghost", "No Such Page", TextureSource::UserPair, nullptr},   // a pair no page answers
        {"glass", "Rock Wall", TextureSource::UserPair, "Table.gam"},  // the pair beats glass.ogf
        {"rockwall", "Rock Wall", TextureSource::Bitmap, "Table.gam"},
        {"NGRFLARECORONA1", "NGRFlareCorona", TextureSource::Bitmap, "extra.gam"},
        {"steel", "Metal", TextureSource::Bitmap, "Table.gam"},               // steel.ogf beats the page named steel
        {"ROCK WALL\0"s, "Rock Wall", TextureSource::PageName, "Table.gam"},  // the stored terminating zero
        {"LavaFlow", "LavaFlow", TextureSource::Unknown, nullptr},            // an animation's bitmap is not NAME.ogf
        {"nothing", "nothing", TextureSource::Unknown, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        const ResolvedTexture got = ResolveTextureName(c.model, table.get(), game);
        EXPECT_EQ(got.modelName, c.model.substr(0, c.model.find('\0')));
        EXPECT_EQ(got.roomName, c.room);
        EXPECT_EQ(got.source, c.source);
        ASSERT_EQ(got.page != nullptr, c.table != nullptr);
        if (got.page)
            EXPECT_EQ(got.page->table, c.table);
    }
    // Without the user's table the pair names fall through to the game's tables.
    EXPECT_EQ(ResolveTextureName("glass", nullptr, game).roomName, "Glass");
}

TEST(TextureNames, LogsChangedNamesAndTheFramesNoteOnce) {
    const GameTextures game = SampleGame();
    std::vector<ResolvedTexture> resolved;
    for (const char* name : {"ngrflarecorona1", "Glass", "glass", "lava_01", "LAVAFLOW02", "lavaflows", "none"})
        resolved.push_back(ResolveTextureName(name, nullptr, game));
    EXPECT_EQ(ResolutionLines(resolved, game), (std::vector<std::string>{
                                                   "Texture ngrflarecorona1 is page NGRFlareCorona (extra.gam)",
                                                   "Texture glass is page Glass (Table.gam)",
                                                   "frames of animated textures are not looked up",
                                               }));
    resolved.erase(resolved.begin() + 3, resolved.begin() + 5);  // no frame candidates left
    EXPECT_EQ(ResolutionLines(resolved, game).size(), 2u);
}

TEST(TextureNames, JudgesRoomNamesOnTheirFirstThirtyFourCharactersIgnoringCase) {
    const std::string longName = "Wall_0123456789_0123456789_abcdefghij";  // 37 characters
    GameTextures game;
    std::vector<TexturePage> pages;
    std::string error;
    ASSERT_TRUE(ReadTableFile(GamBuilder().texture(longName, "w.ogf").take(), "t.gam", pages, error));
    game.addTable(std::move(pages));
    EXPECT_NE(JudgeRoomName(longName, game), nullptr);
    EXPECT_NE(JudgeRoomName("WALL_0123456789_0123456789_ABCDEFGXYZ", game), nullptr);
    EXPECT_EQ(JudgeRoomName("Wall_0123456789_0123456789_abcdef", game), nullptr);  // 33 characters
    EXPECT_EQ(JudgeRoomName("w", game), nullptr);
}

TEST(TextureNames, SuggestedTableReadsBackAsPairsForChangedNamesOnly) {
    const GameTextures game = SampleGame();
    const std::vector<std::string> names = {"rockwall", "Metal", "steel", "nothing", "rockwall", "a=b"};
    const std::string text = SuggestTexlateText(names, game);
    EXPECT_EQ(text,
              "# model texture name = room texture name, as the game's tables suggest\n"
              "rockwall = Rock Wall\n"
              "steel = Metal\n"
              "# nothing: no texture page answers this name\n"
              "# a\\=b: no texture page answers this name\n");
    TexlateTextResult parsed;
    std::string error;
    ASSERT_TRUE(ParseTexlateText(text, parsed, error)) << error;
    ASSERT_EQ(parsed.pairs.size(), 2u);
    EXPECT_EQ(parsed.pairs[1].modelName, "steel");
    EXPECT_EQ(parsed.pairs[1].roomName, "Metal");
}

TEST(TextureNames, ListingIsSortedByPageNameInAlignedColumns) {
    GameTextures game;
    game.addTable({{"beta", "b.ogf", "Table.gam"}, {"Alpha", "alpha_long.ogf", "extra.gam"}, {"c", "c.oaf", "x.gam"}});
    EXPECT_EQ(TexturePageListing(game), (std::vector<std::string>{
                                            "Page   Bitmap          Table",
                                            "Alpha  alpha_long.ogf  extra.gam",
                                            "beta   b.ogf           Table.gam",
                                            "c      c.oaf           x.gam",
                                        }));
}

}  // namespace
}  // namespace torvale
