#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>

#include "bitmap/png_image.h"
#include "builders/bitmap_builder.h"
#include "builders/bytes.h"
#include "builders/fake_platform.h"
#include "builders/game_builder.h"
#include "builders/gltf_builder.h"
#include "builders/oof_builder.h"
#include "builders/oof_parser.h"
#include "builders/orf_builder.h"
#include "builders/orf_walker.h"
#include "builders/texlate_builder.h"
#include "cli/commands.h"

namespace torvale {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ReadTestFile;
using test::WalkOrf;
using test::WriteTestFile;

using Command = int (*)(const cli::CommandContext&);

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

// Two sub-objects, the second a child of the first moved by (0, 0, 2); one texture, one untextured face.
Bytes TwoObjectModel() {
    test::SobjFields body;
    body.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    body.faces = {test::FaceFields{{0, 0, 1}, 1, 0, 0, 0, 0, {{0}, {1}, {2}}}};
    test::SobjFields lid = body;
    lid.number = 1;
    lid.parent = 0;
    lid.name = test::Stored("lid");
    lid.attachOffset = {0, 0, 2};
    lid.faces = {test::FaceFields{{0, 0, 1}, 0, 0, 9, 9, 9, {{2}, {1}, {0}}}};
    return test::OofBuilder(2300).txtr({test::Stored("wall1")}).ohdr({2}).sobj(body).sobj(lid).bytes();
}

class CliExport : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("torvale_cli_" + std::string(info->name()) + "-" + std::to_string(std::random_device{}()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ASSERT_TRUE(WriteTestFile(path("ship.oof"), TwoObjectModel()));
        ASSERT_TRUE(WriteTestFile(path("texlate.rsc"), test::TexlateFile({{"wall1", "CEILING01"}})));
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    CommandRun run(Command command, std::vector<std::string> args) const {
        std::ostringstream out;
        std::ostringstream err;
        const cli::CommandContext context{std::move(args),
                                          dir_.string() + static_cast<char>(fs::path::preferred_separator), out, err};
        const int status = command(context);
        return {status, out.str(), err.str()};
    }
    CommandRun exportCommand(std::vector<std::string> args) const { return run(cli::RunExport, std::move(args)); }

    std::set<std::string> rooms() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            if (entry.path().extension() == ".orf")
                names.insert(entry.path().filename().string());
        }
        return names;
    }

private:
    fs::path dir_;
};

TEST_F(CliExport, WritesTheCombinedRoomBesideTheModelAfterItsReport) {
    const CommandRun report = run(cli::RunReport, {path("ship.oof")});
    ASSERT_EQ(report.status, 0) << report.err;
    const CommandRun result = exportCommand({path("ship.oof")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, report.out + cli::ToPlatformLineBreaks("    \r\nExporting " + path("ship.orf") +
                                                                 "...\r\n    Number of Verts: 6\r\n"
                                                                 "    Number of Faces: 2\r\n"
                                                                 "    Warning: ship.orf, face 1: faces the other "
                                                                 "way in the level editor\r\n"
                                                                 "    Room check of ship.orf: 1 finding\r\n"
                                                                 "    \r\nFinished converting to ORF!\r\n"));

    const test::OrfWalk walk = WalkOrf(ReadTestFile(path("ship.orf")));
    ASSERT_TRUE(walk.ok) << walk.problem;
    EXPECT_EQ(walk.room.names, (std::vector<std::string>{"CEILING01", "SAMPLE TEXTURE"}));
    EXPECT_EQ(walk.room.vertices.at(5), (std::array<float, 3>{0, 1, 2}));
    EXPECT_EQ(walk.room.faces.at(1).texture, 1);
    EXPECT_EQ(walk.room.faces.at(1).corners.at(0).vertex, 5);
}

TEST_F(CliExport, WritesOneRoomPerSubObjectUnderTheTargetWithTheGivenTable) {
    ASSERT_TRUE(WriteTestFile(path("other.rsc"), test::TexlateFile({{"wall1", "FLOOR"}})));
    const CommandRun result =
        exportCommand({"--per-subobject", path("ship.oof"), "-o", path("Room.ORF"), "--texlate", path("other.rsc")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(rooms(), (std::set<std::string>{"Room01.orf", "Room02.orf"}));
    const test::OrfWalk second = WalkOrf(ReadTestFile(path("Room02.orf")));
    ASSERT_TRUE(second.ok) << second.problem;
    EXPECT_EQ(second.room.names, (std::vector<std::string>{"FLOOR", "SAMPLE TEXTURE"}));
    EXPECT_EQ(second.room.vertices.at(2), (std::array<float, 3>{0, 1, 0}));  // its own coordinates
    EXPECT_NE(result.out.find("Exporting " + path("Room02.orf") + "..."), std::string::npos);
}

// A target without a directory, given or derived from a bare model name, is a room in the current directory
// (not in the root, where a directory of its own would have put it).
TEST_F(CliExport, BareFileNamesWriteTheRoomInTheCurrentDirectory) {
    const fs::path before = fs::current_path();
    fs::current_path(fs::path(path("ship.oof")).parent_path());
    const CommandRun derived = exportCommand({"ship.oof"});
    const CommandRun given = exportCommand({"ship.oof", "-o", "hull.orf"});
    const CommandRun model = exportCommand({"ship.oof", "-o", "hull.glb"});
    fs::current_path(before);
    ASSERT_EQ(derived.status, 0) << derived.err;
    ASSERT_EQ(given.status, 0) << given.err;
    ASSERT_EQ(model.status, 0) << model.err;
    EXPECT_EQ(rooms(), (std::set<std::string>{"hull.orf", "ship.orf"}));
    EXPECT_TRUE(fs::exists(path("hull.glb")));
    // The log shows the names as given.
    EXPECT_NE(derived.out.find("\nExporting ship.orf..."), std::string::npos) << derived.out;
    EXPECT_NE(given.out.find("\nExporting hull.orf..."), std::string::npos) << given.out;
    EXPECT_NE(model.out.find("\nExporting hull.glb..."), std::string::npos) << model.out;
}

TEST_F(CliExport, MissingTableStopsBeforeTheModelIsRead) {
    fs::remove(path("texlate.rsc"));
    const CommandRun result = exportCommand({path("ship.oof")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find(path("texlate.rsc")), std::string::npos) << result.err;
    EXPECT_TRUE(rooms().empty());
}

TEST_F(CliExport, ModelThatDoesNotLoadWritesNoRoom) {
    Bytes damaged = TwoObjectModel();
    damaged[0] = 'X';
    ASSERT_TRUE(WriteTestFile(path("bad.oof"), damaged));
    const CommandRun bad = exportCommand({path("bad.oof")});
    EXPECT_EQ(bad.status, 1);
    // A file of no kind the program reads says which kinds it reads.
    EXPECT_NE(bad.out.find("Error: bad.oof is no kind of file TORVALE reads; it reads an OOF model, an ORF room"),
              std::string::npos)
        << bad.out;

    const CommandRun missing = exportCommand({path("gone.oof")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find(path("gone.oof")), std::string::npos) << missing.err;
    EXPECT_TRUE(rooms().empty());
    EXPECT_FALSE(fs::exists(path("gone.oof")));
}

TEST_F(CliExport, RoomThatCannotBeWrittenEndsWithTheFailure) {
    const std::string target = (fs::path(path("missing")) / "ship.orf").string();
    const CommandRun result = exportCommand({path("ship.oof"), "-o", target});
    EXPECT_EQ(result.status, 1);
    const std::string tail = cli::ToPlatformLineBreaks("\r\n    \r\nExport failed: not every room was written.\r\n");
    ASSERT_GE(result.out.size(), tail.size());
    EXPECT_EQ(result.out.substr(result.out.size() - tail.size()), tail);
    EXPECT_NE(result.out.find("Error: could not write " + target + ": "), std::string::npos);
    EXPECT_EQ(result.out.find("Finished converting"), std::string::npos);
}

TEST_F(CliExport, UsageErrorsExitWithTwoAndTheUsageOnStandardError) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {path("ship.oof"), "--combined", "--per-subobject"},
        {path("ship.oof"), "-o"},
        {path("ship.oof"), "--texlate"},
        {path("ship.oof"), path("ship.oof")},
        {path("ship.oof"), "--zip"},
        {path("ship.oof"), "-o", path("dir") + static_cast<char>(fs::path::preferred_separator)},
        {path("ship.oof"), "-o", path("ship.glb"), "--strict"},
        {path("ship.oof"), "-o", path("ship.OBJ"), "--merge-faces"},
        {path("ship.oof"), "--game"},
    };
    for (const auto& args : wrong) {
        const CommandRun result = exportCommand(args);
        EXPECT_EQ(result.status, 2) << testing::PrintToString(args);
        EXPECT_NE(result.err.find("Usage: torvale-cli export INPUT"), std::string::npos);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_TRUE(rooms().empty());
    const CommandRun help = exportCommand({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: torvale-cli export INPUT", 0), 0u);
    EXPECT_NE(exportCommand({path("ship.oof"), "-o", path("ship.gltf"), "--reverse-faces"})
                  .err.find("--reverse-faces is for room files"),
              std::string::npos);
}

// No command writes over one of its own inputs, whatever the spelling: each refusal is a usage error and the
// input stays byte for byte.
TEST_F(CliExport, NoCommandWritesOverItsOwnInput) {
    const Bytes model = TwoObjectModel();
    const Bytes pairs{'a', ' ', '=', ' ', 'b', '\n'};
    const std::string sep(1, static_cast<char>(fs::path::preferred_separator));
    fs::create_directory(path("sub"));
    struct Case {
        Command command;
        std::string input;  // written first, then checked byte for byte
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {cli::RunExport, "w01.orf", {path("w01.orf"), "--per-subobject", "-o", path("w.orf")}},
        {cli::RunExport, "x.bin", {path("x.bin"), "-o", path("x.gltf")}},
        {cli::RunExport, "m.mtl", {path("m.mtl"), "-o", path("m.obj")}},
        {cli::RunExport, "ship.glb", {path("ship.glb"), "-o", path("sub") + sep + ".." + sep + "ship.glb"}},
        {cli::RunExport, "t.orf", {path("ship.oof"), "--texlate", path("t.orf"), "-o", path("t.orf")}},
        {cli::RunRender, "s.oof", {path("s.oof"), "-o", path(".") + sep + "s.oof"}},
        {cli::RunTexlate, "pairs.txt", {"build", path("pairs.txt"), "-o", path("pairs.txt")}},
    };
    for (const Case& c : cases) {
        const Bytes content = c.input == "pairs.txt" ? pairs
                              : c.input == "t.orf"   ? ReadTestFile(path("texlate.rsc"))
                                                     : model;
        ASSERT_TRUE(WriteTestFile(path(c.input), content));
        const CommandRun result = run(c.command, c.args);
        EXPECT_EQ(result.status, 2) << testing::PrintToString(c.args) << result.err;
        EXPECT_NE(result.err.find("would be written over"), std::string::npos) << result.err;
        EXPECT_EQ(ReadTestFile(path(c.input)), content) << c.input;
    }
    EXPECT_EQ(rooms(), (std::set<std::string>{"t.orf", "w01.orf"})) << "no room beside them";
    EXPECT_FALSE(fs::exists(path("x.gltf")));
    EXPECT_FALSE(fs::exists(path("m.obj")));
}

// A target naming a folder is a usage error for every command that writes one: nothing is written, no hidden
// "..orf" appears.
TEST_F(CliExport, TargetNamingAFolderIsAUsageError) {
    const std::string sep(1, static_cast<char>(fs::path::preferred_separator));
    fs::create_directory(path("rooms"));
    ASSERT_TRUE(WriteTestFile(path("pairs.txt"), {'a', '=', 'b', '\n'}));
    const std::set<std::string> before = [&] {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(path("")))
            names.insert(entry.path().string());
        return names;
    }();
    const fs::path here = fs::current_path();
    fs::current_path(path("rooms"));
    for (const std::string& folder :
         {std::string("."), std::string(".."), path("rooms"), path("new") + sep, path("rooms") + sep + "."}) {
        const CommandRun exported = run(cli::RunExport, {path("ship.oof"), "-o", folder});
        const CommandRun rendered = run(cli::RunRender, {path("ship.oof"), "-o", folder});
        const CommandRun built = run(cli::RunTexlate, {"build", path("pairs.txt"), "-o", folder});
        for (const CommandRun* result : {&exported, &rendered, &built}) {
            EXPECT_EQ(result->status, 2) << folder << result->err;
            EXPECT_NE(result->err.find("is a folder"), std::string::npos) << result->err;
        }
    }
    fs::current_path(here);
    std::set<std::string> after;
    for (const auto& entry : fs::recursive_directory_iterator(path("")))
        after.insert(entry.path().string());
    EXPECT_EQ(after, before);
}

// The commands around rooms and the game's tables, each through its exit status and the lines it prints.
TEST_F(CliExport, GameTablesNameTheRoomTexturesAndStrictRefusesWhatTheyDoNotKnow) {
    ASSERT_TRUE(WriteTestFile(path("other.rsc"), test::TexlateFile({{"other", "X"}})));
    ASSERT_TRUE(WriteTestFile(path("extra.gam"), test::GamBuilder().texture("WallPage", "WALL1.ogf").take()));
    ASSERT_TRUE(WriteTestFile(path("empty.gam"), test::GamBuilder().texture("Rock", "rock.ogf").take()));

    const CommandRun named =
        exportCommand({path("ship.oof"), "--texlate", path("other.rsc"), "--game", path("extra.gam")});
    ASSERT_EQ(named.status, 0) << named.err;
    EXPECT_NE(named.out.find("Texture wall1 is page WallPage (extra.gam)"), std::string::npos) << named.out;
    EXPECT_EQ(WalkOrf(ReadTestFile(path("ship.orf"))).room.names.at(0), "WallPage");

    const std::vector<std::string> unknown = {path("ship.oof"),  "-o",     path("strict.orf"), "--texlate",
                                              path("other.rsc"), "--game", path("empty.gam"),  "--reverse-faces"};
    const CommandRun advised = exportCommand(unknown);
    EXPECT_EQ(advised.status, 0);
    EXPECT_NE(advised.out.find("texture wall1 is no texture page of the game's tables"), std::string::npos);
    fs::remove(path("strict.orf"));
    std::vector<std::string> strict = unknown;
    strict.push_back("--strict");
    const CommandRun refused = exportCommand(strict);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.out.find("no room was written"), std::string::npos) << refused.out;
    EXPECT_FALSE(fs::exists(path("strict.orf")));

    // A mission without a table beside a good table: a note, and the command goes on; alone it gives nothing.
    ASSERT_TRUE(WriteTestFile(path("mission.mn3"), test::HogFile({{"level1.d3l", Bytes(8)}})));
    const CommandRun mission = exportCommand({path("ship.oof"), "-o", path("m.orf"), "--texlate", path("other.rsc"),
                                              "--game", path("extra.gam"), "--game", path("mission.mn3")});
    EXPECT_EQ(mission.status, 0) << mission.err;
    EXPECT_EQ(mission.err, "note: " + path("mission.mn3") + " holds no table file\n");
    EXPECT_EQ(WalkOrf(ReadTestFile(path("m.orf"))).room.names.at(0), "WallPage");
    EXPECT_EQ(run(cli::RunTextures, {"--game", path("mission.mn3")}).status, 1);

    const CommandRun listed = run(cli::RunTextures, {"--game", path("extra.gam")});
    EXPECT_EQ(listed.status, 0);
    EXPECT_NE(listed.out.find("WallPage"), std::string::npos);
    EXPECT_EQ(run(cli::RunTextures, {"--game", path("extra.gam"), "WALL1"}).status, 0);
    EXPECT_EQ(run(cli::RunTextures, {"--game", path("extra.gam"), "rock"}).status, 1);

    const CommandRun suggested = run(cli::RunTexlate, {"suggest", path("ship.oof"), "--game", path("extra.gam")});
    EXPECT_EQ(suggested.status, 0) << suggested.err;
    EXPECT_NE(suggested.out.find("wall1 = WallPage"), std::string::npos) << suggested.out;
}

// The scale multiplies positions and offsets before anything else, for every target; a factor that is not
// finite and above 0 is a usage error.
TEST_F(CliExport, ScaleMultipliesEveryPositionAndRefusesWhatIsNoFactor) {
    const CommandRun scaled = exportCommand({path("ship.oof"), "-o", path("big.orf"), "--scale", "100"});
    ASSERT_EQ(scaled.status, 0) << scaled.err;
    EXPECT_NE(scaled.out.find("Scaled by 100"), std::string::npos) << scaled.out;
    using V = std::array<float, 3>;
    EXPECT_EQ(WalkOrf(ReadTestFile(path("big.orf"))).room.vertices,
              (std::vector<V>{{0, 0, 0}, {100, 0, 0}, {0, 100, 0}, {0, 0, 200}, {100, 0, 200}, {0, 100, 200}}));
    EXPECT_EQ(exportCommand({path("ship.oof"), "-o", path("same.orf")}).out.find("Scaled by"), std::string::npos);

    const CommandRun obj = exportCommand({path("ship.oof"), "-o", path("big.obj"), "--scale", "2.5"});
    ASSERT_EQ(obj.status, 0) << obj.err;
    const Bytes text = ReadTestFile(path("big.obj"));
    // The game's +x is the file's -x.
    EXPECT_NE(std::string(text.begin(), text.end()).find("v -2.5 0 0"), std::string::npos);

    for (const char* factor : {"0", "-1", "nan", "inf", "-0", "1x", "1e999"}) {
        const CommandRun refused = exportCommand({path("ship.oof"), "-o", path("no.orf"), "--scale", factor});
        EXPECT_EQ(refused.status, 2) << factor;
        EXPECT_NE(refused.err.find("--scale needs a finite number above 0"), std::string::npos) << refused.err;
    }
    EXPECT_EQ(exportCommand({path("ship.oof"), "--merge-angle", "5"}).status, 2);  // without --merge-faces
    EXPECT_EQ(exportCommand({path("ship.oof"), "--merge-faces", "--merge-angle", "90"}).status, 2);
    EXPECT_FALSE(fs::exists(path("no.orf")));
}

TEST_F(CliExport, CheckReportsRoomsAndTheirFindings) {
    // Four vertices, the last unused; one triangle.
    test::OrfFaceRecord face;
    face.corners = {{0}, {1}, {2}};
    face.normal = {0, 0, -1};
    ASSERT_TRUE(
        WriteTestFile(path("room.orf"),
                      test::OrfBuilder().room({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {5, 5, 5}}, {"Rock"}, {face}).bytes()));
    const CommandRun checked = run(cli::RunCheck, {path("room.orf")});
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_NE(checked.out.find("Warning: room.orf, vertex 3: unused"), std::string::npos) << checked.out;
    EXPECT_NE(checked.out.find("Room check of room.orf: 1 finding"), std::string::npos) << checked.out;
    EXPECT_EQ(run(cli::RunCheck, {path("room.orf"), "--strict"}).status, 1);
    EXPECT_EQ(run(cli::RunCheck, {path("room.orf"), path("missing.orf")}).status, 1);
    EXPECT_EQ(run(cli::RunCheck, {"--strict"}).status, 2);

    const CommandRun drawn =
        run(cli::RunRender, {path("room.orf"), "-o", path("room.png"), "--size", "64x48", "--findings"});
    EXPECT_EQ(drawn.status, 0) << drawn.err;
    const Bytes png = ReadTestFile(path("room.png"));
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png[1], 'P');
    EXPECT_EQ(run(cli::RunRender, {path("room.orf"), "-o", path("x.png"), "--size", "0x5"}).status, 2);
}

TEST_F(CliExport, RenderAndExportTakeTheTexturesImagesFromTheFoldersGiven) {
    ASSERT_TRUE(WriteTestFile(path("room.orf"), test::CubeRoom()));  // textures rock1 and metal_plate
    fs::create_directories(path("tex"));
    const Bytes green = EncodePngPixels(1, 1, 3, std::vector<std::uint8_t>{0, 200, 0});
    ASSERT_TRUE(WriteTestFile(path("tex/Rock1.png"), green));
    ASSERT_TRUE(WriteTestFile(path("tex/metal_plate.png"), green));

    const CommandRun drawn =
        run(cli::RunRender, {path("room.orf"), "-o", path("room.png"), "--size", "40x30", "--textures", path("tex")});
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    EXPECT_EQ(drawn.err, "");
    Image picture;
    std::string error;
    ASSERT_TRUE(ReadPngImage(ReadTestFile(path("room.png")), picture, error)) << error;
    const std::size_t centre = (15 * 40 + 20) * 4;
    EXPECT_EQ(picture.level.rgba[centre], 0);  // the texture's green, shaded
    EXPECT_GT(picture.level.rgba[centre + 1], 60);
    EXPECT_EQ(picture.level.rgba[centre + 2], 0);

    // A name found nowhere is one note.
    fs::remove(path("tex/metal_plate.png"));
    const CommandRun half = run(cli::RunRender, {path("room.orf"), "-o", path("room.png"), "--textures", path("tex")});
    EXPECT_EQ(half.err, "note: no image was found for texture metal_plate\n");

    const CommandRun gltf = exportCommand({path("room.orf"), "-o", path("room.gltf"), "--textures", path("tex")});
    ASSERT_EQ(gltf.status, 0) << gltf.err << gltf.out;
    EXPECT_TRUE(fs::exists(path("rock1.png"))) << gltf.out;
    EXPECT_NE(gltf.out.find("Note: no image was found for texture metal_plate"), std::string::npos) << gltf.out;
}

// The model's report as `report` prints it, then the model check: the lid's face is wound against its normal, and
// as a ship the model has no battery, no attach points and a header radius short of the lid.
TEST_F(CliExport, CheckJudgesObjectModelsAfterTheirReport) {
    const CommandRun report = run(cli::RunReport, {path("ship.oof")});
    ASSERT_EQ(report.status, 0) << report.err;
    const std::string winding =
        "Warning: ship.oof, sub-object 1, face 0: normal (0, 0, 1) against the winding of its corners (0, 0, -1)";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string summary;
    } cases[] = {
        {{path("ship.oof")}, 0, "Model check of ship.oof: 1 finding"},
        {{path("ship.oof"), "--strict"}, 1, "Model check of ship.oof: 1 finding"},
        {{path("ship.oof"), "--ship"}, 0, "Model check of ship.oof: 4 findings"},
        {{path("ship.oof"), path("missing.oof")}, 1, "Model check of ship.oof: 1 finding"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const CommandRun checked = run(cli::RunCheck, c.args);
        EXPECT_EQ(checked.status, c.status) << checked.err;
        EXPECT_EQ(checked.out.substr(0, report.out.size()), report.out);
        EXPECT_NE(checked.out.find(winding), std::string::npos) << checked.out;
        EXPECT_NE(checked.out.find(c.summary), std::string::npos) << checked.out;
    }
    const CommandRun ship = run(cli::RunCheck, {path("ship.oof"), "--ship"});
    EXPECT_NE(ship.out.find("Warning: ship.oof: a ship needs at least 3 attach points; it has 0"), std::string::npos)
        << ship.out;

    Bytes cut = TwoObjectModel();
    cut.resize(cut.size() - 5);
    ASSERT_TRUE(WriteTestFile(path("cut.oof"), cut));
    const CommandRun refused = run(cli::RunCheck, {path("cut.oof")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("cut.oof is no object model TORVALE reads"), std::string::npos) << refused.err;
    EXPECT_NE(refused.out.find("Error reading cut.oof Not a valid OOF!"), std::string::npos) << refused.out;
    EXPECT_EQ(refused.out.find("Model check of"), std::string::npos) << refused.out;
}

TEST_F(CliExport, CheckJudgesTheBitmapsOfTheRoomsTextures) {
    // The cube's two textures are "rock1" and "metal_plate"; rock1 is a page of the game's tables naming a TGA,
    // metal_plate comes from a folder at a size the game does not take.
    ASSERT_TRUE(WriteTestFile(path("room.orf"), test::CubeRoom()));
    fs::create_directories(path("d3"));
    fs::create_directories(path("own"));
    ASSERT_TRUE(WriteTestFile(path("d3/Table.gam"), test::GamBuilder().texture("rock1", "rock.tga").take()));
    ASSERT_TRUE(WriteTestFile(path("d3/rock.tga"), test::TgaHeader(2, 64, 64, 24, 0).raw(Bytes(64 * 64 * 3)).take()));
    ASSERT_TRUE(WriteTestFile(path("own/METAL_plate.ogf"), test::Ogf1555("m.ogf", 2, 1, {0x8000, 0x8000})));

    const CommandRun checked =
        run(cli::RunCheck, {path("room.orf"), "--game", path("d3"), "--textures", path("own"), "--strict"});
    EXPECT_EQ(checked.status, 1) << checked.err;
    const std::string sep(1, test::kSeparator);
    EXPECT_NE(checked.out.find("Warning: room.orf: texture rock1: its bitmap (" + path("d3") + sep +
                               "rock.tga) is a TGA; the game reads only OGF bitmaps for a texture page"),
              std::string::npos)
        << checked.out;
    EXPECT_NE(checked.out.find("Warning: room.orf: texture metal_plate: its bitmap (" + path("own") + sep +
                               "METAL_plate.ogf) is 2 x 1; the game takes square 32, 64 or 128"),
              std::string::npos)
        << checked.out;
    EXPECT_NE(checked.out.find("texture metal_plate is no texture page"), std::string::npos) << checked.out;
    EXPECT_NE(checked.out.find("Room check of room.orf: 3 findings"), std::string::npos) << checked.out;

    // A 64 x 64 OGF is what the game takes.
    ASSERT_TRUE(
        WriteTestFile(path("own/metal_plate.ogf"), test::Ogf1555("m.ogf", 64, 64, std::vector<std::uint16_t>(4096))));
    fs::remove(path("own/METAL_plate.ogf"));
    const CommandRun clean = run(cli::RunCheck, {path("room.orf"), "--textures", path("own")});
    EXPECT_NE(clean.out.find("Room check of room.orf: no findings"), std::string::npos) << clean.out;
    EXPECT_EQ(run(cli::RunCheck, {path("room.orf"), "--textures", path("nowhere")}).status, 1);
}

TEST_F(CliExport, WritesObjectModelsFromEveryKindOfInput) {
    // The OOF written anew, a glTF and a room: each gives a model the strict test-side parser takes, and whose
    // report names what went in.
    const test::GltfBuilder gltf = test::TwoNodeGltf();
    ASSERT_TRUE(WriteTestFile(path("two.glb"), gltf.glb()));
    ASSERT_TRUE(WriteTestFile(path("room.orf"), test::CubeRoom()));
    struct Case {
        std::string input;
        std::size_t objects;
        std::vector<std::string> textures;
    };
    const Case cases[] = {
        {"ship.oof", 2, {"wall1"}},
        {"two.glb", 2, {"rock"}},
        {"room.orf", 1, {"rock1", "metal_plate"}},
    };
    for (const Case& c : cases) {
        const CommandRun written = exportCommand({path(c.input), "-o", path("out.OOF")});
        ASSERT_EQ(written.status, 0) << c.input << written.err << written.out;
        EXPECT_NE(written.out.find("Finished exporting " + path("out.OOF")), std::string::npos) << written.out;
        EXPECT_NE(written.out.find("Model check of out.OOF: "), std::string::npos) << written.out;
        const test::ParsedOof oof = test::ParseOofForTest(ReadTestFile(path("out.OOF")));
        ASSERT_TRUE(oof.ok) << c.input << ": " << oof.problem;
        EXPECT_EQ(oof.objects.size(), c.objects) << c.input;
        EXPECT_EQ(oof.textures, c.textures) << c.input;
        const CommandRun report = run(cli::RunReport, {path("out.OOF")});
        EXPECT_EQ(report.status, 0) << report.err;
        for (const std::string& texture : c.textures)
            EXPECT_NE(report.out.find(texture), std::string::npos) << c.input << report.out;
    }
    // The sample's child keeps its parent and offset.
    ASSERT_EQ(exportCommand({path("ship.oof"), "-o", path("again.oof")}).status, 0);
    const test::ParsedOof again = test::ParseOofForTest(ReadTestFile(path("again.oof")));
    ASSERT_EQ(again.objects.size(), 2u);
    EXPECT_EQ(again.objects[1].parent, 0);
    EXPECT_EQ(again.objects[1].attachOffset, (Vector3{0, 0, 2}));
    EXPECT_EQ(again.objects[1].name, "lid");

    // A glow comes through glTF as two triangles and goes back to the game as the one face it is drawn from.
    test::GltfBuilder glowing;
    const int square = glowing.mesh(test::FrontFacingSquare());
    const int glow = glowing.node({"glow", square, Vector3{0, 0, 1}, std::nullopt, std::nullopt, {}});
    glowing.nodeExtras(glow, "\"pof_properties\":\"$glow=1,0.5,0,2\"");
    glowing.rootNodes({glowing.node({"body", square, std::nullopt, std::nullopt, std::nullopt, {glow}})});
    ASSERT_TRUE(WriteTestFile(path("glow.glb"), glowing.glb()));
    ASSERT_EQ(exportCommand({path("glow.glb"), "-o", path("glow.oof")}).status, 0);
    const test::ParsedOof glowOof = test::ParseOofForTest(ReadTestFile(path("glow.oof")));
    ASSERT_TRUE(glowOof.ok) << glowOof.problem;
    ASSERT_EQ(glowOof.objects.size(), 2u);
    EXPECT_EQ(glowOof.objects[0].faces.size(), 2u);  // the body keeps its triangles
    ASSERT_EQ(glowOof.objects[1].faces.size(), 1u);
    EXPECT_EQ(glowOof.objects[1].faces[0].corners.size(), 4u);
    EXPECT_EQ(glowOof.objects[1].propertyName, "$glow=1,0.5,0,2");

    // A model the game could not load is refused whole: 31 sub-objects.
    test::OofBuilder many(2300);
    many.ohdr({31});
    for (std::int32_t i = 0; i < 31; ++i) {
        test::SobjFields part;
        part.number = i;
        many.sobj(part);
    }
    ASSERT_TRUE(WriteTestFile(path("many.oof"), many.bytes()));
    const CommandRun refused = exportCommand({path("many.oof"), "-o", path("many_out.oof")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.out.find("Error: the model has 31 sub-objects; an object model holds 1 to 30; nothing was "
                               "written"),
              std::string::npos)
        << refused.out;
    EXPECT_FALSE(fs::exists(path("many_out.oof")));
}

}  // namespace
}  // namespace torvale
