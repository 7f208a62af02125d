#include <gtest/gtest.h>

#include <string>

#include "builders/oof_builder.h"
#include "oof/oof_reader.h"

namespace torvale {
namespace {

using test::ByteBuilder;
using test::Bytes;
using test::OofBuilder;
using test::RecordingSink;
using test::SobjFields;
using test::Stored;

int Load(const Bytes& bytes, ObjectModel& model, RecordingSink& log) {
    return ReadOofFile(bytes, "ship.oof", model, log);
}

SobjFields Triangle(std::int32_t number = 0) {
    SobjFields s;
    s.number = number;
    s.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    s.faces = {{{0, 0, 1}, 1, 0, 0, 0, 0, {{0, 0, 0}, {1, 1, 0}, {2, 0, 1}}}};
    return s;
}

// A NATH chunk after the chunk under test proves that the reader ended exactly where that chunk ended.
constexpr test::PointFields kProbe{3, {1, 2, 3}, {4, 5, 6}};
void ExpectProbeRead(const ObjectModel& model) {
    EXPECT_EQ(model.attachNormalCount, 1);
    EXPECT_EQ(model.attachNormals[0].parent, 3);
    EXPECT_EQ(model.attachNormals[0].direction, (Vector3{4, 5, 6}));
}

TEST(OofReader, RejectsShortFilesAndWrongIdentifiersWithoutAReport) {
    for (const Bytes& bytes : {Bytes{}, Bytes{'P', 'S', 'P', 'O', 0xFC, 0x08, 0x00}, OofBuilder(2300, "PSPX").bytes(),
                               OofBuilder(2300, "pspo").bytes()}) {
        ObjectModel model;
        RecordingSink log;
        EXPECT_EQ(Load(bytes, model, log), kOofInvalid);
        EXPECT_TRUE(log.messages.empty());
    }
}

TEST(OofReader, HeaderAloneLoadsWithTheOpeningLines) {
    ObjectModel model;
    RecordingSink log;
    EXPECT_EQ(Load(OofBuilder(2300).bytes(), model, log), kOofLoaded);
    EXPECT_EQ(log.messages.size(), 3u);
    EXPECT_EQ(model.fileId, "PSPO");
    EXPECT_EQ(model.fileVersion, 2300);
}

TEST(OofReader, ReadsTheExampleBytesOfATextureChunk) {
    const Bytes bytes{0x50, 0x53, 0x50, 0x4F, 0xFC, 0x08, 0x00, 0x00, 0x54, 0x58, 0x54, 0x52, 0x0A,
                      0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x61, 0x00};
    EXPECT_EQ(OofBuilder(2300).txtr({Stored("a")}).bytes(), bytes);  // the builder writes the same
    ObjectModel model;
    RecordingSink log;
    ASSERT_EQ(Load(bytes, model, log), kOofLoaded);
    EXPECT_EQ(model.textureCount, 1);
    EXPECT_EQ(model.textureNameLengths[0], 2);
    EXPECT_EQ(model.textureNames[0], std::string("a\0", 2));
}

TEST(OofReader, EndsAtAChunkBoundaryOrAtAPartialHeader) {
    const Bytes whole = OofBuilder(2300).txtr({Stored("a")}).bytes();
    for (std::size_t extra = 0; extra < 8; ++extra) {
        Bytes bytes = whole;
        bytes.insert(bytes.end(), extra, 'T');
        ObjectModel model;
        RecordingSink log;
        EXPECT_EQ(Load(bytes, model, log), kOofLoaded) << extra << " trailing bytes";
        EXPECT_TRUE(log.errors().empty());
    }
}

TEST(OofReader, RejectsAnUnknownChunkIdSilentlyKeepingTheLinesSoFar) {
    ObjectModel model;
    RecordingSink log;
    const Bytes bytes = OofBuilder(2300).txtr({Stored("a")}).chunk("txtr", {1, 0, 0, 0}).txtr({Stored("b")}).bytes();
    EXPECT_EQ(Load(bytes, model, log), kOofInvalid);
    EXPECT_TRUE(log.errors().empty());
    EXPECT_EQ(log.messages.back(), "a\r\n");
    // A whole header with nothing behind it is still an unknown chunk.
    RecordingSink log2;
    EXPECT_EQ(Load(OofBuilder(2300).chunk("ABCD", {}).bytes(), model, log2), kOofInvalid);
}

TEST(OofReader, IgnoresTheStatedChunkLength) {
    for (const std::int32_t stated : {0, 3, 1000, -1}) {
        ObjectModel model;
        RecordingSink log;
        const Bytes bytes = OofBuilder(2300).txtr({Stored("rock1")}).statedLength(stated).nath({kProbe}).bytes();
        EXPECT_EQ(Load(bytes, model, log), kOofLoaded) << stated;
        ExpectProbeRead(model);
    }
}

TEST(OofReader, ReadsEveryFieldOfASubObject) {
    SobjFields s;
    s.number = 4;
    s.parent = 2;
    s.modelVector = {1, 2, 3};
    s.modelD = 4;
    s.modelPoint = {5, 6, 7};
    s.attachOffset = {8, 9, 10};
    s.radius = 11;
    s.treeOffset = 12;
    s.dataOffset = 13;
    s.geometricCenter = {14, 15, 16};
    s.name = Stored("engine1");
    s.propertyName = "noterm";
    s.movementType = 17;
    s.movementAxis = 18;
    s.unusedValues = {19, 20};
    s.positions = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}};
    s.normals = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}, {0, 0, -1}};
    s.alphas = {0.25f, 0.5f, 0.75f, 1};
    s.faces = {{{0, 0, 1}, 1, 2, 0, 0, 0, {{0, 0.5f, 0.25f}, {1, 1, 0}, {2, 0, 1}}, 0xAABBCCDD, 7},
               {{0, 1, 0}, 0, 0, 200, 40, 10, {{3, 0, 0}, {2, 0, 0}, {1, 0, 0}, {0, 0, 0}}, 1, 2},
               {{1, 0, 0}, -5, 0, 1, 2, 3, {}, 0, 0}};
    ObjectModel model;
    RecordingSink log;
    ASSERT_EQ(Load(OofBuilder(2300).ohdr({}).sobj(s).nath({kProbe}).bytes(), model, log), kOofLoaded);
    ExpectProbeRead(model);
    ASSERT_EQ(model.subObjects.size(), 1u);
    const SubObject& sub = model.subObjects[0];
    EXPECT_EQ(sub.number, 4);
    EXPECT_EQ(sub.parent, 2);
    EXPECT_EQ(sub.modelVector, (Vector3{1, 2, 3}));
    EXPECT_EQ(sub.modelD, 4);
    EXPECT_EQ(sub.modelPoint, (Vector3{5, 6, 7}));
    EXPECT_EQ(sub.attachOffset, (Vector3{8, 9, 10}));
    EXPECT_EQ(sub.radius, 11);
    EXPECT_EQ(sub.treeOffset, 12);
    EXPECT_EQ(sub.dataOffset, 13);
    EXPECT_EQ(sub.geometricCenter, (Vector3{14, 15, 16}));
    EXPECT_EQ(sub.nameLength, 8);
    EXPECT_EQ(sub.name, Stored("engine1"));
    EXPECT_EQ(sub.propertyLength, 6);
    EXPECT_EQ(sub.propertyName, "noterm");
    EXPECT_EQ(sub.movementType, 17);
    EXPECT_EQ(sub.movementAxis, 18);
    EXPECT_EQ(sub.vertexCount, 4);
    EXPECT_EQ(sub.vertexPositions, s.positions);
    EXPECT_EQ(sub.vertexNormals, s.normals);
    EXPECT_EQ(sub.vertexAlphas, s.alphas);
    EXPECT_EQ(sub.faceCount, 3);
    EXPECT_EQ(sub.faceNormals[1], (Vector3{0, 1, 0}));
    EXPECT_EQ(sub.faceVertexCounts, (std::vector<std::int32_t>{3, 4, 0}));
    EXPECT_EQ(sub.faceTextured, (std::vector<std::int32_t>{1, 0, -5}));
    EXPECT_EQ(sub.faceTextureIndices, (std::vector<std::int32_t>{2, -1, -1}));
    EXPECT_EQ(sub.faceColors[0].red, 0);
    EXPECT_EQ(sub.faceColors[1].red, 200);
    EXPECT_EQ(sub.faceColors[1].green, 40);
    EXPECT_EQ(sub.faceColors[1].blue, 10);
    EXPECT_EQ(sub.faceColors[2].blue, 3);
    EXPECT_EQ(sub.cornersOf(0)[0], (FaceVertex{0, 0.5f, 0.25f}));
    EXPECT_EQ(sub.cornersOf(1)[0], (FaceVertex{3, 0, 0}));
    EXPECT_EQ(sub.cornersOf(1)[3], (FaceVertex{0, 0, 0}));
    EXPECT_EQ(sub.faceVertices.size(), 7u);
    EXPECT_EQ(sub.faceExtraA[0], 0xAABBCCDDu);
    EXPECT_EQ(sub.faceExtraB[1], 2u);
}

TEST(OofReader, FillsSubObjectSlotsInChunkOrderWhateverTheirNumbers) {
    ObjectModel model;
    RecordingSink log;
    const Bytes bytes = OofBuilder(2300).ohdr({4}).sobj(Triangle(5)).sobj(Triangle(2)).sobj(Triangle(9)).bytes();
    ASSERT_EQ(Load(bytes, model, log), kOofLoaded);
    EXPECT_EQ(model.subObjectCount, 4);
    ASSERT_EQ(model.subObjects.size(), 3u);
    EXPECT_EQ(model.subObjects[0].number, 5);
    EXPECT_EQ(model.subObjects[1].number, 2);
    EXPECT_EQ(model.subObjects[2].number, 9);
    EXPECT_EQ(model.subObject(3).vertexCount, 0);  // declared, but no SOBJ chunk filled it
}

// Hand-written bodies on both sides of each version gate, independent of the builder's own gates.
Bytes SobjBody(std::int32_t version) {
    ByteBuilder b;
    b.i32(7).i32(-1).vec(0, 0, 1).f32(0).vec(0, 0, 0).vec(1, 2, 3).f32(4).i32(10).i32(20);
    if (version >= 1806)
        b.vec(0.5f, 0.25f, 0.125f);
    b.i32(2).text(std::string("a\0", 2)).i32(0).i32(1).i32(2).i32(0);
    b.i32(1).vec(1, 1, 1).vec(0, 1, 0);
    if (version >= 2300)
        b.f32(0.5f);
    b.i32(1).vec(0, 0, 1).i32(1).i32(1).i32(0).i32(0).f32(0.25f).f32(0.75f);
    if (version >= 2100)
        b.i32(0x11).i32(0x22);
    return b.take();
}

TEST(OofReader, SubObjectFieldsFollowTheirVersionGates) {
    for (const std::int32_t version : {1805, 1806, 2099, 2100, 2299, 2300}) {
        SCOPED_TRACE(version);
        ObjectModel model;
        RecordingSink log;
        const Bytes bytes = OofBuilder(version).ohdr({}).chunk("SOBJ", SobjBody(version)).nath({kProbe}).bytes();
        ASSERT_EQ(Load(bytes, model, log), kOofLoaded);
        ExpectProbeRead(model);
        const SubObject& sub = model.subObjects.at(0);
        EXPECT_EQ(sub.geometricCenter, (version >= 1806 ? Vector3{0.5f, 0.25f, 0.125f} : Vector3{}));
        EXPECT_EQ(sub.vertexAlphas.at(0), version >= 2300 ? 0.5f : 1.0f);
        EXPECT_EQ(sub.faceExtraA.at(0), version >= 2100 ? 0x11u : 0u);
        EXPECT_EQ(sub.faceExtraB.at(0), version >= 2100 ? 0x22u : 0u);
        EXPECT_EQ(sub.cornersOf(0)[0], (FaceVertex{0, 0.25f, 0.75f}));
    }
}

TEST(OofReader, GunpointParentIsReadFromVersion1908) {
    for (const std::int32_t version : {1805, 1907, 1908, 2300}) {
        SCOPED_TRACE(version);
        ByteBuilder body;
        body.i32(1);
        if (version >= 1908)
            body.i32(4);
        body.vec(1, 2.5f, -3).vec(0, 0, 1);
        ObjectModel model;
        model.gunpoints[0].parent = 99;
        RecordingSink log;
        ASSERT_EQ(Load(OofBuilder(version).chunk("GPNT", body.bytes()).nath({kProbe}).bytes(), model, log), kOofLoaded);
        ExpectProbeRead(model);
        EXPECT_EQ(model.gunpointCount, 1);
        EXPECT_EQ(model.gunpoints[0].parent, version >= 1908 ? 4 : 0);
        EXPECT_EQ(model.gunpoints[0].location, (Vector3{1, 2.5f, -3}));
    }
}

TEST(OofReader, AnimationKeysHaveSharedCountsBefore2200AndTracksFrom2200) {
    for (const std::int32_t version : {2199, 2200}) {
        SCOPED_TRACE(version);
        ByteBuilder pani;
        ByteBuilder rani;
        if (version < 2200) {
            pani.i32(2).vec(1, 0, 0).vec(2, 0, 0).vec(3, 0, 0).vec(4, 0, 0);
            rani.i32(1).vec(0, 1, 0).i32(100).vec(0, 0, 1).i32(200);
        } else {
            pani.i32(2).i32(-1).i32(9).i32(0).vec(1, 0, 0).i32(9).vec(2, 0, 0);
            pani.i32(0).i32(0).i32(0);
            rani.i32(0).i32(0).i32(0);
            rani.i32(1).i32(5).i32(6).i32(5).vec(0, 0, 1).i32(200);
        }
        ObjectModel model;
        RecordingSink log;
        const Bytes bytes = OofBuilder(version)
                                .ohdr({2})
                                .sobj(Triangle())
                                .sobj(Triangle())
                                .chunk("PANI", pani.bytes())
                                .chunk("RANI", rani.bytes())
                                .nath({kProbe})
                                .bytes();
        ASSERT_EQ(Load(bytes, model, log), kOofLoaded);
        ExpectProbeRead(model);
        const SubObject& first = model.subObjects[0];
        const SubObject& second = model.subObjects[1];
        if (version < 2200) {
            EXPECT_EQ(model.positionKeyCountShared, 2);
            EXPECT_EQ(model.rotationKeyCountShared, 1);
            EXPECT_EQ(first.positionKeyCount, 2);
            EXPECT_EQ(second.positionKeys, (std::vector<Vector3>{{3, 0, 0}, {4, 0, 0}}));
            EXPECT_EQ(second.rotationKeyCount, 1);
            EXPECT_EQ(second.rotationKeyAngles, (std::vector<std::int32_t>{200}));
            EXPECT_FALSE(log.contains("Number of Key"));
        } else {
            EXPECT_EQ(first.positionKeyCount, 2);
            EXPECT_EQ(first.positionTrackMin, -1);
            EXPECT_EQ(first.positionTrackMax, 9);
            EXPECT_EQ(first.positionKeyTimes, (std::vector<std::int32_t>{0, 9}));
            EXPECT_EQ(first.positionKeys[1], (Vector3{2, 0, 0}));
            EXPECT_EQ(second.positionKeyCount, 0);
            EXPECT_EQ(first.rotationKeyCount, 0);
            EXPECT_EQ(second.rotationKeyCount, 1);
            EXPECT_EQ(second.rotationTrackMax, 6);
            EXPECT_EQ(second.rotationKeyTimes, (std::vector<std::int32_t>{5}));
            EXPECT_EQ(second.rotationKeyAxes[0], (Vector3{0, 0, 1}));
            EXPECT_TRUE(log.contains("\r\nNumber of Key Angles for SOBJ#2: 1\r\n"));
        }
    }
}

TEST(OofReader, SpecialPointsGoToTheLatestSubObjectWithVisibleCharactersOnly) {
    ObjectModel model;
    RecordingSink log;
    const Bytes bytes = OofBuilder(2300)
                            .ohdr({2})
                            .sobj(Triangle())
                            .sobj(Triangle())
                            .spcl({{Stored("$gun 1"), std::string("a\tb \xE9") + '\0', {1, 2, 3}, 0.5f}})
                            .bytes();
    ASSERT_EQ(Load(bytes, model, log), kOofLoaded);
    EXPECT_EQ(model.subObjects[0].specialPointCount, 0);
    const SubObject& sub = model.subObjects[1];
    EXPECT_EQ(sub.specialPointCount, 1);
    EXPECT_EQ(sub.specialPointNameLengths[0], 7);
    EXPECT_EQ(sub.specialPointNames[0], "$gun1");
    EXPECT_EQ(sub.specialPointPropertyLengths[0], 6);
    EXPECT_EQ(sub.specialPointProperties[0], "ab\xE9");  // bytes above 127 are above 32 too
    EXPECT_EQ(sub.specialPointPositions[0], (Vector3{1, 2, 3}));
    EXPECT_EQ(sub.specialPointRadii[0], 0.5f);
}

TEST(OofReader, WeaponBatteriesKeepEightIndicesAndReadPastTheRest) {
    ObjectModel model;
    RecordingSink log;
    const Bytes bytes = OofBuilder(2300)
                            .ohdr({})
                            .wbat({{{10, 11, 12, 13, 14, 15, 16, 17}, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
                                   {{20, 21, 22, 23, 24, 25, 26, 27, 28, 29}, {}}})
                            .nath({kProbe})
                            .bytes();
    ASSERT_EQ(Load(bytes, model, log), kOofLoaded);
    ExpectProbeRead(model);
    EXPECT_EQ(model.weaponBatteryCount, 2);
    EXPECT_EQ(model.batteryGunpointCounts[0], 8);
    EXPECT_EQ(model.batteryTurretCounts[0], 8);
    EXPECT_EQ(model.batteryTurretIndices[0][7], 8);
    EXPECT_EQ(model.batteryGunpointCounts[1], 8);
    EXPECT_EQ(model.batteryGunpointIndices[1][7], 27);
    EXPECT_EQ(model.batteryTurretCounts[1], 0);
    EXPECT_TRUE(log.contains("Number of Turrets on WBAT #1: 9\r\n"));
    EXPECT_TRUE(log.contains("Number of Gunpoints on WBAT #2: 10\r\n"));
}

TEST(OofReader, TablesGrowBeyondTheFormerCapacities) {
    // 11 gunpoints, 9 ground points, 256 weapon batteries, a face of 51 corners, 8334 vertices and faces in
    // one of three sub-objects.
    std::vector<test::PointFields> gunpoints(11);
    gunpoints[10].location = {11, 0, 0};
    std::vector<test::PointFields> ground(9);
    ground[8].parent = 9;
    std::vector<test::BatteryFields> batteries(256);
    batteries[255].turrets = {5};
    SobjFields big;
    for (int i = 0; i < 8334; ++i) {
        big.positions.push_back({static_cast<float>(i), 0, 0});
        big.faces.push_back({{0, 0, 1}, 1, 0, 0, 0, 0, {{i, 0, 0}, {0, 0, 0}, {1, 0, 0}}});
    }
    big.faces[0].corners.resize(51, {7, 0, 0});
    ObjectModel model;
    RecordingSink log;
    const Bytes bytes =
        OofBuilder(2300).ohdr({3}).sobj(big).gpnt(gunpoints).grnd(ground).wbat(batteries).nath({kProbe}).bytes();
    ASSERT_EQ(Load(bytes, model, log), kOofLoaded) << log.text().substr(0, 400);
    ExpectProbeRead(model);
    EXPECT_EQ(model.vertexCapacity(), 8333);
    const SubObject& sub = model.subObjects[0];
    EXPECT_EQ(sub.vertexCount, 8334);
    EXPECT_EQ(sub.vertexPositions[8333].x, 8333);
    EXPECT_EQ(sub.faceCount, 8334);
    EXPECT_EQ(sub.faceVertexCounts[0], 51);
    EXPECT_EQ(sub.cornersOf(0)[50].vertexIndex, 7);
    EXPECT_EQ(sub.cornersOf(8333)[0].vertexIndex, 8333);
    EXPECT_EQ(model.gunpointCount, 11);
    EXPECT_EQ(model.gunpoints[10].location.x, 11);
    EXPECT_EQ(model.groundPoints[8].parent, 9);
    EXPECT_EQ(model.weaponBatteryCount, 256);
    EXPECT_EQ(model.batteryTurretIndices[255][0], 5);
}

TEST(OofReader, ASingleSubObjectHoldsTwentyFiveThousandAndOneVerticesAndFaces) {
    SobjFields big;
    for (int i = 0; i < 25001; ++i) {
        big.positions.push_back({0, static_cast<float>(i), 0});
        big.faces.push_back({{0, 0, 1}, 0, 0, 1, 2, 3, {{i, 0, 0}}});
    }
    ObjectModel model;
    RecordingSink log;
    ASSERT_EQ(Load(OofBuilder(2300).ohdr({1}).sobj(big).bytes(), model, log), kOofLoaded);
    EXPECT_EQ(model.vertexCapacity(), 25000);
    EXPECT_EQ(model.subObjects[0].vertexPositions.size(), 25001u);
    EXPECT_EQ(model.subObjects[0].cornersOf(25000)[0].vertexIndex, 25000);
    EXPECT_EQ(model.subObjects[0].faceTextureIndices[25000], -1);
}

TEST(OofReader, POFGENTextTurnsLineFeedsIntoCrLf) {
    ObjectModel model;
    RecordingSink log;
    ASSERT_EQ(Load(OofBuilder(2300).pinf("a\nb").bytes(), model, log), kOofLoaded);
    EXPECT_EQ(model.pofgenInfoLength, 3);
    EXPECT_EQ(model.pofgenInfoText, "a\r\nb");
    EXPECT_EQ(log.messages.back(), "\r\na\r\nb\r\n");
}

TEST(OofReader, POFGENChunkEndsTheFileWhateverFollows) {
    ObjectModel model;
    RecordingSink log;
    ASSERT_EQ(Load(OofBuilder(2300).pinf("x").chunk("JUNK", {1, 2, 3}).bytes(), model, log), kOofLoaded);
    EXPECT_EQ(model.pofgenInfoText, "x");
}

TEST(OofReader, POFGENTextOfNoLengthPrintsOnlyTheHeading) {
    for (const std::int32_t stated : {0, -7}) {
        ObjectModel model;
        model.pofgenInfoText = "old";
        RecordingSink log;
        ASSERT_EQ(Load(OofBuilder(2300).pinf("ignored").statedLength(stated).bytes(), model, log), kOofLoaded);
        EXPECT_EQ(log.messages.back(), "\r\nOutput from POFGEN:");
        EXPECT_EQ(model.pofgenInfoLength, stated);
        EXPECT_EQ(model.pofgenInfoText, "");
    }
}

TEST(OofReader, POFGENTextCutShortLoadsWithItsOwnMessage) {
    ObjectModel model;
    RecordingSink log;
    ASSERT_EQ(Load(OofBuilder(2300).pinf(std::string(40, 'p')).statedLength(100).bytes(), model, log), kOofLoaded);
    EXPECT_EQ(log.messages.back(), "\r\nPOF contained incorrect data");
    EXPECT_EQ(model.pofgenInfoLength, 100);
    EXPECT_EQ(model.pofgenInfoText, std::string(40, 'p'));
    EXPECT_TRUE(log.errors().empty());
}

// The model is never emptied as a whole: what a file leaves out keeps the previous file's values.
TEST(OofReader, ASecondLoadKeepsEarlierValuesWhereChunksAreMissing) {
    ObjectModel model;
    RecordingSink log;
    ASSERT_EQ(Load(test::SampleOof(), model, log), kOofLoaded);
    const Vector3 thirdGroundPoint{9, 9, 9};
    model.groundPoints[2].location = thirdGroundPoint;

    RecordingSink log2;
    const Bytes second =
        OofBuilder(1805).txtr({}).ohdr({1}).sobj(Triangle(3)).grnd({{0, {1, 1, 1}, {0, 0, 1}}}).bytes();
    ASSERT_EQ(Load(second, model, log2), kOofLoaded);
    EXPECT_EQ(model.fileVersion, 1805);
    EXPECT_EQ(model.textureCount, 0);
    EXPECT_EQ(model.textureNames.size(), 3u);  // a count of 0 leaves the names in place
    EXPECT_EQ(model.subObjectCount, 1);
    ASSERT_EQ(model.subObjects.size(), 1u);
    EXPECT_EQ(model.subObjects[0].number, 3);
    EXPECT_EQ(model.subObjects[0].specialPointCount, 0);
    EXPECT_EQ(model.weaponBatteryCount, 2);        // count kept ...
    EXPECT_EQ(model.batteryGunpointCounts[0], 0);  // ... but OHDR emptied the battery tables
    EXPECT_EQ(model.gunpointCount, 2);
    EXPECT_EQ(model.gunpoints[0].parent, 2);
    EXPECT_EQ(model.groundPointCount, 1);
    EXPECT_EQ(model.groundPoints[0].location, (Vector3{1, 1, 1}));
    EXPECT_EQ(model.groundPoints[1].location, (Vector3{2.5f, -1.5f, 0}));  // beyond the new count
    EXPECT_EQ(model.groundPoints[2].location, thirdGroundPoint);
    EXPECT_EQ(model.attachPointCount, 1);
    EXPECT_EQ(model.pofgenInfoText.substr(0, 8), "pofgen: ");
}

TEST(OofReader, AWrongIdentifierChangesOnlyTheFileId) {
    ObjectModel model;
    RecordingSink log;
    ASSERT_EQ(Load(test::SampleOof(), model, log), kOofLoaded);
    Bytes bad = test::SampleOof();
    bad[3] = 'X';
    EXPECT_EQ(Load(bad, model, log), kOofInvalid);
    EXPECT_EQ(model.fileId, "PSPX");
    EXPECT_EQ(model.fileVersion, 2300);
    EXPECT_EQ(model.subObjects.size(), 3u);
}

}  // namespace
}  // namespace torvale
