#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "bitmap/game_bitmap_reader.h"
#include "builders/bitmap_builder.h"
#include "builders/model_builder.h"
#include "render/renderer.h"
#include "render/scene.h"

namespace torvale {
namespace {

using test::ModelBuilder;

struct Texel {
    std::uint8_t r, g, b, a;
    std::uint32_t rgb() const { return (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b; }
};

// A 2 x 2 checker, rows from the top.
constexpr Texel kTopLeft{200, 40, 40, 255}, kTopRight{40, 200, 40, 255}, kBottomLeft{40, 40, 200, 255},
    kBottomRight{220, 220, 120, 255};
constexpr Texel kHole{255, 0, 255, 0};  // a colour that must never show
constexpr std::uint32_t kBehind = 0x2040A0;

std::shared_ptr<Image> MakeImage(std::uint32_t width, std::uint32_t height, const std::vector<Texel>& texels) {
    auto image = std::make_shared<Image>();
    image->level.width = width;
    image->level.height = height;
    for (const Texel& t : texels)
        image->level.rgba.insert(image->level.rgba.end(), {t.r, t.g, t.b, t.a});
    return image;
}

std::shared_ptr<Image> Checker(Texel topLeft = kTopLeft, Texel bottomLeft = kBottomLeft) {
    return MakeImage(2, 2, {topLeft, kTopRight, bottomLeft, kBottomRight});
}

TextureImages Images(std::shared_ptr<const Image> image) {
    return {FoundImage{std::move(image), "hand-made"}};
}

// A square in the plane z = `z` facing the viewer at yaw 0, its top-left corner at (u0, v0) of the texture and
// its bottom-right corner `span` further on both axes. A texture number of -1 makes it flat `color`.
void TexturedSquare(ModelBuilder& b,
                    float half,
                    float z,
                    std::int32_t texture,
                    float u0,
                    float v0,
                    float span,
                    std::uint32_t color = 0) {
    const auto base = static_cast<std::int32_t>(b.current().vertexPositions.size());
    b.vertex(-half, -half, z).vertex(-half, half, z).vertex(half, half, z).vertex(half, -half, z);
    b.face(texture,
           {{base, u0, v0 + span}, {base + 1, u0, v0}, {base + 2, u0 + span, v0}, {base + 3, u0 + span, v0 + span}});
    b.current().faceColors.back() = {static_cast<std::uint8_t>(color >> 16), static_cast<std::uint8_t>(color >> 8),
                                     static_cast<std::uint8_t>(color)};
}

PreviewScene OneSquare(float u0, float v0, float span) {
    ModelBuilder b;
    b.texture("checker").subObject();
    TexturedSquare(b, 1, 0, 0, u0, v0, span);
    return BuildPreviewScene(b.scene());
}

struct Drawn {
    FrameStore store{100, 100};
    std::uint32_t at(double fx, double fy) const { return store.pixel(column(fx), row(fy)); }
    // The pixel a fraction of the way across the drawn square.
    int column(double f) const { return left + static_cast<int>(f * (right + 1 - left)); }
    int row(double f) const { return top + static_cast<int>(f * (bottom + 1 - top)); }
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Draws with textures on; the square's place on the screen is taken from the same view drawn flat, so that
// holes in the texture do not move it.
Drawn DrawScene(const PreviewScene& scene, const TextureImages& images, RenderOptions options = {}, View view = {}) {
    Drawn d;
    EXPECT_TRUE(Render(scene, view, options, d.store.frame()));
    d.left = d.top = std::numeric_limits<int>::max();
    d.right = d.bottom = -1;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (d.store.pixel(x, y) == kBackgroundColor)
                continue;
            d.left = std::min(d.left, x), d.right = std::max(d.right, x);
            d.top = std::min(d.top, y), d.bottom = std::max(d.bottom, y);
        }
    }
    EXPECT_GE(d.right, d.left) << "nothing drawn";
    options.textures = true;
    EXPECT_TRUE(Render(scene, view, options, d.store.frame(), images));
    return d;
}

std::vector<std::uint32_t> Pixels(const FrameStore& store) {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < store.height(); ++y)
        for (int x = 0; x < store.width(); ++x)
            pixels.push_back(store.pixel(x, y));
    return pixels;
}

// Where the texture lands: each sample point of the drawn square shows the texel its u, v fall on, the
// coordinates repeating outside 0..1. Seen squarely the light is full, so the texel's colour shows as it is.
struct PlacementCase {
    const char* name;
    float u0, v0, span;
    double fx, fy;  // where on the square to look, as fractions of its width and height
    Texel expected;
    float yaw = 0.0f;
};

TEST(TexturedRender, SamplesTheNearestTexelAndRepeatsOutsideZeroToOne) {
    const PlacementCase cases[] = {
        {"top left", 0, 0, 1, 0.25, 0.25, kTopLeft},
        {"top right", 0, 0, 1, 0.75, 0.25, kTopRight},
        {"bottom left", 0, 0, 1, 0.25, 0.75, kBottomLeft},
        {"bottom right", 0, 0, 1, 0.75, 0.75, kBottomRight},
        {"u 1.25 is u 0.25", 1.25f, 0.25f, 0, 0.5, 0.5, kTopLeft},
        {"u 1.75 is u 0.75", 1.75f, 0.25f, 0, 0.5, 0.5, kTopRight},
        {"u -0.25 is u 0.75", -0.25f, 0.25f, 0, 0.5, 0.5, kTopRight},
        {"v 1.75 is v 0.75", 0.25f, 1.75f, 0, 0.5, 0.5, kBottomLeft},
        {"both far out, negative", 2.75f, -3.25f, 0, 0.5, 0.5, kBottomRight},
        {"twice across: second tile's first texel", 0, 0, 2, 0.5 + 0.125, 0.125, kTopLeft},
        {"twice across: first tile's second texel", 0, 0, 2, 0.375, 0.125, kTopRight},
        {"twice across: last texel", 0, 0, 2, 0.875, 0.875, kBottomRight},
        {"shifted by whole tiles", 3, -2, 1, 0.25, 0.75, kBottomLeft},
        {"from behind, mirrored", 0, 0, 1, 0.25, 0.25, kTopRight, 180},
        {"from behind, bottom", 0, 0, 1, 0.75, 0.75, kBottomLeft, 180},
    };
    for (const PlacementCase& c : cases) {
        const Drawn d = DrawScene(OneSquare(c.u0, c.v0, c.span), Images(Checker()), {}, {c.yaw, 0, 1});
        // Seen squarely from behind a face gets half the light: each channel halved, rounded up at a half.
        const auto halved = [](std::uint8_t v) { return static_cast<std::uint8_t>((v + 1) / 2); };
        const Texel seen =
            c.yaw == 0.0f ? c.expected : Texel{halved(c.expected.r), halved(c.expected.g), halved(c.expected.b), 255};
        EXPECT_EQ(d.at(c.fx, c.fy), seen.rgb()) << c.name;
    }
}

// Coordinates no model should hold (a scene made elsewhere may): the face is still drawn, and every pixel
// is one of the image's texels, never a read beyond it.
TEST(TexturedRender, AbsurdCoordinatesStillSampleInsideTheImage) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const float absurd[][2] = {{1e30f, -1e30f}, {-3.4e38f, 3.4e38f}, {inf, 0}, {-inf, nan}, {nan, nan}, {1e7f, -1e7f}};
    const std::vector<std::uint32_t> texels{kTopLeft.rgb(), kTopRight.rgb(), kBottomLeft.rgb(), kBottomRight.rgb()};
    for (std::size_t k = 0; k < std::size(absurd); ++k) {
        PreviewScene scene = OneSquare(0, 0, 1);
        scene.uvs[k % scene.uvs.size()] = {absurd[k][0], absurd[k][1]};
        const Drawn d = DrawScene(scene, Images(Checker()));
        for (const double f : {0.1, 0.5, 0.9}) {
            const std::uint32_t p = d.at(f, f);
            EXPECT_NE(std::find(texels.begin(), texels.end(), p), texels.end()) << k << ": " << std::hex << p;
        }
    }
}

// A textured face is lit as a flat face is: a texture of one colour draws the very picture that colour would
// as a flat face, whichever side is seen and however squarely.
TEST(TexturedRender, ShadesTexelsByTheLightAFlatFaceGets) {
    const Texel plain{180, 90, 33, 255};
    const auto image = MakeImage(1, 1, {plain});
    for (const View view : {View{0, 0, 1}, View{60, 0, 1}, View{-35, 50, 1}, View{180, 0, 1}, View{150, -20, 1}}) {
        SCOPED_TRACE(testing::Message() << "yaw " << view.yawDegrees << " pitch " << view.pitchDegrees);
        ModelBuilder textured, flat;
        textured.texture("plain").subObject();
        TexturedSquare(textured, 1, 0, 0, 0, 0, 1);
        flat.subObject();
        TexturedSquare(flat, 1, 0, -1, 0, 0, 1, plain.rgb());
        const Drawn withTexture = DrawScene(BuildPreviewScene(textured.scene()), Images(image), {}, view);
        const Drawn asFlat = DrawScene(BuildPreviewScene(flat.scene()), {}, {}, view);
        EXPECT_EQ(Pixels(withTexture.store), Pixels(asFlat.store));
        if (view.yawDegrees != 0.0f)
            EXPECT_NE(withTexture.at(0.5, 0.5), plain.rgb());  // the light did change it
    }
}

// A texel of alpha 0 is a hole: what is behind shows through, whether it was drawn before or after, because
// the hole wrote neither colour nor depth. Any other alpha draws opaque. Holes come from a hand-made image's
// alpha or from a 1555 game bitmap's cleared opaque bit; the game draws a mipmapped 4444 bitmap opaque.
struct HoleCase {
    const char* name;
    std::shared_ptr<const Image> image;
    bool leftIsHole;
    std::uint32_t leftColor;  // when it is not a hole
};

std::shared_ptr<const Image> From1555() {
    // Top row: left transparent (opaque bit clear), right opaque green; bottom row the same.
    const test::Bytes file = test::Ogf1555("holes.ogf", 2, 2, {0x7C00, 0x83E0, 0x7C00, 0x83E0});
    auto image = std::make_shared<Image>();
    std::string error;
    EXPECT_TRUE(ReadGameBitmap(file, *image, error)) << error;
    return image;
}

std::shared_ptr<const Image> Made4444(bool mipmapped) {
    auto image = Checker(kHole, kHole);
    image->format = PixelFormat::Argb4444;
    if (mipmapped)
        image->mips.push_back({1, 1, {0, 0, 0, 0}});
    return image;
}

TEST(TexturedRender, AlphaZeroShowsWhatIsBehindAndWritesNoDepth) {
    const HoleCase cases[] = {
        {"RGBA alpha 0", Checker(kHole, kHole), true, 0},
        {"RGBA alpha 1 is opaque", Checker({9, 9, 9, 1}, {9, 9, 9, 1}), false, 0x090909},
        {"1555 without its opaque bit", From1555(), true, 0},
        {"4444 alpha 0, one level", Made4444(false), true, 0},
        {"4444 alpha 0, mipmapped: drawn opaque", Made4444(true), false, kHole.rgb()},
    };
    for (const HoleCase& c : cases) {
        for (const bool holeFirst : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.name << (holeFirst ? ", textured face first" : ", behind first"));
            ModelBuilder b;
            b.texture("holes").subObject();
            if (holeFirst)
                TexturedSquare(b, 1, 0, 0, 0, 0, 1);
            TexturedSquare(b, 1, 0.5f, -1, 0, 0, 1, kBehind);
            if (!holeFirst)
                TexturedSquare(b, 1, 0, 0, 0, 0, 1);
            const Drawn d = DrawScene(BuildPreviewScene(b.scene()), Images(c.image));
            EXPECT_EQ(d.at(0.25, 0.25), c.leftIsHole ? kBehind : c.leftColor) << std::hex << d.at(0.25, 0.25);
            EXPECT_EQ(d.at(0.25, 0.75), c.leftIsHole ? kBehind : c.leftColor);
            EXPECT_NE(d.at(0.75, 0.25), kBehind);
        }
        // Alone, a hole leaves the background and the depth as they were.
        Drawn alone = DrawScene(OneSquare(0, 0, 1), Images(c.image));
        const auto hole = static_cast<std::size_t>(alone.row(0.25) * 100 + alone.column(0.25));
        const auto solid = static_cast<std::size_t>(alone.row(0.25) * 100 + alone.column(0.75));
        const Frame frame = alone.store.frame();
        EXPECT_EQ(std::isinf(frame.depth[hole]), c.leftIsHole) << c.name;
        EXPECT_EQ(frame.pixels[hole] == kBackgroundColor, c.leftIsHole) << c.name;
        EXPECT_FALSE(std::isinf(frame.depth[solid])) << c.name;
    }
}

// Where there is nothing to sample, or textures are off, the picture is the flat one exactly.
struct FlatCase {
    const char* name;
    TextureImages images;
    bool texturesOn = true;
    bool dropUvs = false;
    bool flagged = false;
};

TEST(TexturedRender, FacesWithoutAUsableImageKeepTheirFlatPicture) {
    auto shortPixels = Checker();
    shortPixels->level.rgba.resize(12);
    auto noWidth = MakeImage(0, 2, {});
    const FlatCase cases[] = {
        {"textures off", Images(Checker()), false},
        {"no images at all", {}},
        {"an empty slot", {FoundImage{}}},
        {"pixels shorter than the size", Images(shortPixels)},
        {"an image of no width", Images(noWidth)},
        {"a scene without texture coordinates", Images(Checker()), true, true},
        {"a flagged face stays red", Images(Checker()), true, false, true},
    };
    for (const FlatCase& c : cases) {
        ModelBuilder b;
        b.texture("checker").texture("other").subObject();
        TexturedSquare(b, 1, 0, 0, 0, 0, 1);                   // texture 0
        TexturedSquare(b, 0.5f, -0.5f, -1, 0, 0, 1, kBehind);  // untextured, in front
        const std::size_t flaggedFace = 0;
        PreviewScene scene =
            BuildPreviewScene(b.scene(), c.flagged ? std::span(&flaggedFace, 1) : std::span<const std::size_t>());
        if (c.dropUvs)
            scene.uvs.clear();
        RenderOptions options;
        options.findings = true;
        options.textures = c.texturesOn;
        FrameStore textured(100, 100), flat(100, 100);
        ASSERT_TRUE(Render(scene, {20, 10, 1}, options, textured.frame(), c.images));
        options.textures = false;
        ASSERT_TRUE(Render(scene, {20, 10, 1}, options, flat.frame()));
        EXPECT_EQ(Pixels(textured), Pixels(flat)) << c.name;
        if (c.flagged) {
            const std::uint32_t p = textured.pixel(25, 50);
            EXPECT_GT(p >> 16, 4 * ((p >> 8) & 0xFF)) << std::hex << p << ": red, not the texture";
        }
    }
}

TEST(PreviewScene, CarriesEachCornersTextureCoordinatesAndEachFacesTexture) {
    ModelBuilder b;
    b.texture("a").texture("b").subObject();
    b.vertex(0, 0, 0).vertex(0, 1, 0).vertex(1, 1, 0).vertex(1, 0, 0);
    b.face(1, {{0, 0.5f, -2}, {1, 3, 4}, {2, 0.25f, 1}});
    b.face(-1, {{3}, {2}, {1}});
    const PreviewScene scene = BuildPreviewScene(b.scene());
    ASSERT_EQ(scene.uvs.size(), scene.corners.size());
    ASSERT_EQ(scene.faces.size(), 2u);
    EXPECT_EQ(scene.faces[0].texture, 1);
    EXPECT_EQ(scene.faces[1].texture, kUntextured);
    EXPECT_EQ(scene.uvs[1].u, 3.0f);
    EXPECT_EQ(scene.uvs[1].v, 4.0f);
    EXPECT_EQ(scene.uvs[0].v, -2.0f);
}

}  // namespace
}  // namespace torvale
