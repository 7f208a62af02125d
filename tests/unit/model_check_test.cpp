#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "app/check_model.h"
#include "builders/bytes.h"
#include "builders/oof_builder.h"
#include "game/hog_archive.h"

namespace torvale {
namespace {

using test::Bytes;
using test::FaceFields;
using test::OofBuilder;
using test::PointFields;
using test::Stored;

// A small ship that breaks no rule: a body triangle, a spinning child with its two rotation keys, one gun in
// battery 0, three attach points with their up-vectors, and a header radius that holds every vertex.
struct ShipFields {
    std::int32_t version = 2300;
    std::vector<std::string> textures = {Stored("hull")};
    test::OhdrFields header{2, 3.0f, {0, 0, 0}, {1, 1, 2}, {}};
    std::vector<test::SobjFields> sobjs;
    std::vector<test::RotationTrackFields> rotations;
    std::vector<PointFields> guns = {{0, {0, 0, 1}, {0, 0, 1}}};
    std::vector<test::BatteryFields> batteries = {{{0}, {}}};
    std::vector<PointFields> attach = {{0, {1, 0, 0}, {1, 0, 0}}, {0, {0, 1, 0}, {0, 1, 0}}, {0, {0, 0, 1}, {0, 0, 1}}};
    std::vector<PointFields> normals = attach;
    Bytes tail;

    ShipFields() {
        test::SobjFields body;
        body.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
        body.faces = {FaceFields{{0, 0, 1}, 1, 0, 0, 0, 0, {{0}, {1}, {2}}}};
        test::SobjFields spinner = body;
        spinner.number = 1;
        spinner.parent = 0;
        spinner.name = Stored("spinner");
        spinner.propertyName = Stored("$rotate=5");
        spinner.attachOffset = {0, 0, 2};
        sobjs = {body, spinner};
        rotations = {{}, {0, 10, {{0, {0, 0, 1}, 0}, {10, {0, 1, 0}, 16384}}}};
    }

    Bytes bytes() const { return builder().bytes(); }

    OofBuilder builder() const {
        OofBuilder out(version);
        out.txtr(textures).ohdr(header);
        for (const test::SobjFields& sobj : sobjs)
            out.sobj(sobj);
        std::vector<test::RotationTrackFields> tracks = rotations;
        tracks.resize(sobjs.size());
        out.rani(tracks).gpnt(guns).atch(attach).nath(normals).wbat(batteries);
        if (!tail.empty())
            out.tail(tail);
        return out;
    }
};

struct Checked {
    ModelCheckResult result;
    std::vector<std::string> lines;  // without their line breaks
};

Checked Check(const Bytes& bytes, bool ship, const std::string& name = "ship.oof") {
    test::RecordingSink sink;
    Checked checked;
    checked.result = PrintModelCheck(bytes, name, ship, sink);
    for (std::string line : sink.messages) {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        while (!line.empty() && (line.front() == '\n' || line.front() == '\r'))
            line.erase(line.begin());
        checked.lines.push_back(line);
    }
    return checked;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

bool Has(const Checked& checked, const std::string& line) {
    return std::find(checked.lines.begin(), checked.lines.end(), line) != checked.lines.end();
}

TEST(ModelCheck, ASoundShipHasNoFindings) {
    const Checked checked = Check(ShipFields().bytes(), true);
    EXPECT_TRUE(checked.result.read);
    EXPECT_EQ(checked.result.findings, 0u);
    EXPECT_EQ(checked.lines, std::vector<std::string>{"Model check of ship.oof: no findings"});
}

struct BrokenCase {
    const char* name;
    std::function<void(ShipFields&)> breakIt;
    std::string line;  // the finding it must give
};

const std::vector<BrokenCase>& BrokenCases() {
    static const std::vector<BrokenCase> cases = {
        {"version", [](ShipFields& m) { m.version = 2301; },
         "Warning: ship.oof: version 2301; the game loads versions 1807 to 2300"},
        {"bytes after the last chunk",
         [](ShipFields& m) {
             m.tail = {1, 2, 3};
         },
         "Warning: ship.oof: 3 bytes after the last chunk, too few for a chunk: the game reads past the end of the "
         "file"},
        {"up-vectors not matching the attach points", [](ShipFields& m) { m.normals.pop_back(); },
         "Warning: ship.oof: NATH holds 2 up-vectors, but ATCH 3 attach points"},
        {"sub-object number outside the header's count", [](ShipFields& m) { m.sobjs[1].number = 5; },
         "Warning: ship.oof: SOBJ chunk 2 is sub-object 5, but OHDR declares 2: the game writes outside its table"},
        {"sub-object given twice", [](ShipFields& m) { m.sobjs[1].number = 0; },
         "Warning: ship.oof, sub-object 1: has no SOBJ chunk: it stays empty, hanging under sub-object 0"},
        {"parent that is no sub-object", [](ShipFields& m) { m.sobjs[1].parent = 7; },
         "Warning: ship.oof, sub-object 1: parent 7 is no sub-object"},
        {"parent that is itself", [](ShipFields& m) { m.sobjs[1].parent = 1; },
         "Warning: ship.oof, sub-object 1: its parent is itself; the game makes it a root"},
        {"cycle of parents",
         [](ShipFields& m) {
             m.sobjs[0].parent = 1;
             m.sobjs[1].parent = 0;
         },
         "Warning: ship.oof, sub-object 1: its parents form a cycle: the game hangs walking up from it"},
        {"body not a root",
         [](ShipFields& m) {
             m.sobjs[0].parent = 1;
             m.sobjs[1].parent = -1;
         },
         "Warning: ship.oof, sub-object 0: the body (sub-object 0) is not a root: its parent is 1"},
        {"too many vertices", [](ShipFields& m) { m.sobjs[0].positions.resize(2500); },
         "Warning: ship.oof, sub-object 0: 2500 vertices; the game holds at most 2499"},
        {"too many faces", [](ShipFields& m) { m.sobjs[0].faces.resize(3001, m.sobjs[0].faces[0]); },
         "Warning: ship.oof, sub-object 0: 3001 faces; the game holds at most 3000"},
        {"face of two corners", [](ShipFields& m) { m.sobjs[0].faces[0].corners.pop_back(); },
         "Warning: ship.oof, sub-object 0, face 0: 2 corners; the game takes 3 to 32"},
        {"corner naming no vertex", [](ShipFields& m) { m.sobjs[0].faces[0].corners[2].vertex = 3; },
         "Warning: ship.oof, sub-object 0, face 0: corner 2 names vertex 3, but the sub-object has 3 vertices"},
        {"texture that is not there", [](ShipFields& m) { m.sobjs[0].faces[0].textureIndex = 1; },
         "Warning: ship.oof, sub-object 0, face 0: texture 1, but the model has 1 texture"},
        {"negative texture flag", [](ShipFields& m) { m.sobjs[0].faces[0].textured = -1; },
         "Warning: ship.oof, sub-object 0, face 0: texture flag -1: the game reads a texture index where this face "
         "has a colour"},
        {"too many textures", [](ShipFields& m) { m.textures.resize(35, Stored("hull")); },
         "Warning: ship.oof: 35 textures; the game takes at most 34"},
        {"name without its zero byte", [](ShipFields& m) { m.sobjs[1].name = "spinner"; },
         "Warning: ship.oof, sub-object 1: name has no terminating zero byte"},
        {"name too long", [](ShipFields& m) { m.sobjs[1].name = Stored(std::string(35, 'n')); },
         "Warning: ship.oof, sub-object 1: name of 36 bytes; the game holds 35"},
        {"property too long", [](ShipFields& m) { m.sobjs[0].propertyName = Stored(std::string(256, 'p')); },
         "Warning: ship.oof, sub-object 0: property of 257 bytes; the game holds 256"},
        {"texture name past 30 characters", [](ShipFields& m) { m.textures[0] = Stored(std::string(31, 't')); },
         "Warning: ship.oof: texture 0 name \"" + std::string(31, 't') +
             "\" is over 30 characters: it matches a texture page's name only"},
        {"rotation time out of range", [](ShipFields& m) { m.sobjs[1].propertyName = Stored("$rotate=25"); },
         "Warning: ship.oof, sub-object 1: $rotate= needs a turn time above 0 and at most 20 seconds; the game "
         "ignores \"25\""},
        {"command with a space", [](ShipFields& m) { m.sobjs[1].propertyName = Stored("$rotate =5"); },
         "Warning: ship.oof, sub-object 1: property \"$rotate =5\" is no command the game knows (spaces count); it "
         "is ignored"},
        {"two commands", [](ShipFields& m) { m.sobjs[1].propertyName = Stored("$rotate=5 $jitter"); },
         "Warning: ship.oof, sub-object 1: property holds more than one command; the game honours only the first"},
        {"rotator with one key", [](ShipFields& m) { m.rotations[1].keys.pop_back(); },
         "Warning: ship.oof, sub-object 1: $rotate= needs at least 2 rotation keys, key 1 giving its axis; it has 1"},
        {"rotator about a zero axis",
         [](ShipFields& m) {
             m.rotations[1].keys[1] = {10, {0, 0, 0}, 0};
         },
         "Warning: ship.oof, sub-object 1: $rotate= turns about rotation key 1's axis, which is zero"},
        {"turret short of numbers", [](ShipFields& m) { m.sobjs[1].propertyName = Stored("$fov=90,2"); },
         "Warning: ship.oof, sub-object 1: $fov= needs 3 numbers (arc, turn time, reaction time); it has 2"},
        {"turret arc out of range", [](ShipFields& m) { m.sobjs[1].propertyName = Stored("$fov=400, 2, 1"); },
         "Warning: ship.oof, sub-object 1: $fov= needs an arc of 0 to 360, a turn time above 0 and at most 60 and a "
         "reaction time of 0 to 10; it has 400, 2, 1"},
        {"turret of no battery", [](ShipFields& m) { m.sobjs[1].propertyName = Stored("$fov=90, 2, 1"); },
         "Warning: ship.oof, sub-object 1: $fov= part is the turret of no weapon battery: it never aims"},
        {"glow short of numbers", [](ShipFields& m) { m.sobjs[1].propertyName = Stored("$glow=1,0.5"); },
         "Warning: ship.oof, sub-object 1: $glow= needs 4 numbers (red, green, blue, size); it has 2"},
        {"thruster with two faces",
         [](ShipFields& m) {
             m.sobjs[1].propertyName = Stored("$thruster=1,0.5,0,2");
             m.sobjs[1].faces.push_back(m.sobjs[1].faces[0]);
         },
         "Warning: ship.oof, sub-object 1: $thruster= needs exactly one face; it has 2"},
        {"glow colour past 1", [](ShipFields& m) { m.sobjs[1].propertyName = Stored("$glow=2,0.5,0,2"); },
         "Warning: ship.oof, sub-object 1: $glow= colour outside 0..1"},
        {"billboard with an untextured face",
         [](ShipFields& m) {
             m.sobjs[1].propertyName = Stored("$facing");
             m.sobjs[1].faces[0].textured = 0;
         },
         "Warning: ship.oof, sub-object 1: $facing needs a textured face"},
        {"monitor of three corners", [](ShipFields& m) { m.sobjs[1].propertyName = Stored("$monitor01"); },
         "Warning: ship.oof, sub-object 1: $monitor01 needs a face of 4 corners; it has 3"},
        {"keys starting together", [](ShipFields& m) { m.rotations[1].keys[1].time = 0; },
         "Warning: ship.oof, sub-object 1: rotation key 1 starts at frame 0, not after key 0 (0)"},
        {"track ending where it starts", [](ShipFields& m) { m.rotations[1].trackMax = 0; },
         "Warning: ship.oof, sub-object 1: rotation track: last frame 0 is not after its first frame 0"},
        {"first key after the track's start", [](ShipFields& m) { m.rotations[1].keys[0].time = 5; },
         "Warning: ship.oof, sub-object 1: rotation key 0 starts at frame 5, after the track's first frame 0"},
        {"frame past 32767",
         [](ShipFields& m) {
             m.rotations[1].trackMax = 40000;
             m.rotations[1].keys[1].time = 40000;
         },
         "Warning: ship.oof, sub-object 1: rotation key 1 at frame 40000, outside 0..32767"},
        {"key that shrinks the part",
         [](ShipFields& m) {
             m.rotations[1].keys[0] = {0, {0, 0, 0}, 100};
         },
         "Warning: ship.oof, sub-object 1: rotation key 0 turns about a zero axis: the part shrinks"},
        {"gun on no sub-object", [](ShipFields& m) { m.guns[0].parent = 4; },
         "Warning: ship.oof: gun point 0: parent 4 is no sub-object"},
        {"attach direction not unit",
         [](ShipFields& m) {
             m.attach[2].direction = {0, 0, 2};
         },
         "Warning: ship.oof: attach point 2: direction of length 2, not 1"},
        {"vertex not finite", [](ShipFields& m) { m.sobjs[0].positions[1].x = std::numeric_limits<float>::infinity(); },
         "Warning: ship.oof, sub-object 0: vertex 1: its position is not finite"},
        {"used vertex normal not finite",
         [](ShipFields& m) {
             m.sobjs[0].normals = {{0, 0, 1}, {0, std::numeric_limits<float>::quiet_NaN(), 0}};
         },
         "Warning: ship.oof, sub-object 0: vertex 1: its normal is not finite"},
        {"face normal not unit",
         [](ShipFields& m) {
             m.sobjs[0].faces[0].normal = {0, 0, 2};
         },
         "Warning: ship.oof, sub-object 0, face 0: normal of length 2, not 1"},
        {"face normal against the winding",
         [](ShipFields& m) {
             m.sobjs[0].faces[0].normal = {0, 0, -1};
         },
         "Warning: ship.oof, sub-object 0, face 0: normal (0, 0, -1) against the winding of its corners (0, 0, 1)"},
        {"face without area",
         [](ShipFields& m) {
             m.sobjs[0].positions[2] = {2, 0, 0};
         },
         "Warning: ship.oof, sub-object 0, face 0: its corners have no area, so they give no normal"},
        {"concave face",
         [](ShipFields& m) {
             m.sobjs[0].positions = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {1, 0.5f, 0}, {0, 2, 0}};
             m.sobjs[0].radius = 3;
             m.sobjs[0].faces[0].corners = {{0}, {1}, {2}, {3}, {4}};
         },
         "Warning: ship.oof, sub-object 0, face 0: concave at corner 3"},
        {"face not planar",
         [](ShipFields& m) {
             m.sobjs[0].positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0.5f}, {0, 1, 0}};
             m.sobjs[0].radius = 3;
             m.sobjs[0].faces[0].corners = {{0}, {1}, {2}, {3}};
         },
         "Warning: ship.oof, sub-object 0, face 0: not planar"},
        {"vertex normal not unit",
         [](ShipFields& m) {
             m.sobjs[0].normals = {{0, 0, 0}};
         },
         "Warning: ship.oof, sub-object 0: vertex normals not of unit length: 1 of 3 used (vertex 0: length 0)"},
        {"battery naming a missing gun", [](ShipFields& m) { m.batteries[0].gunpoints = {3}; },
         "Warning: ship.oof: battery 0 names gun 3, but the model's gun points number 1"},
        {"battery of nine guns", [](ShipFields& m) { m.batteries[0].gunpoints.assign(9, 0); },
         "Warning: ship.oof: battery 0 names 9 guns; the game keeps 8"},
        {"turret without $fov=", [](ShipFields& m) { m.batteries[0].turrets = {1}; },
         "Warning: ship.oof: battery 0 names turret 1, a sub-object without $fov="},
        {"sub-object radius too small", [](ShipFields& m) { m.sobjs[0].radius = 0.5f; },
         "Warning: ship.oof, sub-object 0: radius 0.5, but vertex 1 lies 1 from its origin"},
        {"ship without guns", [](ShipFields& m) { m.batteries[0].gunpoints.clear(); },
         "Warning: ship.oof: a ship needs battery 0 naming its guns: the game crashes when it fires"},
        {"ship with two attach points",
         [](ShipFields& m) {
             m.attach.pop_back();
             m.normals.pop_back();
         },
         "Warning: ship.oof: a ship needs at least 3 attach points; it has 2"},
        {"ship radius too small", [](ShipFields& m) { m.header.maxRadius = 2.0f; },
         "Warning: ship.oof: OHDR radius 2, but vertex 1 of sub-object 1 lies 2.236068 from the origin: the ship "
         "collides as a smaller ball"},
    };
    return cases;
}

TEST(ModelCheck, EachBrokenRuleGivesItsFinding) {
    for (const BrokenCase& c : BrokenCases()) {
        SCOPED_TRACE(c.name);
        ShipFields model;
        c.breakIt(model);
        const Checked checked = Check(model.bytes(), true);
        ASSERT_TRUE(checked.result.read) << Joined(checked.lines);
        EXPECT_TRUE(Has(checked, c.line)) << Joined(checked.lines);
        EXPECT_GE(checked.result.findings, 1u);
        EXPECT_EQ(checked.lines.back(),
                  "Model check of ship.oof: " + (checked.result.findings == 1
                                                     ? std::string("1 finding")
                                                     : std::to_string(checked.result.findings) + " findings"));
    }
}

TEST(ModelCheck, ShipRulesApplyOnlyToShips) {
    ShipFields model;
    model.batteries.clear();
    model.header.maxRadius = 0.5f;
    EXPECT_EQ(Check(model.bytes(), false).lines, std::vector<std::string>{"Model check of ship.oof: no findings"});
    EXPECT_EQ(Check(model.bytes(), true).result.findings, 2u);
}

TEST(ModelCheck, ATurretOfABatteryWithItsKeysHasNoFindings) {
    ShipFields model;
    model.sobjs[1].propertyName = Stored("$FOV=90, 2, 1");  // commands are compared without regard to case
    model.batteries[0].turrets = {1};
    EXPECT_EQ(Check(model.bytes(), true).lines, std::vector<std::string>{"Model check of ship.oof: no findings"});
}

// Before version 2200 keys carry no frames, so a spinning part's two keys are in order whatever its track says.
TEST(ModelCheck, UntimedKeysOfAnOlderVersionAreInOrder) {
    ShipFields model;
    model.version = 2100;
    model.rotations[1].trackMax = 0;
    model.rotations[0] = model.rotations[1];  // one key count serves every sub-object
    EXPECT_EQ(Check(model.bytes(), true).lines, std::vector<std::string>{"Model check of ship.oof: no findings"});
    model.version = 2300;  // both tracks then end where they start
    const Checked timed = Check(model.bytes(), true);
    EXPECT_EQ(timed.result.findings, 2u);
    EXPECT_TRUE(Has(timed,
                    "Warning: ship.oof, sub-object 0: rotation track: last frame 0 is not after its first "
                    "frame 0"))
        << Joined(timed.lines);
}

// A vertex no face uses is not drawn or lit: its normal may be anything, as in the game's own models.
TEST(ModelCheck, AnUnusedVertexMayHoldAnyNormal) {
    ShipFields model;
    model.sobjs[0].positions.push_back({0, 0, 0});
    model.sobjs[0].normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {std::numeric_limits<float>::quiet_NaN(), 0, 0}};
    EXPECT_EQ(Check(model.bytes(), true).lines, std::vector<std::string>{"Model check of ship.oof: no findings"});
    model.sobjs[0].positions.back().y = std::numeric_limits<float>::infinity();  // but it still enters the box
    EXPECT_EQ(Check(model.bytes(), true).lines.front(),
              "Warning: ship.oof, sub-object 0: vertex 3: its position is not finite");
}

TEST(ModelCheck, ChunkLengthsAndRepeatsAreJudgedAsTheGameWalksTheFile) {
    const ShipFields model;
    const OofBuilder built = model.builder();
    Bytes bytes = built.bytes();
    // A SOBJ chunk whose length field says one byte more: the game reads its fields and goes on from there.
    const std::size_t sobj = built.at("SOBJ2");
    const std::int32_t fields = test::I32At(bytes, sobj + 4);
    const std::int32_t stated = fields + 1;
    for (std::size_t i = 0; i < 4; ++i)
        bytes[sobj + 4 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(stated) >> (8 * i));
    Checked checked = Check(bytes, false);
    EXPECT_TRUE(Has(checked, "Warning: ship.oof: SOBJ at byte " + std::to_string(sobj) + ": its length says " +
                                 std::to_string(stated) + " bytes, but its fields take " + std::to_string(fields)))
        << Joined(checked.lines);
    EXPECT_EQ(checked.result.findings, 1u) << Joined(checked.lines);

    const Bytes twice = OofBuilder(2300)
                            .txtr(model.textures)
                            .ohdr(model.header)
                            .sobj(model.sobjs[0])
                            .sobj(model.sobjs[1])
                            .gpnt(model.guns)
                            .gpnt(model.guns)
                            .bytes();
    checked = Check(twice, false);
    EXPECT_TRUE(Has(checked, "Warning: ship.oof: 2 GPNT chunks; the game keeps only the last"))
        << Joined(checked.lines);
}

TEST(ModelCheck, FileNamesTheGameDoesNotTake) {
    const Bytes bytes = ShipFields().bytes();
    const std::string longStem(31, 's');
    const struct {
        std::string name;
        std::string line;
    } cases[] = {
        {"ship.pof", "Warning: ship.pof: the game takes object models from files named .oof"},
        {longStem + ".OOF", "Warning: " + longStem + ".OOF: the file name's stem is over 30 characters"},
    };
    for (const auto& c : cases) {
        const Checked checked = Check(bytes, false, c.name);
        EXPECT_EQ(checked.lines.front(), c.line);
        EXPECT_EQ(checked.result.findings, 1u);
    }
}

TEST(ModelCheck, FindingsOfOneKindStopAfterTwentyLines) {
    ShipFields model;
    model.sobjs[0].faces.assign(25, FaceFields{{0, 0, -1}, 1, 0, 0, 0, 0, {{0}, {1}, {2}}});
    const Checked checked = Check(model.bytes(), false);
    EXPECT_EQ(checked.result.findings, 25u);
    ASSERT_EQ(checked.lines.size(), 22u);
    EXPECT_EQ(checked.lines[19].rfind("Warning: ship.oof, sub-object 0, face 19: ", 0), 0u);
    EXPECT_EQ(checked.lines[20], "Warning: ship.oof: ... and 5 more faces with a bad normal");
    EXPECT_EQ(checked.lines[21], "Model check of ship.oof: 25 findings");
}

// Every cut of a sound ship short of its end is refused or found wanting: nothing cut off goes unnoticed.
TEST(ModelCheck, EveryTruncatedShipIsRefusedOrHasFindings) {
    const Bytes whole = ShipFields().bytes();
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        const Checked checked = Check(cut, true);
        if (checked.result.read)
            EXPECT_GE(checked.result.findings, 1u) << "cut at " << size;
        else
            EXPECT_EQ(checked.lines.back(), "Error reading ship.oof Not a valid OOF!") << "cut at " << size;
    }
}

}  // namespace
}  // namespace torvale

namespace torvale {
namespace {

using test::RealModel;

std::vector<RealModel> RealModels() {
    return test::GameModels(TORVALE_REAL_WORLD_DIR);
}

// The game's own models break only the advice on vertex normals (none is of unit length: the game's tools stored
// them unnormalised) and leave two unused vertices with normals that are not numbers, which the check passes by.
// The ship and its lower details, even its dying model, meet what a ship needs; the flare and the shield do not.
TEST(ModelCheck, TheGamesOwnModelsBreakOnlyTheAdviceOnVertexNormals) {
    const std::vector<RealModel> models = RealModels();
    if (models.empty())
        GTEST_SKIP() << TORVALE_REAL_WORLD_DIR << " is not there";
    const struct {
        std::string name;
        std::size_t findings;  // the same count as a ship or not, unless noted
        std::size_t shipFindings;
        std::string line;
    } expected[] = {
        {"greenflare.OOF", 1, 3,
         "Warning: greenflare.OOF, sub-object 0: vertex normals not of unit length: 5 of 5 used (vertex 0: length "
         "0.03035549)"},
        {"purplepyro.OOF", 1, 1,
         "Warning: purplepyro.OOF, sub-object 0: vertex normals not of unit length: 228 of 228 used (vertex 0: "
         "length 0.7862859)"},
        {"purplepyrodeathmodel.OOF", 13, 13,
         "Warning: purplepyrodeathmodel.OOF, sub-object 14: vertex normals not of unit length: 15 of 23 used "
         "(vertex 0: length 0.6625866)"},
        {"Purplepyrolow.OOF", 1, 1,
         "Warning: Purplepyrolow.OOF, sub-object 0: vertex normals not of unit length: 134 of 134 used (vertex 0: "
         "length 0.4766151)"},
        {"Purplepyromedium.OOF", 1, 1,
         "Warning: Purplepyromedium.OOF, sub-object 0: vertex normals not of unit length: 164 of 164 used (vertex "
         "0: length 0.7751135)"},
        {"Shield.OOF", 1, 3,
         "Warning: Shield.OOF, sub-object 0: vertex normals not of unit length: 38 of 146 used (vertex 0: length "
         "0.9351131)"},
    };
    ASSERT_EQ(models.size(), std::size(expected));
    for (std::size_t i = 0; i < models.size(); ++i) {
        SCOPED_TRACE(models[i].name);
        ASSERT_EQ(models[i].name, expected[i].name);
        const Checked plain = Check(models[i].bytes, false, models[i].name);
        const Checked ship = Check(models[i].bytes, true, models[i].name);
        ASSERT_TRUE(plain.result.read);
        EXPECT_EQ(plain.result.findings, expected[i].findings) << Joined(plain.lines);
        EXPECT_EQ(ship.result.findings, expected[i].shipFindings) << Joined(ship.lines);
        EXPECT_TRUE(Has(plain, expected[i].line)) << Joined(plain.lines);
        for (const std::string& line : plain.lines)  // every finding of the plain check is about vertex normals
            EXPECT_TRUE(line.find("vertex normals not of unit length") != std::string::npos ||
                        line.rfind("Model check of ", 0) == 0)
                << line;
        if (expected[i].shipFindings > expected[i].findings) {
            EXPECT_TRUE(Has(ship, "Warning: " + models[i].name + ": a ship needs at least 3 attach points; it has 0"))
                << Joined(ship.lines);
        }
    }
}

}  // namespace
}  // namespace torvale
