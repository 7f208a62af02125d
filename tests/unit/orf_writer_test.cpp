#include <gtest/gtest.h>

#include "builders/bytes.h"
#include "builders/model_builder.h"
#include "builders/orf_walker.h"
#include "orf/orf_writer.h"
#include "orf/room_export.h"

namespace torvale {
namespace {

using test::ByteBuilder;
using test::Bytes;
using test::ModelBuilder;
using test::WalkOrf;

using test::SceneOf;

Bytes Combined(const ObjectModel& model, const TextureTable& table = {}) {
    const Scene scene = SceneOf(model);
    return EncodeRoom(BuildCombinedRoom(scene, RoomTextureNames(scene, table)));
}

Bytes SubObjectRoom(const ObjectModel& model, std::size_t index, const RoomBuildOptions& options = {}) {
    const Scene scene = SceneOf(model);
    return EncodeRoom(BuildSubObjectRoom(scene, index, RoomTextureNames(scene, {}), options));
}

TEST(OrfWriter, ChunkStartsWithPlaceholderUntilItsLengthIsPatched) {
    OrfWriter writer;
    writer.beginChunk(7);
    writer.writeI32(1);
    writer.writeI32(2);
    EXPECT_EQ(writer.bytes(), ByteBuilder().i32(7).i32(-1).i32(1).i32(2).bytes());
    writer.patchLength();
    writer.writeName(std::string_view("x\0", 2));  // the next chunk's content does not move the patched length
    writer.finishFile();
    // The end chunk's length is 4 although nothing follows it.
    EXPECT_EQ(writer.bytes(),
              ByteBuilder().i32(7).i32(8).i32(1).i32(2).text(std::string_view("x\0", 2)).i32(3).i32(4).bytes());
}

TEST(OrfRoom, EmptyModelWithoutTexturesIsThe71ByteRoom) {
    ByteBuilder room;
    room.i32(5).i32(12).i32(4).i32(0).i32(0);                                   // header (20)
    room.i32(1).i32(0);                                                         // vertices (8)
    room.i32(4).i32(19).i32(1).text(std::string_view("SAMPLE TEXTURE\0", 15));  // names (27)
    room.i32(2).i32(0);                                                         // faces (8)
    room.i32(3).i32(4);                                                         // end (8)
    const Bytes expected = room.take();
    ObjectModel model;
    EXPECT_EQ(Combined(model), expected);
    EXPECT_EQ(expected.size(), 71u);
    ObjectModel oneEmptySlot;  // a sub-object slot that no SOBJ chunk filled
    oneEmptySlot.subObjectCount = 1;
    EXPECT_EQ(SubObjectRoom(oneEmptySlot, 0), expected);
}

TEST(OrfRoom, OneTriangleIsWrittenByteForByte) {
    const ObjectModel model = ModelBuilder()
                                  .texture("abcde")
                                  .subObject()
                                  .vertex(1, 2, 3)
                                  .vertex(-4, 5.5f, 6)
                                  .vertex(7, 8, -9)
                                  .face(0, {{2, 0.25f, 0.5f}, {0, 1, 0}, {1, 0, 1}}, {0, -1, 0})
                                  .build();
    ByteBuilder expected;
    expected.i32(5).i32(12).i32(4).i32(3).i32(1);
    expected.i32(1).i32(36).vec(1, 2, 3).vec(-4, 5.5f, 6).vec(7, 8, -9);
    expected.i32(4).i32(10).i32(1).text(std::string_view("abcde\0", 6));
    expected.i32(2).i32(109).u8(4).i32(3).vec(0, -1, 0).i16(0);
    for (const auto& [index, u, v] : {std::tuple{2, 0.25f, 0.5f}, {0, 1.0f, 0.0f}, {1, 0.0f, 1.0f}}) {
        expected.i16(index).f32(u).f32(v).i32(0).i32(0).i32(0).i32(0).u8(0x00).u8(0x00).u8(0x80).u8(0x3F);
    }
    expected.i32(3).i32(4);
    EXPECT_EQ(Combined(model), expected.bytes());
    EXPECT_EQ(SubObjectRoom(model, 0), expected.bytes());
}

TEST(OrfRoom, UntexturedFacesUseSampleTextureAppendedAfterTheModelsNames) {
    const ObjectModel model = ModelBuilder()
                                  .texture("stone")
                                  .texture("metal")
                                  .subObject()
                                  .vertex(0, 0, 0)
                                  .vertex(1, 0, 0)
                                  .vertex(0, 1, 0)
                                  .face(1, {{0}, {1}, {2}})
                                  .face(-1, {{2}, {1}, {0}})
                                  .face(0, {{0}, {2}, {1}})
                                  .build();
    const test::OrfWalk walk = WalkOrf(Combined(model));
    ASSERT_TRUE(walk.ok) << walk.problem;
    EXPECT_EQ(walk.room.names, (std::vector<std::string>{"stone", "metal", "SAMPLE TEXTURE"}));
    ASSERT_EQ(walk.room.faces.size(), 3u);
    EXPECT_EQ(walk.room.faces[0].texture, 1);
    EXPECT_EQ(walk.room.faces[1].texture, 2);
    EXPECT_EQ(walk.room.faces[2].texture, 0);
}

TEST(OrfRoom, UntexturedFacesOfAModelWithoutTexturesUseTheOnlyName) {
    const ObjectModel model = ModelBuilder().subObject().vertex(0, 0, 0).face(-1, {{0}, {0}, {0}}).build();
    const test::OrfWalk walk = WalkOrf(Combined(model));
    ASSERT_TRUE(walk.ok) << walk.problem;
    EXPECT_EQ(walk.room.names, std::vector<std::string>{"SAMPLE TEXTURE"});
    EXPECT_EQ(walk.room.lengths[2], 19);
    EXPECT_EQ(walk.room.faces.at(0).texture, 0);
}

TEST(OrfRoom, NamesPassThroughTheTranslationTableWithOneZeroEach) {
    TextureTable table;
    table.translateFrom[0] = "wall1";
    table.translateTo[0] = "CEILING01";
    table.translateFrom[1] = "odd";
    table.translateTo[1] = std::string("CUT\0HERE", 8);  // a zero inside a replacement ends it
    ObjectModel model = ModelBuilder().texture("wall1").texture("Wall1").texture("odd").build();
    model.textureNames.push_back("bare");  // a stored name without its trailing zero gets one
    model.textureCount = 4;
    const test::OrfWalk walk = WalkOrf(Combined(model, table));
    ASSERT_TRUE(walk.ok) << walk.problem;
    EXPECT_EQ(walk.room.names, (std::vector<std::string>{"CEILING01", "Wall1", "CUT", "bare"}));
    EXPECT_EQ(walk.room.lengths[2], 4 + 10 + 6 + 4 + 5);
}

}  // namespace
}  // namespace torvale

namespace torvale {
namespace {

// A face of 300 corners (more record bytes than the writer buffers at once; the export refuses such a face for
// the level editor's sake, but the room build lays out whatever it is given) and, in a second sub-object, a
// triangle whose corners move up by the first one's vertices in the combined room.
ObjectModel TwoObjectModel() {
    ModelBuilder builder;
    builder.texture("wall").subObject();
    for (int v = 0; v < 300; ++v)
        builder.vertex(static_cast<float>(v), 0, 0);
    builder.face(0, {}, {0.5f, -2, 8});
    for (int c = 0; c < 300; ++c)
        builder.current().faceVertices.push_back({c, static_cast<float>(c) / 4, static_cast<float>(-c)});
    builder.current().faceVertexCounts.back() = 300;
    builder.subObject().vertex(1, 1, 1).vertex(2, 2, 2).vertex(3, 3, 3);
    builder.face(-1, {{0, 0.25f, 0.5f}, {1, 1, 0}, {2, 0, 1}}, {0, 0, 1});
    return builder.build();
}

TEST(OrfRoom, ReversedFacesListTheirCornersBackwardsWithTheirUvsAndNegatedNormals) {
    const Scene scene = SceneOf(TwoObjectModel());
    const auto names = RoomTextureNames(scene, {});
    const std::pair<Bytes, Bytes> builds[] = {
        {EncodeRoom(BuildCombinedRoom(scene, names)),
         EncodeRoom(BuildCombinedRoom(scene, names, {.reverseFaces = true}))},
        {EncodeRoom(BuildSubObjectRoom(scene, 0, names)),
         EncodeRoom(BuildSubObjectRoom(scene, 0, names, {.reverseFaces = true}))},
        {EncodeRoom(BuildSubObjectRoom(scene, 1, names)),
         EncodeRoom(BuildSubObjectRoom(scene, 1, names, {.reverseFaces = true}))},
    };
    for (const auto& [plainBytes, reversedBytes] : builds) {
        const auto plain = WalkOrf(plainBytes);
        const auto reversed = WalkOrf(reversedBytes);
        ASSERT_TRUE(plain.ok) << plain.problem;
        ASSERT_TRUE(reversed.ok) << reversed.problem;
        EXPECT_EQ(reversed.room.vertices, plain.room.vertices);
        EXPECT_EQ(reversed.room.names, plain.room.names);
        ASSERT_EQ(reversed.room.faces.size(), plain.room.faces.size());
        for (std::size_t f = 0; f < plain.room.faces.size(); ++f) {
            const auto& was = plain.room.faces[f];
            const auto& now = reversed.room.faces[f];
            EXPECT_EQ(now.texture, was.texture);
            EXPECT_EQ(now.normal, (std::array<float, 3>{-was.normal[0], -was.normal[1], -was.normal[2]}));
            ASSERT_EQ(now.corners.size(), was.corners.size());
            for (std::size_t c = 0; c < was.corners.size(); ++c) {
                const auto& mirror = was.corners[was.corners.size() - 1 - c];
                EXPECT_EQ(now.corners[c].vertex, mirror.vertex);
                EXPECT_EQ(now.corners[c].u, mirror.u);
                EXPECT_EQ(now.corners[c].v, mirror.v);
            }
        }
    }
    // The combined room's triangle names the second part's vertices 300 to 302, last first.
    const auto combined = WalkOrf(builds[0].second);
    ASSERT_EQ(combined.room.faces.size(), 2u);
    EXPECT_EQ(combined.room.faces[1].corners[0].vertex, 302);
    EXPECT_EQ(combined.room.faces[0].corners[0].u, 299.0f / 4);
}

}  // namespace
}  // namespace torvale
