#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/preview_presenter.h"
#include "bitmap/png_image.h"
#include "builders/bytes.h"
#include "builders/fake_platform.h"
#include "builders/gltf_builder.h"
#include "builders/oof_builder.h"
#include "builders/orf_builder.h"

namespace torvale {
namespace {

using test::MainWindowHarness;

struct DragCase {
    const char* name;
    int dx;
    int dy;
    float yaw;
    float pitch;
};

TEST(PreviewPresenter, DragTurnsByHalfADegreeAPixelWithinTheLimits) {
    // From the home view: yaw 30, pitch 20.
    const DragCase cases[] = {
        {"right", 90, 0, 75.0f, 20.0f},
        {"left wraps below zero", -90, 0, 345.0f, 20.0f},
        {"down", 0, 60, 30.0f, 50.0f},
        {"a full turn and a bit", 740, 0, 40.0f, 20.0f},
        {"past the top stops short of it", 0, 400, 30.0f, kMaxPitch},
        {"past the bottom", 0, -400, 30.0f, -kMaxPitch},
    };
    for (const DragCase& c : cases) {
        MainWindowHarness h;
        PreviewPresenter preview(h.window);
        preview.BeginDrag(100, 100);
        preview.DragTo(100 + c.dx / 2, 100 + c.dy / 2);  // the movement counts from where the drag began
        preview.DragTo(100 + c.dx, 100 + c.dy);
        preview.EndDrag();
        preview.DragTo(0, 0);  // moves after the button is up change nothing
        EXPECT_NEAR(preview.view().yawDegrees, c.yaw, 1e-3f) << c.name;
        EXPECT_NEAR(preview.view().pitchDegrees, c.pitch, 1e-3f) << c.name;
    }
}

TEST(PreviewPresenter, WheelZoomsWithinItsLimitsAndHomeResetsTheView) {
    MainWindowHarness h;
    PreviewPresenter preview(h.window);
    int changes = 0;
    preview.setChanged([&] { ++changes; });
    preview.Wheel(kWheelNotch);
    EXPECT_NEAR(preview.view().zoom, kZoomPerNotch, 1e-5f);
    preview.Wheel(-2 * kWheelNotch);
    EXPECT_NEAR(preview.view().zoom, 1.0f / kZoomPerNotch, 1e-5f);
    preview.Wheel(1000 * kWheelNotch);
    EXPECT_EQ(preview.view().zoom, kMaxZoom);
    preview.Wheel(-1000 * kWheelNotch);
    EXPECT_EQ(preview.view().zoom, kMinZoom);
    preview.BeginDrag(0, 0);
    preview.DragTo(30, 30);
    preview.ResetView();
    EXPECT_EQ(preview.view().zoom, 1.0f);
    EXPECT_EQ(preview.view().yawDegrees, kHomeView.yawDegrees);
    EXPECT_EQ(preview.view().pitchDegrees, kHomeView.pitchDegrees);
    EXPECT_FALSE(preview.dragging());
    EXPECT_EQ(changes, 6);
}

std::size_t FacesWithCorners(const Scene& scene) {
    std::size_t faces = 0;
    for (const SceneObject& sub : scene.objects)
        faces += static_cast<std::size_t>(std::count_if(sub.faces.begin(), sub.faces.end(),
                                                        [](const SceneFace& face) { return face.cornerCount >= 3; }));
    return faces;
}

std::size_t PixelsNotBackground(const FrameStore& store) {
    std::size_t count = 0;
    for (int y = 0; y < store.height(); ++y)
        for (int x = 0; x < store.width(); ++x)
            count += store.pixel(x, y) != kBackgroundColor ? 1 : 0;
    return count;
}

TEST(PreviewPresenter, FollowsTheMainWindowsLoadsAndFailures) {
    MainWindowHarness h;
    PreviewPresenter preview(h.window);
    int changes = 0;
    preview.setChanged([&] { ++changes; });
    FrameStore store(64, 48);
    EXPECT_EQ(preview.Caption(), "Model Preview");
    ASSERT_TRUE(preview.Draw(store.frame()));
    EXPECT_EQ(PixelsNotBackground(store), 0u);

    h.importFile("sample.oof", test::SampleOof());
    ASSERT_TRUE(preview.hasModel());
    const std::size_t faces = FacesWithCorners(h.window.scene().value());
    ASSERT_GT(faces, 1u);
    EXPECT_EQ(preview.Caption(), "Model Preview - sample.oof (" + std::to_string(faces) + " faces)");
    ASSERT_TRUE(preview.Draw(store.frame()));
    EXPECT_GT(PixelsNotBackground(store), 0u);

    h.importFile("bad.oof", test::TextBytes("not a model"));
    EXPECT_FALSE(preview.hasModel());
    EXPECT_EQ(preview.Caption(), "Model Preview");
    ASSERT_TRUE(preview.Draw(store.frame()));
    EXPECT_EQ(PixelsNotBackground(store), 0u);
    EXPECT_EQ(changes, 2);
}

TEST(PreviewPresenter, MarksTheFacesTheRoomCheckFindsInARoomAsRead) {
    MainWindowHarness h;
    PreviewPresenter preview(h.window);
    std::vector<Vector3> vertices = test::CubeVertices();
    std::vector<test::OrfFaceRecord> faces = test::CubeFaces();
    // The cube's front face again one unit nearer the viewer, with a corner repeated: the check names it.
    for (const int v : {0, 3, 2, 1})
        vertices.push_back({vertices[v].x, vertices[v].y, vertices[v].z - 1.0f});
    faces.push_back({{0, 0, -1}, 0, 4, {{8, 0, 0, 1}, {9, 1, 0, 1}, {10, 1, 1, 1}, {10, 1, 1, 1}, {11, 0, 1, 1}}});
    test::WriteTestFile(h.dir / "room.orf",
                        test::OrfBuilder(4).room(vertices, {"rock1", "metal_plate"}, faces).bytes());
    EXPECT_EQ(h.window.OpenFile(h.dir / "room.orf"), OpenedKind::Room);
    ASSERT_TRUE(h.window.room().has_value());
    EXPECT_EQ(preview.drawnFaces(), 7u);
    EXPECT_GE(preview.flaggedFaces(), 1u);

    // The drawing differs only when findings are shown.
    FrameStore shown(64, 64);
    FrameStore hidden(64, 64);
    ASSERT_TRUE(preview.Draw(shown.frame()));
    preview.setShowFindings(false);
    ASSERT_TRUE(preview.Draw(hidden.frame()));
    std::size_t red = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            red += shown.pixel(x, y) != hidden.pixel(x, y) ? 1 : 0;
    EXPECT_GT(red, 0u);
}

// Pixels of pure green, which no flat texture colour is (each has some of every channel) but a shaded texel
// of pure green stays.
std::size_t PureGreenPixels(const FrameStore& store) {
    std::size_t count = 0;
    for (int y = 0; y < store.height(); ++y)
        for (int x = 0; x < store.width(); ++x) {
            const std::uint32_t p = store.pixel(x, y);
            count += (p & 0xFF00FF) == 0 && (p & 0x00FF00) != 0 ? 1 : 0;
        }
    return count;
}

TEST(PreviewPresenter, DrawsTheImagesItIsGivenWhileTexturesAreOn) {
    MainWindowHarness h;
    PreviewPresenter preview(h.window);
    h.importFile("sample.oof", test::SampleOof());
    ASSERT_TRUE(h.window.scene().has_value());
    auto green = std::make_shared<Image>();
    green->level = {1, 1, {0, 255, 0, 255}};
    const TextureImages images(h.window.scene()->textures.size(), FoundImage{green, "green.png"});
    ASSERT_FALSE(images.empty());
    int changes = 0;
    preview.setChanged([&] { ++changes; });

    FrameStore store(80, 60);
    const auto greenDrawn = [&] {
        EXPECT_TRUE(preview.Draw(store.frame()));
        return PureGreenPixels(store);
    };
    EXPECT_TRUE(preview.showTextures());
    EXPECT_EQ(greenDrawn(), 0u) << "no images yet";
    preview.setTextureImages(images);
    EXPECT_GT(greenDrawn(), 0u);
    preview.setShowTextures(false);
    EXPECT_EQ(greenDrawn(), 0u);
    preview.setShowTextures(true);
    EXPECT_GT(greenDrawn(), 0u);
    EXPECT_EQ(changes, 3);

    // Another model's textures are other slots: a load drops the images until new ones are given.
    h.importFile("again.oof", test::SampleOof());
    EXPECT_TRUE(preview.textureImages().empty());
    EXPECT_EQ(greenDrawn(), 0u);
}

TEST(PreviewPresenter, GetsTheImagesTheTextureFolderHoldsAndExportModelCarriesThem) {
    MainWindowHarness h;
    PreviewPresenter preview(h.window);
    std::filesystem::create_directories(h.dir / "tex");
    ASSERT_TRUE(test::WriteTestFile(h.dir / test::Native("tex/METAL_PLATE.png"),
                                    EncodePngPixels(1, 1, 4, std::vector<std::uint8_t>{0, 255, 0, 255})));
    h.window.config().textureFolder = h.dir / "tex";
    h.importFile("sample.oof", test::SampleOof());  // textures rock1, metal_plate, glass
    const TextureImages& images = preview.textureImages();
    ASSERT_EQ(images.size(), 3u);
    EXPECT_FALSE(images[0].image);
    ASSERT_TRUE(images[1].image);
    EXPECT_EQ(images[1].origin, h.dir / test::Native("tex/METAL_PLATE.png"));
    EXPECT_FALSE(images[2].image);
    // One note for each name found nowhere.
    const std::string log = h.window.log().text();
    EXPECT_NE(log.find("Note: no image was found for texture rock1"), std::string::npos) << log;
    EXPECT_NE(log.find("Note: no image was found for texture glass"), std::string::npos) << log;

    // Export Model writes the image beside a .gltf.
    h.dialogs.choose(h.dir / "out.gltf", "out.gltf");
    h.window.ExportModel();
    EXPECT_TRUE(std::filesystem::exists(h.dir / "metal_plate.png")) << h.window.log().text();
}

TEST(PreviewPresenter, TexturesChoiceIsKeptInTorvaleCfg) {
    MainWindowHarness h;
    PreviewPresenter preview(h.window);
    EXPECT_TRUE(preview.showTextures());  // on by default
    preview.setShowTextures(false);
    h.window.Unload();
    ConfigFile saved;
    saved.Load(h.program.configPath);
    EXPECT_FALSE(saved.values.showTextures);
    const std::string text = saved.Text();
    const std::size_t view = text.find("[view]");
    ASSERT_NE(view, std::string::npos) << text;
    EXPECT_EQ(text.find("textures=0", view), text.find_first_not_of("\r\n", view + 6)) << text;

    // The next start reads it back.
    MainWindowHarness next;
    test::WriteTestFile(next.program.configPath, test::TextBytes("[view]\ntextures=0\n"));
    next.program.config.Load(next.program.configPath);
    PreviewPresenter again(next.window);
    EXPECT_FALSE(again.showTextures());
    again.setShowTextures(true);
    next.window.Unload();
    saved.Load(next.program.configPath);
    EXPECT_TRUE(saved.values.showTextures);
}

}  // namespace
}  // namespace torvale
