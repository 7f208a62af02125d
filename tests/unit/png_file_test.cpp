#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>

#include "builders/bytes.h"
#include "builders/model_builder.h"
#include "render/png_file.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb/stb_image.h>

namespace torvale {
namespace {

namespace fs = std::filesystem;

// An odd-sized picture with every channel in use: a textured triangle, a wireframe and a marker.
FrameStore Picture() {
    test::ModelBuilder b;
    b.texture("metal_plate").subObject().vertex(-1, -1, 0).vertex(-0.2f, 1, 0).vertex(1, -0.4f, 0);
    b.face(0, {{0}, {1}, {2}});
    ObjectModel model = b.build();
    model.gunpointCount = 1;
    model.gunpoints[0] = {0, {0.5f, 0.5f, 0}, {}};
    FrameStore store(37, 23);
    EXPECT_TRUE(Render(BuildPreviewScene(test::SceneOf(model)), {20, 10, 1}, {true, false, true}, store.frame()));
    return store;
}

// The PNG's pixels as the frame holds them, through an independent decoder.
std::vector<std::uint32_t> Decode(const std::vector<std::uint8_t>& png, int& width, int& height) {
    int channels = 0;
    stbi_uc* rgb = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &width, &height, &channels, 3);
    if (rgb == nullptr)
        return {};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = (std::uint32_t{rgb[3 * i]} << 16) | (std::uint32_t{rgb[3 * i + 1]} << 8) | rgb[3 * i + 2];
    stbi_image_free(rgb);
    return pixels;
}

class PngFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("torvale_png_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                std::to_string(std::random_device{}()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(PngFile, ReadsBackToTheSamePixels) {
    FrameStore store = Picture();
    const std::string path = (dir_ / "model.png").string();
    test::WriteTestFile(path, test::Bytes{'o', 'l', 'd'});
    std::string error;
    ASSERT_TRUE(WritePng(path, store.frame(), error)) << error;
    int width = 0, height = 0;
    const std::vector<std::uint32_t> pixels = Decode(test::ReadTestFile(path), width, height);
    ASSERT_EQ(width, 37);
    ASSERT_EQ(height, 23);
    const Frame frame = store.frame();
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), frame.pixels.begin(), frame.pixels.end()));
    EXPECT_GT(std::set<std::uint32_t>(pixels.begin(), pixels.end()).size(), 3u);
}

TEST_F(PngFile, AFailedWriteSaysWhyAndLeavesNothingBehind) {
    FrameStore store = Picture();
    std::string error;
    EXPECT_FALSE(WritePng((dir_ / "missing" / "model.png").string(), store.frame(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_empty(dir_));

    const std::string path = (dir_ / "model.png").string();
    test::WriteTestFile(path, test::Bytes{'o', 'l', 'd'});
    Frame mismatched = store.frame();
    mismatched.width = 36;
    error.clear();
    EXPECT_FALSE(WritePng(path, mismatched, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::ReadTestFile(path), (test::Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace torvale
