#pragma once

// A small software renderer for the preview: the window and the command-line tool draw the same picture of a
// scene into memory that the caller owns. No global state.

#include <cstdint>
#include <span>
#include <vector>

#include "bitmap/texture_images.h"
#include "render/scene.h"

namespace torvale {

inline constexpr std::uint32_t kBackgroundColor = 0x303030;
inline constexpr std::uint32_t kWireColor = 0xF0F0F0;
inline constexpr std::uint32_t kFlaggedColor = 0xFF2020;   // shaded like any face
inline constexpr std::uint32_t kGunpointColor = 0xFFE000;  // markers are not shaded
inline constexpr std::uint32_t kAttachPointColor = 0x00E0FF;
inline constexpr int kMarkerSize = 5;         // pixels on a side
inline constexpr float kFrameMargin = 0.05f;  // of the smaller side, at zoom 1

// A picture in memory the caller owns: `width * height` pixels in rows from the top, each 0x00RRGGBB. On a
// little-endian machine those are the bytes B, G, R, 0 that a top-down 32-bit DIB section holds, so the
// window copies the rows as they are. `depth` has one entry per pixel; Render fills it.
struct Frame {
    int width = 0;
    int height = 0;
    std::span<std::uint32_t> pixels;
    std::span<float> depth;
};

// A frame with storage of its own, for callers that have no DIB section to draw into.
class FrameStore {
public:
    FrameStore(int width, int height);
    Frame frame() { return {width_, height_, pixels_, depth_}; }
    std::uint32_t pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
    std::vector<float> depth_;
};

// Where the viewer stands. At yaw 0 and pitch 0 the viewer looks along the game's +z axis with +x to the right
// and +y up. A positive yaw walks the viewer round to the model's right (+x) side, a positive pitch up over
// it. Zoom 1 fits the model's bounding sphere to the smaller side of the frame; zoom 2 draws it twice as big.
struct View {
    float yawDegrees = 0.0f;
    float pitchDegrees = 0.0f;
    float zoom = 1.0f;
};

struct RenderOptions {
    bool wireframe = false;  // face edges over the faces, hidden edges left out
    bool findings = false;   // faces flagged by the room check in red
    bool markers = false;    // gun points and attach points as small squares, always on top
    bool textures = false;   // textured faces show their images, where the images are given
};

// Draws `scene` as seen from `view` into `frame`: background, then the faces through the depth buffer, flat
// shaded by how squarely they face the viewer (a parallel projection, so the picture keeps its proportions at
// any distance). A face's front is the side of the normal (b - a) x (c - b) of its corners (the longest such
// cross product over the corners); its back is drawn too, in a darker shade of the same colour (red for a
// flagged face, either side). Faces are filled as triangle fans from their first
// corner, so a concave face may spill over its outline; the room check reports such faces. Returns false and
// draws nothing when the frame's size and its buffers do not match.
//
// With `options.textures`, a face whose texture has an image in `images` shows it, shaded as its flat colour
// would be: u and v run linearly across each triangle (exact under a parallel projection), repeat outside
// 0..1 as the game tiles them, and pick the nearest texel. A texel of alpha 0 is a hole: it writes neither
// colour nor depth, so what lies behind shows through; any other alpha draws opaque. A mipmapped 4444 image
// is drawn with its alpha ignored, as the game draws it. Faces without an image keep their flat colour, and
// a flagged face stays red.
bool Render(const PreviewScene& scene,
            const View& view,
            const RenderOptions& options,
            const Frame& frame,
            const TextureImages& images = {});

}  // namespace torvale
