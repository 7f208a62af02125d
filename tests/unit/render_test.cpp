#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "builders/model_builder.h"
#include "render/renderer.h"
#include "render/scene.h"

namespace torvale {
namespace {

using test::ModelBuilder;

constexpr std::uint32_t kRed = 0xC00000, kGreen = 0x00C000, kBlue = 0x0000C0;

// An untextured square in the plane z = `z`, its corners clockwise as seen from the viewer at yaw 0, or the
// other way round when `reversed`.
void Square(ModelBuilder& b,
            float x0,
            float y0,
            float x1,
            float y1,
            float z,
            std::uint32_t color,
            bool reversed = false) {
    const auto base = static_cast<std::int32_t>(b.current().vertexPositions.size());
    b.vertex(x0, y0, z).vertex(x0, y1, z).vertex(x1, y1, z).vertex(x1, y0, z);
    if (reversed)
        b.face(-1, {{base + 3}, {base + 2}, {base + 1}, {base}});
    else
        b.face(-1, {{base}, {base + 1}, {base + 2}, {base + 3}});
    b.current().faceColors.back() = {static_cast<std::uint8_t>(color >> 16), static_cast<std::uint8_t>(color >> 8),
                                     static_cast<std::uint8_t>(color)};
}

struct Box {
    int left = std::numeric_limits<int>::max(), top = left, right = -1, bottom = -1;
    int count = 0;
    double centreX() const { return (left + right + 1) / 2.0; }
    double centreY() const { return (top + bottom + 1) / 2.0; }
};

template <typename Match>
Box Find(const FrameStore& store, Match match) {
    Box box;
    for (int y = 0; y < store.height(); ++y) {
        for (int x = 0; x < store.width(); ++x) {
            if (!match(store.pixel(x, y)))
                continue;
            box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x), std::max(box.bottom, y),
                   box.count + 1};
        }
    }
    return box;
}

Box FindColor(const FrameStore& store, std::uint32_t color) {
    return Find(store, [color](std::uint32_t p) { return p == color; });
}

FrameStore Draw(const PreviewScene& scene,
                View view = {},
                RenderOptions options = {},
                int width = 120,
                int height = 90) {
    FrameStore store(width, height);
    EXPECT_TRUE(Render(scene, view, options, store.frame()));
    return store;
}

enum class Side { Front, Back, None };

struct FacingCase {
    bool reversed;
    float yaw, pitch;
    Side seen;
};

class RenderFacing : public ::testing::TestWithParam<FacingCase> {};

// A flat face is seen from either side, its back darker, so that a sign or a floor seen from behind is never
// an empty picture; edge-on it is a line of no width.
TEST_P(RenderFacing, DrawsBothSidesOfAFaceTheBackDarker) {
    const FacingCase c = GetParam();
    ModelBuilder b;
    b.subObject();
    Square(b, -1, -1, 1, 1, 0, kGreen, c.reversed);
    const PreviewScene scene = BuildPreviewScene(b.scene());
    const FrameStore store = Draw(scene, {c.yaw, c.pitch, 1.0f});
    const Box drawn = Find(store, [](std::uint32_t p) { return p != kBackgroundColor; });
    EXPECT_EQ(drawn.count > 0, c.seen != Side::None);
    if (c.seen == Side::None)
        return;
    // The same view of the square turned round shows its other side, at the same place.
    ModelBuilder turned;
    turned.subObject();
    Square(turned, -1, -1, 1, 1, 0, kGreen, !c.reversed);
    const FrameStore other = Draw(BuildPreviewScene(turned.scene()), {c.yaw, c.pitch, 1.0f});
    const std::uint32_t here = store.pixel(60, 45), there = other.pixel(60, 45);
    const std::uint32_t front = c.seen == Side::Front ? here : there, back = c.seen == Side::Front ? there : here;
    EXPECT_GT(front & 0xFF00, back & 0xFF00) << std::hex << front << " " << back;
    EXPECT_GT(back & 0xFF00, 0u);  // still green
    EXPECT_EQ(back & 0xFF00FF, 0u);
    if (c.pitch == 0.0f && std::fmod(c.yaw, 180.0f) == 0.0f)
        EXPECT_EQ(front, kGreen);  // squarely facing the viewer: full light
}

INSTANTIATE_TEST_SUITE_P(Cases,
                         RenderFacing,
                         ::testing::Values(FacingCase{false, 0, 0, Side::Front},
                                           FacingCase{false, 180, 0, Side::Back},
                                           FacingCase{true, 0, 0, Side::Back},
                                           FacingCase{true, 180, 0, Side::Front},
                                           FacingCase{false, 60, 30, Side::Front},
                                           FacingCase{false, 0, 90, Side::None},
                                           FacingCase{false, 100, 0, Side::Back}));

TEST(Render, TheNearerOfTwoFacesWinsWhicheverComesFirst) {
    for (const bool nearFirst : {true, false}) {
        ModelBuilder b;
        b.subObject();
        if (nearFirst)
            Square(b, -1, -1, 1, 1, 0, kRed);
        Square(b, -0.5f, -0.5f, 1.5f, 1.5f, 1, kBlue);
        if (!nearFirst)
            Square(b, -1, -1, 1, 1, 0, kRed);
        const FrameStore store = Draw(BuildPreviewScene(b.scene()));
        const Box red = FindColor(store, kRed);
        const Box blue = FindColor(store, kBlue);
        SCOPED_TRACE(nearFirst ? "near face first" : "far face first");
        ASSERT_GT(red.count, 0);
        ASSERT_GT(blue.count, 0);
        // The far square shows only where the near one is not: right of it or above it.
        EXPECT_EQ(FindColor(store, kRed).count, (red.right - red.left + 1) * (red.bottom - red.top + 1));
        EXPECT_TRUE(blue.right > red.right && blue.top < red.top);
    }
}

TEST(Render, FacesSharingAnEdgeLeaveNoGap) {
    // A square cut along its diagonal, which (in a square frame) runs exactly through pixel centres: only the
    // fill rule decides which triangle draws them.
    ModelBuilder b;
    b.subObject().vertex(-1, -1, 0).vertex(-1, 1, 0).vertex(1, 1, 0).vertex(1, -1, 0);
    b.face(-1, {{0}, {1}, {2}}).face(-1, {{0}, {2}, {3}});
    b.current().faceColors = {{0xC0, 0, 0}, {0, 0, 0xC0}};
    const FrameStore store = Draw(BuildPreviewScene(b.scene()), {}, {}, 200, 200);
    // Along every row, the pixels between the outline's ends are all drawn.
    for (int y = 0; y < store.height(); ++y) {
        int first = -1, last = -1;
        for (int x = 0; x < store.width(); ++x) {
            if (store.pixel(x, y) != kBackgroundColor) {
                first = first < 0 ? x : first;
                last = x;
            }
        }
        for (int x = first; first >= 0 && x <= last; ++x)
            ASSERT_NE(store.pixel(x, y), kBackgroundColor) << "row " << y << ", column " << x;
    }
}

struct FitCase {
    int width, height;
    Vector3 place;
    float zoom;
};

class RenderFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(RenderFit, CentresTheModelAndFillsTheSmallerSide) {
    const FitCase c = GetParam();
    ModelBuilder b;
    b.subObject(-1, c.place);
    Square(b, -1, -1, 1, 1, 0, kGreen);
    const FrameStore store = Draw(BuildPreviewScene(b.scene()), {0, 0, c.zoom}, {}, c.width, c.height);
    const Box box = FindColor(store, kGreen);
    EXPECT_NEAR(box.centreX(), c.width / 2.0, 1.0);
    EXPECT_NEAR(box.centreY(), c.height / 2.0, 1.0);
    // The square's corners are on its bounding sphere; at zoom 1 the sphere spans the smaller side, less a
    // small margin.
    const double side = std::min(c.width, c.height);
    const double diagonal = std::hypot(box.right - box.left + 1, box.bottom - box.top + 1);
    EXPECT_GT(diagonal, 0.85 * side * c.zoom);
    EXPECT_LT(diagonal, side * c.zoom);
}

INSTANTIATE_TEST_SUITE_P(Cases,
                         RenderFit,
                         ::testing::Values(FitCase{120, 90, {0, 0, 0}, 1},
                                           FitCase{90, 160, {0, 0, 0}, 1},
                                           FitCase{200, 100, {300, -40, 7}, 1},
                                           FitCase{200, 160, {0, 5, 0}, 0.5f}));

struct OrientationCase {
    Vector3 point;
    float yaw, pitch;
    int right, up;  // where the point shows from the centre: -1, 0 or 1 along each screen axis
};

class RenderOrientation : public ::testing::TestWithParam<OrientationCase> {};

// Gun point at `point`, attach point opposite: the picture keeps the game's handedness (no mirror image).
TEST_P(RenderOrientation, ShowsTheGameAxesUnmirrored) {
    const OrientationCase c = GetParam();
    ModelBuilder b;
    b.subObject();
    ObjectModel model = b.build();
    model.gunpointCount = 1;
    model.gunpoints[0] = {0, c.point, {}};
    model.attachPointCount = 1;
    model.attachPoints[0] = {0, {-c.point.x, -c.point.y, -c.point.z}, {}};
    const PreviewScene scene = BuildPreviewScene(test::SceneOf(model));
    EXPECT_EQ(FindColor(Draw(scene, {c.yaw, c.pitch, 1}), kGunpointColor).count, 0);  // markers are asked for
    const FrameStore store = Draw(scene, {c.yaw, c.pitch, 1}, {false, false, true});
    const Box gun = FindColor(store, kGunpointColor);
    const Box attach = FindColor(store, kAttachPointColor);
    ASSERT_EQ(gun.count, kMarkerSize * kMarkerSize);
    ASSERT_EQ(attach.count, kMarkerSize * kMarkerSize);
    const auto sign = [](double v) { return v > 2 ? 1 : v < -2 ? -1 : 0; };
    EXPECT_EQ(sign(gun.centreX() - 60), c.right);
    EXPECT_EQ(sign(45 - gun.centreY()), c.up);
    EXPECT_EQ(sign(attach.centreX() - 60), -c.right);
    EXPECT_EQ(sign(45 - attach.centreY()), -c.up);
}

INSTANTIATE_TEST_SUITE_P(Cases,
                         RenderOrientation,
                         ::testing::Values(OrientationCase{{1, 0, 0}, 0, 0, 1, 0},
                                           OrientationCase{{0, 1, 0}, 0, 0, 0, 1},
                                           OrientationCase{{0, 0, 1}, 90, 0, 1, 0},
                                           OrientationCase{{0, 0, 1}, -90, 0, -1, 0},
                                           OrientationCase{{0, 0, 1}, 0, 90, 0, 1},
                                           OrientationCase{{1, 0, 0}, 180, 0, -1, 0}));

TEST(Render, WireframeDrawsTheVisibleEdgesOnly) {
    ModelBuilder b;
    b.subObject();
    Square(b, -1, -1, 1, 1, 0, kGreen);
    Square(b, -0.5f, -0.5f, 0.5f, 0.5f, 1, kBlue);  // hidden behind the first
    const PreviewScene scene = BuildPreviewScene(b.scene());
    EXPECT_EQ(FindColor(Draw(scene), kWireColor).count, 0);

    const FrameStore store = Draw(scene, {}, {true, false, false});
    const Box wire = FindColor(store, kWireColor);
    const Box face = Find(store, [](std::uint32_t p) { return p != kBackgroundColor; });
    EXPECT_EQ(wire.left, face.left);
    EXPECT_EQ(wire.right, face.right);
    EXPECT_EQ(wire.top, face.top);
    EXPECT_EQ(wire.bottom, face.bottom);
    // Only the outline: the hidden square's edges (a quarter of the way in) stay green.
    const int quarter = face.left + (face.right - face.left) / 4;
    EXPECT_EQ(store.pixel(quarter, 45), kGreen);
    EXPECT_EQ(store.pixel(60, 45), kGreen);
}

TEST(Render, FlaggedFacesAreRedOnlyWhenFindingsAreShown) {
    ModelBuilder b;
    b.subObject();
    Square(b, -2, -1, 0, 1, 0, kGreen);
    b.subObject(0, {2, 0, 0});  // the second room face, moved right by its attach offset
    Square(b, 0, -1, 2, 1, 0, kGreen);
    const std::size_t flagged[] = {1, 99};
    const PreviewScene scene = BuildPreviewScene(b.scene(), flagged);

    const FrameStore shown = Draw(scene, {}, {false, true, false});
    const Box red = FindColor(shown, kFlaggedColor);
    const Box green = FindColor(shown, kGreen);
    ASSERT_GT(red.count, 0);
    ASSERT_GT(green.count, 0);
    EXPECT_GT(red.left, green.right);  // the right-hand square, whose sub-object is the second

    const FrameStore hidden = Draw(scene);
    EXPECT_EQ(FindColor(hidden, kFlaggedColor).count, 0);
    EXPECT_EQ(FindColor(hidden, kGreen).count, red.count + green.count);

    // Seen from behind, the flagged face is still red (darker), the other one dark green.
    const FrameStore behind = Draw(scene, {180, 0, 1.0f}, {false, true, false});
    const Box redBack = Find(behind, [](std::uint32_t p) { return p != kBackgroundColor && (p & 0xFFFF) == 0x1010; });
    EXPECT_EQ(redBack.count, red.count);
    EXPECT_EQ(FindColor(behind, kFlaggedColor).count, 0);
}

TEST(Render, RefusesAFrameWhoseBuffersDoNotMatchItsSize) {
    ModelBuilder b;
    b.subObject();
    Square(b, -1, -1, 1, 1, 0, kGreen);
    const PreviewScene scene = BuildPreviewScene(b.scene());
    FrameStore store(10, 10);
    Frame frame = store.frame();
    frame.height = 11;
    EXPECT_FALSE(Render(scene, {}, {}, frame));
    frame = store.frame();
    frame.depth = frame.depth.first(99);
    EXPECT_FALSE(Render(scene, {}, {}, frame));
}

TEST(PreviewScene, PlacesSubObjectsByTheirAttachOffsetsUpTheParentChain) {
    ModelBuilder b;
    b.subObject(-1, {1, 0, 0}).vertex(0, 0, 0);
    b.subObject(0, {0, 2, 0}).vertex(0, 0, 0);
    b.subObject(1, {0, 0, 4}).vertex(0.5f, 0.5f, 0.5f);
    const PreviewScene scene = BuildPreviewScene(b.scene());
    ASSERT_EQ(scene.vertices.size(), 3u);
    EXPECT_EQ(scene.vertices[0], (Vector3{1, 0, 0}));
    EXPECT_EQ(scene.vertices[1], (Vector3{1, 2, 0}));
    EXPECT_EQ(scene.vertices[2], (Vector3{1.5f, 2.5f, 4.5f}));
}

TEST(PreviewScene, KeepsRoomFaceNumbersAcrossFacesItCannotDraw) {
    ModelBuilder b;
    b.subObject().vertex(0, 0, 0).vertex(0, 1, 0).vertex(1, 1, 0);
    b.face(-1, {{0}, {1}});  // two corners
    b.subObject(0).vertex(0, 0, 0).vertex(0, 1, 0).vertex(1, 1, 0);
    b.face(-1, {{0}, {1}, {2}});
    const std::size_t flagged[] = {1};
    const PreviewScene scene = BuildPreviewScene(b.scene(), flagged);
    ASSERT_EQ(scene.faces.size(), 2u);
    EXPECT_EQ(scene.faces[0].cornerCount, 0u);
    EXPECT_EQ(scene.faces[1].cornerCount, 3u);
    EXPECT_TRUE(scene.faces[1].flagged);
    EXPECT_EQ(scene.corners.size(), 3u);
    EXPECT_EQ(scene.corners[0], 3u);  // the second sub-object's vertices follow the first's
}

TEST(PreviewScene, TexturesGetDistinctSaturatedColoursWhateverTheirCase) {
    ModelBuilder b;
    b.texture("rock1").texture("ROCK1").texture("metal_plate").texture("glass").texture("lava").texture("water");
    b.subObject().vertex(0, 0, 0).vertex(0, 1, 0).vertex(1, 1, 0);
    for (std::int32_t t = -1; t <= 5; ++t)
        b.face(t, {{0}, {1}, {2}});
    const PreviewScene scene = BuildPreviewScene(b.scene());
    ASSERT_EQ(scene.faces.size(), 7u);
    EXPECT_EQ(scene.faces[0].color, 0xC86432u);  // untextured: the face's own colour
    EXPECT_EQ(scene.faces[1].color, scene.faces[2].color);
    std::set<std::uint32_t> distinct;
    for (std::size_t f = 2; f < 7; ++f) {
        const std::uint32_t c = scene.faces[f].color;
        const std::uint32_t channels[] = {c >> 16, (c >> 8) & 0xFF, c & 0xFF};
        const auto [low, high] = std::minmax({channels[0], channels[1], channels[2]});
        EXPECT_GE(high - low, 80u) << "texture " << f - 1 << " is nearly grey";
        EXPECT_GE(high, 190u) << "texture " << f - 1 << " is dark";
        distinct.insert(c);
    }
    EXPECT_EQ(distinct.size(), 5u);
}

TEST(Render, SkipsFacesWithCornersThatAreNotNumbers) {
    ModelBuilder b;
    b.subObject();
    Square(b, -1, -1, 1, 1, 0, kGreen);
    Square(b, -1, -1, 1, 1, -1, kRed);
    PreviewScene scene = BuildPreviewScene(b.scene());
    scene.vertices[5].x = std::numeric_limits<float>::quiet_NaN();
    scene.vertices[6].y = std::numeric_limits<float>::infinity();
    const FrameStore store = Draw(scene, {}, {true, false, true});
    EXPECT_EQ(FindColor(store, kRed).count, 0);
    EXPECT_GT(FindColor(store, kGreen).count, 0);
}

}  // namespace
}  // namespace torvale
