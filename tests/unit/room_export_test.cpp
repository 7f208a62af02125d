#include <gtest/gtest.h>

#include <algorithm>

#include <bit>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <random>
#include <set>

#include "builders/bytes.h"
#include "builders/model_builder.h"
#include "builders/orf_walker.h"
#include "oof/oof_scene.h"
#include "orf/room_export.h"

namespace torvale {
namespace {

namespace fs = std::filesystem;
constexpr char kSeparator = static_cast<char>(fs::path::preferred_separator);
using test::Bytes;
using test::ModelBuilder;
using test::OrfWalk;
using test::ReadTestFile;
using test::WalkOrf;
using test::WriteTestFile;

// The export as the program runs it on a model read from an OOF file: the model's damage refuses it first.
ExportOutcome Export(const ObjectModel& model,
                     const TextureTable& table,
                     const RoomExportOptions& options,
                     ExportNames& names,
                     OutputSink& out) {
    Scene scene;
    std::string damage;
    if (!SceneFromOof(model, scene, damage))
        return RefuseRoomExport(damage, out);
    return WriteRooms(scene, table, options, names, out);
}

class RecordingSink : public OutputSink {
public:
    void PrintOutput(std::string_view message) override { messages.emplace_back(message); }
    std::vector<std::string> messages;
};

// A fresh directory per test, removed afterwards.
class RoomExport : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("torvale_rooms_" + std::string(info->name()) + "-" + std::to_string(std::random_device{}()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    std::string dir() const { return dir_.string() + kSeparator; }

    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.insert(entry.path().filename().string());
        return names;
    }

    ExportOutcome write(const ObjectModel& model, bool combined, const std::string& title) {
        names = {path(title), title, names.orfDirectory};
        return Export(model, table, {combined, kSeparator}, names, log);
    }

    OrfWalk walk(const std::string& name) const {
        OrfWalk result = WalkOrf(ReadTestFile(path(name)));
        EXPECT_TRUE(result.ok) << name << ": " << result.problem;
        return result;
    }

    TextureTable table;
    ExportNames names;
    RecordingSink log;

private:
    fs::path dir_;
};

ObjectModel SubObjects(int count) {
    ModelBuilder builder;
    for (int i = 0; i < count; ++i) {
        builder.subObject().vertex(static_cast<float>(i), 0, 0).vertex(0, 1, 0).vertex(0, 0, 1);
        for (int f = 0; f <= i % 3; ++f)
            builder.face(-1, {{0}, {1}, {2}});
    }
    return builder.build();
}

TEST_F(RoomExport, BaseNameDropsEverythingFromTheFirstOrfExtension) {
    struct Case {
        const char* title;
        bool combined;
        std::set<std::string> files;
        const char* baseTitle;
    };
    const Case cases[] = {
        {"Ship.ORF", true, {"Ship.orf"}, "Ship"},
        {"Ship.ORF", false, {"Ship01.orf", "Ship02.orf"}, "Ship"},
        {"a.orf.bak", true, {"a.orf"}, "a"},
        {"ship", true, {"ship.orf"}, "ship"},
        {"ship.txt", true, {"ship.txt.orf"}, "ship.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        for (const auto& name : files())
            fs::remove(path(name));
        EXPECT_EQ(write(SubObjects(2), c.combined, c.title), ExportOutcome::Written);
        EXPECT_EQ(files(), c.files);
        EXPECT_EQ(names.orfTitle, c.baseTitle);
        EXPECT_EQ(names.orfDirectory, dir());
        EXPECT_EQ(names.orfPath, dir() + c.baseTitle);
    }
}

TEST(RoomExportNames, DirectoryIsKeptWhenThePathDoesNotEndWithTheTitle) {
    RecordingSink log;
    ExportNames names{"C:\\other\\thing.orf", "SHIP.orf", "C:\\rooms"};  // no rooms: nothing touches the disk
    ObjectModel model;
    EXPECT_EQ(Export(model, {}, {false, '\\'}, names, log), ExportOutcome::Written);
    EXPECT_EQ(names.orfDirectory, "C:\\rooms\\");
    EXPECT_EQ(names.orfPath, "C:\\rooms\\SHIP");
    names = {"C:\\m\\ship.orf", "SHIP.ORF", "C:\\rooms\\"};  // the title matches without regard to case
    EXPECT_EQ(Export(model, {}, {false, '\\'}, names, log), ExportOutcome::Written);
    EXPECT_EQ(names.orfDirectory, "C:\\m\\");
    EXPECT_EQ(names.orfPath, "C:\\m\\SHIP");
    EXPECT_TRUE(log.messages.empty());
}

TEST(RoomExportNames, EmptyNameOrTitleTouchesNothing) {
    RecordingSink log;
    for (ExportNames names : {ExportNames{"", "a.orf", "d/"}, ExportNames{"d/a.orf", "", "d/"}}) {
        const ExportNames before = names;
        EXPECT_EQ(Export(SubObjects(1), {}, {true, '/'}, names, log), ExportOutcome::Skipped);
        EXPECT_EQ(names.orfPath, before.orfPath);
        EXPECT_EQ(names.orfTitle, before.orfTitle);
        EXPECT_EQ(names.orfDirectory, before.orfDirectory);
    }
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(RoomExport, PerSubObjectRoomsAreNumberedWithAtLeastTwoDigits) {
    EXPECT_EQ(write(SubObjects(1), false, "one.orf"), ExportOutcome::Written);
    EXPECT_EQ(files(), std::set<std::string>{"one.orf"});

    EXPECT_EQ(write(SubObjects(0), false, "none.orf"), ExportOutcome::Written);
    EXPECT_EQ(files(), std::set<std::string>{"one.orf"});

    log.messages.clear();
    EXPECT_EQ(write(SubObjects(100), false, "big.orf"), ExportOutcome::Written);
    EXPECT_EQ(files().size(), 101u);
    for (const char* name : {"big01.orf", "big09.orf", "big10.orf", "big99.orf", "big100.orf"}) {
        EXPECT_TRUE(files().count(name)) << name;
    }
    // Each room holds its own sub-object: the first vertex's x is the sub-object's position in the model.
    EXPECT_EQ(walk("big12.orf").room.vertices.at(0)[0], 11.0f);
    EXPECT_EQ(walk("big100.orf").room.faces.size(), 1u);
    // Each room: its three lines, then what the room check finds in it (findings, then the summary).
    EXPECT_EQ(std::count_if(log.messages.begin(), log.messages.end(),
                            [](const std::string& m) { return m.rfind("Room check of big", 0) == 0; }),
              100);
}

TEST_F(RoomExport, EachRoomIsReportedWithItsCountsInOrder) {
    ObjectModel model = SubObjects(2);
    EXPECT_EQ(write(model, false, "a.orf"), ExportOutcome::Written);
    EXPECT_EQ(log.messages,
              (std::vector<std::string>{"\r\nExporting " + dir() + "a01.orf...\r\n", "Number of Verts: 3\r\n",
                                        "Number of Faces: 1\r\n", "Room check of a01.orf: no findings\r\n",
                                        "\r\nExporting " + dir() + "a02.orf...\r\n", "Number of Verts: 3\r\n",
                                        "Number of Faces: 2\r\n", "Warning: a02.orf, face 1: same as face 0\r\n",
                                        "Room check of a02.orf: 1 finding\r\n"}));
    log.messages.clear();
    EXPECT_EQ(write(model, true, "a.orf"), ExportOutcome::Written);
    EXPECT_EQ(log.messages,
              (std::vector<std::string>{
                  "\r\nExporting " + dir() + "a.orf...\r\n", "Number of Verts: 6\r\n", "Number of Faces: 3\r\n",
                  "Warning: a.orf, face 2: same as face 1\r\n", "Warning: a.orf, vertex 4: same as vertex 1\r\n",
                  "Warning: a.orf, vertex 5: same as vertex 2\r\n", "Room check of a.orf: 3 findings\r\n"}));
}

TEST_F(RoomExport, CombinedRoomPlacesSubObjectsByTheirParentChain) {
    // Sub-object 2's chain: own (1, 0, 0), parent (0, 2, 0), grandparent (0, 0, 3).
    const ObjectModel model = ModelBuilder()
                                  .subObject(-1, {0, 0, 3})
                                  .vertex(0, 0, 0)
                                  .subObject(0, {0, 2, 0})
                                  .subObject(1, {1, 0, 0})
                                  .vertex(0, 0, 0)
                                  .vertex(10, 10, 10)
                                  .face(-1, {{1}, {0}, {1}})
                                  .build();
    ASSERT_EQ(write(model, true, "c.orf"), ExportOutcome::Written);
    const OrfWalk result = walk("c.orf");
    using V = std::array<float, 3>;
    EXPECT_EQ(result.room.vertices, (std::vector<V>{{0, 0, 3}, {1, 2, 3}, {11, 12, 13}}));
    // The third sub-object's corners move past the one vertex of the first (the second has none).
    ASSERT_EQ(result.room.faces.size(), 1u);
    EXPECT_EQ(result.room.faces[0].corners[0].vertex, 2);
    EXPECT_EQ(result.room.faces[0].corners[1].vertex, 1);
}

TEST_F(RoomExport, CombinedOffsetsAddInSinglePrecisionFromTheSubObjectUp) {
    // Own 1, parent 1E8, root -1E8: (1 + 1E8) rounds to 1E8 in float32, so the sum is 0; adding from the
    // root down, or in double precision, would give 1.
    const ObjectModel model = ModelBuilder()
                                  .subObject(-1, {-1e8f, 0, 0})
                                  .subObject(0, {1e8f, 0, 0})
                                  .subObject(1, {1, 0, 0})
                                  .vertex(0, 0, 0)
                                  .build();
    ASSERT_EQ(write(model, true, "f.orf"), ExportOutcome::Written);
    EXPECT_EQ(walk("f.orf").room.vertices.at(0)[0], 0.0f);
}

TEST_F(RoomExport, PerSubObjectRoomCopiesPositionsBitForBit) {
    const float denormal = std::bit_cast<float>(0x00001234u);
    const ObjectModel model =
        ModelBuilder().subObject(-1, {5, 5, 5}).subObject(0, {1, 2, 3}).vertex(-0.0f, denormal, 1e-40f).build();
    ASSERT_EQ(write(model, false, "p.orf"), ExportOutcome::Written);
    const auto vertex = walk("p02.orf").room.vertices.at(0);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(vertex[0]), 0x80000000u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(vertex[1]), 0x00001234u);
    EXPECT_EQ(vertex[2], 1e-40f);
}

TEST_F(RoomExport, SampleTextureIsAddedOnlyToRoomsWithAnUntexturedFace) {
    const ObjectModel model = ModelBuilder()
                                  .texture("rock")
                                  .subObject()
                                  .vertex(0, 0, 0)
                                  .face(0, {{0}, {0}, {0}})
                                  .subObject()
                                  .vertex(0, 0, 0)
                                  .face(-1, {{0}, {0}, {0}})
                                  .build();
    ASSERT_EQ(write(model, false, "t.orf"), ExportOutcome::Written);
    EXPECT_EQ(walk("t01.orf").room.names, std::vector<std::string>{"rock"});
    EXPECT_EQ(walk("t02.orf").room.names, (std::vector<std::string>{"rock", "SAMPLE TEXTURE"}));
    EXPECT_EQ(walk("t02.orf").room.faces.at(0).texture, 1);
    ASSERT_EQ(write(model, true, "t.orf"), ExportOutcome::Written);
    EXPECT_EQ(walk("t.orf").room.names, (std::vector<std::string>{"rock", "SAMPLE TEXTURE"}));
}

TEST_F(RoomExport, ExistingLongerFileIsReplacedCompletely) {
    ASSERT_TRUE(WriteTestFile(path("r.orf"), Bytes(5000, 0xAB)));
    ASSERT_EQ(write(ObjectModel{}, true, "r.orf"), ExportOutcome::Written);
    EXPECT_EQ(ReadTestFile(path("r.orf")).size(), 71u);
    EXPECT_EQ(files(), std::set<std::string>{"r.orf"});  // no temporary file left behind
}

TEST_F(RoomExport, RoomThatCannotBeWrittenLeavesEveryOldRoomAsItWas) {
    const Bytes old(300, 0x5A);
    ASSERT_TRUE(WriteTestFile(path("w01.orf"), old));
    ASSERT_TRUE(WriteTestFile(path("w03.orf"), old));
    fs::create_directory(path("w02.orf"));  // a directory in the second room's place cannot be replaced
    ASSERT_TRUE(WriteTestFile(path("w02.orf/inside"), old));

    EXPECT_EQ(write(SubObjects(3), false, "w.orf"), ExportOutcome::Failed);
    EXPECT_EQ(ReadTestFile(path("w01.orf")), old);
    EXPECT_EQ(ReadTestFile(path("w02.orf/inside")), old);
    EXPECT_EQ(ReadTestFile(path("w03.orf")), old);
    EXPECT_EQ(files(), (std::set<std::string>{"w01.orf", "w02.orf", "w03.orf"}));  // no temporary left
    ASSERT_FALSE(log.messages.empty());
    const std::string& error = log.messages.back();
    EXPECT_EQ(error.rfind("\r\nError: could not write " + path("w02.orf") + ": ", 0), 0u) << error;
    EXPECT_NE(error.find("no file was replaced"), std::string::npos) << error;
    EXPECT_EQ(error.find("\r\n", 2), error.size() - 2) << "one line";
}

TEST_F(RoomExport, RoomInAMissingDirectoryFails) {
    const std::string target = path("gone") + kSeparator + "x.orf";
    names = {target, "x.orf", ""};
    EXPECT_EQ(Export(SubObjects(1), table, {true, kSeparator}, names, log), ExportOutcome::Failed);
    ASSERT_FALSE(log.messages.empty());
    EXPECT_EQ(log.messages.back().rfind("\r\nError: could not write " + target + ": ", 0), 0u) << log.messages.back();
}

TEST_F(RoomExport, RoomOverTheModelsOwnFileIsRefused) {
    const Bytes model(40, 0x11);
    ASSERT_TRUE(WriteTestFile(path("m02.orf"), model));
    RoomExportOptions options{false, kSeparator};
    options.inputs = {path(".") + kSeparator + "m02.orf"};  // another spelling of the same file
    names = {path("m.orf"), "m.orf", ""};
    EXPECT_EQ(Export(SubObjects(3), table, options, names, log), ExportOutcome::Refused);
    EXPECT_EQ(ReadTestFile(path("m02.orf")), model);
    EXPECT_EQ(files(), std::set<std::string>{"m02.orf"});
}

// Damaged model data: each case is refused before any file is touched, with one line saying why.
TEST_F(RoomExport, DamagedModelIsRefusedBeforeAnythingIsWritten) {
    struct Case {
        const char* name;
        bool combined;
        std::function<void(ObjectModel&)> damage;
        const char* reason;
    };
    const float huge = std::numeric_limits<float>::max();
    const Case cases[] = {
        {"parent loop", true, [](ObjectModel& m) { m.subObjects[0].parent = 1; },
         "the parent chain of sub-object #0 loops back to sub-object #0"},
        {"missing parent", true, [](ObjectModel& m) { m.subObjects[1].parent = 2; },
         "sub-object #1 names parent #2, but the model has sub-objects #0 to #1"},
        {"parent below -1", true, [](ObjectModel& m) { m.subObjects[1].parent = -2; }, "names parent #-2"},
        {"corner past the vertices", false, [](ObjectModel& m) { m.subObjects[1].faceVertices[2].vertexIndex = 3; },
         "sub-object #1, face #0, corner #2 names vertex 3, but the sub-object has vertices 0 to 2"},
        {"negative corner", true, [](ObjectModel& m) { m.subObjects[0].faceVertices[0].vertexIndex = -1; },
         "names vertex -1"},
        {"texture past the list", false, [](ObjectModel& m) { m.subObjects[1].faceTextureIndices[0] = 1; },
         "sub-object #1, face #0 uses texture 1, but the model has textures 0 to 0"},
        {"texture below -1", true, [](ObjectModel& m) { m.subObjects[1].faceTextureIndices[0] = -2; },
         "uses texture -2"},
        {"offset overflows", true,
         [huge](ObjectModel& m) {
             m.subObjects[0].attachOffset.y = huge;
             m.subObjects[1].attachOffset.y = huge;
         },
         "the offsets along the parent chain of sub-object #1 add up to (1, Inf, 1), which is not a finite"},
        {"offset not a number", true,
         [](ObjectModel& m) { m.subObjects[0].attachOffset.z = std::numeric_limits<float>::quiet_NaN(); },
         "the parent chain of sub-object #0 add up to (1, 1, NaN)"},
        {"vertex not a number", false,
         [](ObjectModel& m) { m.subObjects[1].vertexPositions[2].y = std::numeric_limits<float>::quiet_NaN(); },
         "sub-object #1, vertex #2 is at (0, NaN, 0), which is not a finite position"},
        {"infinite vertex", true, [huge](ObjectModel& m) { m.subObjects[0].vertexPositions[0].x = huge * 2; },
         "sub-object #0, vertex #0 is at (Inf, 0, 0)"},
        {"face normal not a number", true,
         [](ObjectModel& m) { m.subObjects[1].faceNormals[0].z = std::numeric_limits<float>::quiet_NaN(); },
         "sub-object #1, face #0 has a normal of"},
        {"UV not a number", false,
         [](ObjectModel& m) { m.subObjects[0].faceVertices[1].v = std::numeric_limits<float>::infinity(); },
         "sub-object #0, face #0 has a texture coordinate that is not a finite number"},
        {"vertex count beyond the positions", false, [](ObjectModel& m) { m.subObjects[0].vertexCount = 4; },
         "sub-object #0 lists 4 vertices but holds 3 positions"},
        {"face count beyond the faces", true, [](ObjectModel& m) { m.subObjects[1].faceCount = 2; },
         "sub-object #1 lists 2 faces but holds the data of 1"},
        {"corners beyond the stored corners", false, [](ObjectModel& m) { m.subObjects[1].faceVertexCounts[0] = 4; },
         "sub-object #1, face #0 lists 4 corners, beyond the stored corners"},
        {"texture count beyond the names", true, [](ObjectModel& m) { m.textureCount = 2; },
         "the model lists 2 textures but holds 1 names"},
        {"negative sub-object count", false, [](ObjectModel& m) { m.subObjectCount = -1; },
         "the model lists -1 sub-objects"},
        {"largest texture number", true,
         [](ObjectModel& m) { m.subObjects[0].faceTextureIndices[0] = std::numeric_limits<std::int32_t>::max(); },
         "uses texture 2147483647"},
        // A second face over the same corners, with a bad texture: the first damage in face order is named.
        {"first damaged face named", false,
         [](ObjectModel& m) {
             SubObject& s = m.subObjects[1];
             s.faceVertices[1].vertexIndex = 5;
             s.faceNormals.push_back({});
             s.faceVertexCounts.push_back(3);
             s.faceTextureIndices.push_back(7);
             s.faceFirstCorner.push_back(0);
             ++s.faceCount;
         },
         "sub-object #1, face #0, corner #1 names vertex 5"},
    };
    const Bytes old(99, 0x11);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ObjectModel model = ModelBuilder()
                                .texture("rock")
                                .subObject(-1, {1, 1, 1})
                                .vertex(0, 0, 0)
                                .vertex(1, 0, 0)
                                .vertex(0, 1, 0)
                                .face(0, {{0}, {1}, {2}})
                                .subObject(0)
                                .vertex(0, 0, 0)
                                .vertex(1, 0, 0)
                                .vertex(0, 1, 0)
                                .face(0, {{0}, {1}, {2}})
                                .build();
        c.damage(model);
        ASSERT_TRUE(WriteTestFile(path("d.orf"), old));
        log.messages.clear();
        EXPECT_EQ(write(model, c.combined, "d.orf"), ExportOutcome::Refused);
        ASSERT_EQ(log.messages.size(), 1u);
        const std::string& line = log.messages[0];
        EXPECT_EQ(line.rfind("\r\nError: ", 0), 0u) << line;
        EXPECT_NE(line.find(c.reason), std::string::npos) << line;
        EXPECT_EQ(line.find("\r\n", 2), line.size() - 2) << "one line: " << line;
        EXPECT_EQ(files(), std::set<std::string>{"d.orf"});
        EXPECT_EQ(ReadTestFile(path("d.orf")), old);
    }
}

// Two texture slots of one unknown name are one texture to the editor: one warning for the room.
TEST_F(RoomExport, UnknownTextureIsWarnedAboutOncePerRoom) {
    const ObjectModel model = ModelBuilder()
                                  .texture("multicolor")
                                  .texture("multicolor")
                                  .texture("rock")
                                  .subObject()
                                  .vertex(0, 0, 0)
                                  .vertex(1, 0, 0)
                                  .vertex(0, 1, 0)
                                  .face(0, {{0}, {1}, {2}})
                                  .face(1, {{2}, {1}, {0}})
                                  .build();
    RoomExportOptions options{true, kSeparator};
    options.unknownTextures = {0, 1, 2};
    names = {path("u.orf"), "u.orf", ""};
    ASSERT_EQ(Export(model, table, options, names, log), ExportOutcome::Written);
    std::string all;
    for (const std::string& m : log.messages)
        all += m;
    const auto count = [&](const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = all.find(what); at != std::string::npos; at = all.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("texture multicolor is no texture page"), 1u) << all;
    EXPECT_EQ(count("texture rock is no texture page"), 1u) << all;
}

// A strict export checks every room once, before any is written: it shows the same findings the plain export
// shows after each room (a clean room goes unmentioned), refuses, and writes nothing.
TEST_F(RoomExport, StrictExportShowsThePlainExportsFindingsAndWritesNothing) {
    const ObjectModel model = SubObjects(3);
    const auto findingLines = [&] {
        std::vector<std::string> lines;
        for (const std::string& m : log.messages)
            if (m.starts_with("Warning: ") || (m.starts_with("Room check of ") && !m.ends_with(": no findings\r\n")))
                lines.push_back(m);
        return lines;
    };
    names = {path("s.orf"), "s.orf", ""};
    RoomExportOptions options{false, kSeparator};
    options.strict = true;
    EXPECT_EQ(Export(model, table, options, names, log), ExportOutcome::Refused);
    EXPECT_TRUE(files().empty());
    const std::vector<std::string> strict = findingLines();
    ASSERT_FALSE(strict.empty());
    EXPECT_TRUE(log.messages.back().starts_with("\r\nError: the room check found ")) << log.messages.back();
    EXPECT_TRUE(log.messages.back().ends_with(" findings; no room was written\r\n")) << log.messages.back();
    log.messages.clear();
    EXPECT_EQ(write(model, false, "s.orf"), ExportOutcome::Written);
    EXPECT_EQ(findingLines(), strict);
}

// A model whose parent chains loop is damaged whichever rooms it would become.
TEST_F(RoomExport, ParentLoopRefusesBothKindsOfExport) {
    ObjectModel model = SubObjects(2);
    model.subObjects[0].parent = 1;
    model.subObjects[1].parent = 0;
    EXPECT_EQ(write(model, true, "l.orf"), ExportOutcome::Refused);
    EXPECT_EQ(write(model, false, "l.orf"), ExportOutcome::Refused);
    ASSERT_EQ(log.messages.size(), 2u);
    EXPECT_EQ(log.messages[0], log.messages[1]);
    EXPECT_NE(log.messages[1].find("loops back to sub-object #"), std::string::npos) << log.messages[1];
    EXPECT_TRUE(files().empty());
}

// The level editor's hard limits, at both sides: a room beyond them is refused before anything is written, and
// the refusal names the room, the limit and what to do.
struct LimitCase {
    const char* name;
    int vertices;  // in each of two sub-objects
    int faces;     // triangles in each sub-object
    int corners;   // corners of one extra face in the first sub-object (0: none)
    bool combined;
    const char* refusal;  // empty: written
};

class RoomLimits : public RoomExport, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(RoomLimits, RefuseRoomsTheLevelEditorCannotTake) {
    const LimitCase& c = GetParam();
    ModelBuilder builder;
    for (int s = 0; s < 2; ++s) {
        builder.subObject();
        for (int v = 0; v < c.vertices; ++v)
            builder.vertex(static_cast<float>(v), static_cast<float>(s), 0);
        for (int f = 0; f < c.faces; ++f)
            builder.face(-1, {{0}, {1}, {2}});
        if (s == 0 && c.corners > 0) {
            std::vector<test::Corner> corners;
            for (int k = 0; k < c.corners; ++k)
                corners.push_back({k % c.vertices});
            builder.face(-1, corners);
        }
    }
    const ExportOutcome outcome = write(builder.build(), c.combined, "v.orf");
    if (std::string(c.refusal).empty()) {
        EXPECT_EQ(outcome, ExportOutcome::Written);
        return;
    }
    EXPECT_EQ(outcome, ExportOutcome::Refused);
    EXPECT_TRUE(files().empty());
    ASSERT_FALSE(log.messages.empty());
    EXPECT_NE(log.messages[0].find(c.refusal), std::string::npos) << log.messages[0];
}

INSTANTIATE_TEST_SUITE_P(
    EditorLimits,
    RoomLimits,
    ::testing::Values(
        LimitCase{"CombinedVertices", 5000, 1, 0, true, ""},
        LimitCase{"CombinedVerticesOver", 5001, 1, 0, true,
                  "v.orf would hold 10002 vertices, more than the 10000 the level editor takes in a room; export "
                  "one room per sub-object"},
        LimitCase{"SubObjectVertices", 10000, 1, 0, false, ""},
        LimitCase{"SubObjectVerticesOver", 10001, 1, 0, false,
                  "v01.orf (sub-object #0) would hold 10001 vertices, more than the 10000 the level editor takes in "
                  "a room; split the sub-object into smaller ones in the modelling tool"},
        LimitCase{"CombinedFaces", 3, 1500, 0, true, ""},
        LimitCase{"CombinedFacesOver", 3, 1501, 0, true,
                  "v.orf would hold 3002 faces, more than the 3000 the level editor takes in a room; merge its "
                  "triangles into larger faces (torvale-cli export --merge-faces) or export one room per sub-object"},
        LimitCase{"SubObjectFacesOver", 3, 3001, 0, false,
                  "v01.orf (sub-object #0) would hold 3001 faces, more than the 3000 the level editor takes in a "
                  "room; merge its triangles into larger faces (torvale-cli export --merge-faces)"},
        LimitCase{"Corners", 64, 1, 64, true, ""},
        LimitCase{"CornersOver", 65, 1, 65, false,
                  "Error: v01.orf (sub-object #0): face 1 has 65 corners, more than the 64"},
        LimitCase{"CornersUnder", 3, 1, 2, true,
                  "Error: v.orf (sub-object #0): face 1 has 2 corners, but a face needs at least 3"}),
    [](const ::testing::TestParamInfo<LimitCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace torvale
