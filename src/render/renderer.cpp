#include "render/renderer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace torvale {
namespace {

// Light that every visible face gets, whatever its angle; the rest comes from facing the viewer.
constexpr double kAmbient = 0.3;
// A face seen from behind is drawn at this share of the light its front would get, so that a flat model seen
// from either side is never an empty picture, and its back never passes for its front.
constexpr double kBackShade = 0.5;
// Screen positions are kept within this many pixels of the frame before they become fixed-point numbers, so
// that the edge functions (products of two differences) stay inside 64 bits. Only a vertex millions of pixels
// away, at an absurd zoom, is moved by it.
constexpr double kGuardBand = 2097152.0;
constexpr int kSubPixelBits = 8;
constexpr std::int64_t kOne = std::int64_t{1} << kSubPixelBits;

struct Vec {
    double x, y, z;
};

Vec Sub(const Vec& a, const Vec& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec Cross(const Vec& a, const Vec& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(const Vec& a, const Vec& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec ToVec(const Vector3& v) {
    return {static_cast<double>(v.x), static_cast<double>(v.y), static_cast<double>(v.z)};
}

struct ScreenPoint {
    double x = 0.0;
    double y = 0.0;
    float z = 0.0f;  // distance along the view direction from the scene's centre; smaller is nearer
    bool finite = false;
};

class Camera {
public:
    Camera(const PreviewScene& scene, const View& view, int width, int height) : centre_(ToVec(scene.centre)) {
        const double yaw = static_cast<double>(view.yawDegrees) * std::numbers::pi / 180.0;
        const double pitch = static_cast<double>(view.pitchDegrees) * std::numbers::pi / 180.0;
        // Yaw turns the viewer round the vertical axis; pitch then tilts it round its own right axis. Right, up
        // and forward stay a left-handed set like the game's x, y and z, so the picture is never mirrored.
        right_ = {std::cos(yaw), 0.0, std::sin(yaw)};
        const Vec flatForward{-std::sin(yaw), 0.0, std::cos(yaw)};
        const Vec flatUp{0.0, 1.0, 0.0};
        forward_ = {std::cos(pitch) * flatForward.x - std::sin(pitch) * flatUp.x,
                    std::cos(pitch) * flatForward.y - std::sin(pitch) * flatUp.y,
                    std::cos(pitch) * flatForward.z - std::sin(pitch) * flatUp.z};
        up_ = {std::sin(pitch) * flatForward.x + std::cos(pitch) * flatUp.x,
               std::sin(pitch) * flatForward.y + std::cos(pitch) * flatUp.y,
               std::sin(pitch) * flatForward.z + std::cos(pitch) * flatUp.z};
        const double zoom = std::isfinite(view.zoom) && view.zoom > 0.0f ? static_cast<double>(view.zoom) : 1.0;
        const double half = std::min(width, height) / 2.0;
        scale_ = zoom * half * (1.0 - static_cast<double>(kFrameMargin)) / static_cast<double>(scene.radius);
        halfWidth_ = width / 2.0;
        halfHeight_ = height / 2.0;
    }

    ScreenPoint project(const Vector3& p) const {
        const Vec d = Sub(ToVec(p), centre_);
        ScreenPoint s;
        s.x = halfWidth_ + Dot(d, right_) * scale_;
        s.y = halfHeight_ - Dot(d, up_) * scale_;
        s.z = static_cast<float>(Dot(d, forward_));
        s.finite = std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.z);
        return s;
    }

    const Vec& forward() const { return forward_; }
    double scale() const { return scale_; }

private:
    Vec centre_;
    Vec right_{};
    Vec up_{};
    Vec forward_{};
    double scale_ = 1.0;
    double halfWidth_ = 0.0;
    double halfHeight_ = 0.0;
};

std::uint32_t Shade(std::uint32_t color, double intensity) {
    const auto channel = [intensity](std::uint32_t c) {
        return static_cast<std::uint32_t>(std::lround(static_cast<double>(c) * intensity)) & 0xFF;
    };
    return (channel((color >> 16) & 0xFF) << 16) | (channel((color >> 8) & 0xFF) << 8) | channel(color & 0xFF);
}

// A texture as a face samples it: the full-size level, and whether alpha 0 makes a hole.
struct Texture {
    const std::uint8_t* rgba = nullptr;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool holes = true;

    explicit operator bool() const { return rgba != nullptr; }
};

Texture TextureOf(const Image* image) {
    if (!image)
        return {};
    const ImageLevel& level = image->level;
    const std::size_t texels = static_cast<std::size_t>(level.width) * level.height;
    if (texels == 0 || level.rgba.size() / 4 < texels)
        return {};  // nothing to sample: drawn flat, as without an image
    // The game draws a mipmapped 4444 bitmap with its alpha forced to opaque.
    const bool holes = !(image->format == PixelFormat::Argb4444 && !image->mips.empty());
    return {level.rgba.data(), level.width, level.height, holes};
}

// The texel along one axis of `size` texels at coordinate `t`, repeated outside 0..1 as the game tiles
// textures: 1.25 samples where 0.25 does.
std::uint32_t WrapTexel(double t, std::uint32_t size) {
    const double scaled = t * size;
    if (!(std::fabs(scaled) < 0x1p52))
        return 0;  // not a number, or too far out for the tiling to mean anything
    auto i = static_cast<std::int64_t>(scaled);
    if (static_cast<double>(i) > scaled)
        --i;  // rounded towards zero: take the floor
    const auto n = static_cast<std::int64_t>(size);
    i %= n;
    return static_cast<std::uint32_t>(i < 0 ? i + n : i);
}

// What fills a triangle: one colour, or a texture under a light and the texture's place at each corner.
struct Paint {
    std::uint32_t color = 0;
    const Texture* texture = nullptr;
    double light = 1.0;
    PreviewUv uv[3];
};

// A texel (R, G, B, A bytes) as 0x00RRGGBB under `light`, rounded as Shade rounds a flat colour.
std::uint32_t ShadeTexel(const std::uint8_t* texel, double light) {
    const auto channel = [light](std::uint8_t c) { return static_cast<std::uint32_t>(c * light + 0.5); };
    return (channel(texel[0]) << 16) | (channel(texel[1]) << 8) | channel(texel[2]);
}

class Rasterizer {
public:
    explicit Rasterizer(const Frame& frame) : frame_(frame) {}

    // Fills one triangle with the half-space test: a pixel centre belongs to it when it lies inside all three
    // edges, or on an edge that is a top or left edge (the top-left rule), so that triangles sharing an edge
    // never both draw, nor both miss, a pixel on it.
    void triangle(ScreenPoint a, ScreenPoint b, ScreenPoint c, Paint paint) {
        const auto fixed = [](double v) { return std::llround(std::clamp(v, -kGuardBand, kGuardBand) * kOne); };
        std::int64_t ax = fixed(a.x), ay = fixed(a.y), bx = fixed(b.x), by = fixed(b.y), cx = fixed(c.x),
                     cy = fixed(c.y);
        std::int64_t area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
        if (area == 0)
            return;
        if (area < 0) {  // walk the corners clockwise on the screen (y down), whichever way they came
            std::swap(bx, cx);
            std::swap(by, cy);
            std::swap(b, c);
            std::swap(paint.uv[1], paint.uv[2]);
            area = -area;
        }
        const auto low = [](std::int64_t v) { return static_cast<double>(v) / kOne; };
        const double minX = std::min({low(ax), low(bx), low(cx)}), maxX = std::max({low(ax), low(bx), low(cx)});
        const double minY = std::min({low(ay), low(by), low(cy)}), maxY = std::max({low(ay), low(by), low(cy)});
        // Pixels whose centres (x + 0.5) can lie inside.
        const int x0 = static_cast<int>(std::max(0.0, std::ceil(minX - 0.5)));
        const int x1 = static_cast<int>(std::min(frame_.width - 1.0, std::floor(maxX - 0.5)));
        const int y0 = static_cast<int>(std::max(0.0, std::ceil(minY - 0.5)));
        const int y1 = static_cast<int>(std::min(frame_.height - 1.0, std::floor(maxY - 0.5)));
        if (x0 > x1 || y0 > y1)
            return;

        struct Edge {
            std::int64_t row, stepX, stepY;
        };
        const std::int64_t px = x0 * kOne + kOne / 2, py = y0 * kOne + kOne / 2;
        const auto edge = [px, py](std::int64_t fx, std::int64_t fy, std::int64_t tx, std::int64_t ty) {
            const bool topLeft = (fy == ty && tx > fx) || ty < fy;
            const std::int64_t value = (tx - fx) * (py - fy) - (ty - fy) * (px - fx);
            return Edge{value - (topLeft ? 0 : 1), -(ty - fy) * kOne, (tx - fx) * kOne};
        };
        Edge e0 = edge(bx, by, cx, cy), e1 = edge(cx, cy, ax, ay), e2 = edge(ax, ay, bx, by);

        // Depth as a plane over the screen, clamped to the corners' range so a sliver cannot poke through.
        const double sx1 = low(bx) - low(ax), sy1 = low(by) - low(ay);
        const double sx2 = low(cx) - low(ax), sy2 = low(cy) - low(ay);
        const double area2 = sx1 * sy2 - sx2 * sy1;
        const double za = static_cast<double>(a.z), dz1 = static_cast<double>(b.z) - za,
                     dz2 = static_cast<double>(c.z) - za;
        const double dzdx = (dz1 * sy2 - dz2 * sy1) / area2;
        const double dzdy = (dz2 * sx1 - dz1 * sx2) / area2;
        const float zLow = std::min({a.z, b.z, c.z}), zHigh = std::max({a.z, b.z, c.z});
        const double startX = x0 + 0.5 - low(ax), startY = y0 + 0.5 - low(ay);
        double zRow = za + dzdx * startX + dzdy * startY;
        // Texture coordinates as planes over the screen too: under a parallel projection they are exact.
        const auto plane = [&](float ta, float tb, float tc, double& dx, double& dy) {
            const double base = static_cast<double>(ta), d1 = static_cast<double>(tb) - base,
                         d2 = static_cast<double>(tc) - base;
            dx = (d1 * sy2 - d2 * sy1) / area2;
            dy = (d2 * sx1 - d1 * sx2) / area2;
            return base + dx * startX + dy * startY;
        };
        double dudx = 0, dudy = 0, dvdx = 0, dvdy = 0;
        double uRow = 0, vRow = 0;
        const Texture* texture = paint.texture;
        if (texture) {
            uRow = plane(paint.uv[0].u, paint.uv[1].u, paint.uv[2].u, dudx, dudy);
            vRow = plane(paint.uv[0].v, paint.uv[1].v, paint.uv[2].v, dvdx, dvdy);
        }

        for (int y = y0; y <= y1; ++y) {
            std::int64_t w0 = e0.row, w1 = e1.row, w2 = e2.row;
            double z = zRow, u = uRow, v = vRow;
            const std::size_t rowStart = static_cast<std::size_t>(y) * static_cast<std::size_t>(frame_.width);
            for (int x = x0; x <= x1; ++x) {
                if ((w0 | w1 | w2) >= 0) {
                    const float depth = std::clamp(static_cast<float>(z), zLow, zHigh);
                    const std::size_t i = rowStart + static_cast<std::size_t>(x);
                    if (depth < frame_.depth[i]) {
                        if (!texture) {
                            frame_.depth[i] = depth;
                            frame_.pixels[i] = paint.color;
                        } else {
                            const std::size_t at =
                                (static_cast<std::size_t>(WrapTexel(v, texture->height)) * texture->width +
                                 WrapTexel(u, texture->width)) *
                                4;
                            const std::uint8_t* texel = texture->rgba + at;
                            if (texel[3] != 0 || !texture->holes) {
                                frame_.depth[i] = depth;
                                frame_.pixels[i] = ShadeTexel(texel, paint.light);
                            }
                        }
                    }
                }
                w0 += e0.stepX;
                w1 += e1.stepX;
                w2 += e2.stepX;
                z += dzdx;
                u += dudx;
                v += dvdx;
            }
            e0.row += e0.stepY;
            e1.row += e1.stepY;
            e2.row += e2.stepY;
            zRow += dzdy;
            uRow += dudy;
            vRow += dvdy;
        }
    }

    // A line whose pixels show where nothing nearer (by more than `tolerance`) was drawn.
    void line(ScreenPoint a, ScreenPoint b, std::uint32_t color, float tolerance) {
        // Clip to the frame's pixel centres (Liang-Barsky) so a long line off the frame costs nothing.
        double t0 = 0.0, t1 = 1.0;
        const double dx = b.x - a.x, dy = b.y - a.y;
        const auto clip = [&t0, &t1](double p, double q) {
            if (p == 0.0)
                return q >= 0.0;
            const double t = q / p;
            if (p < 0.0) {
                if (t > t1)
                    return false;
                t0 = std::max(t0, t);
            } else {
                if (t < t0)
                    return false;
                t1 = std::min(t1, t);
            }
            return true;
        };
        const double maxX = frame_.width - 0.5, maxY = frame_.height - 0.5;
        if (!clip(-dx, a.x) || !clip(dx, maxX - a.x) || !clip(-dy, a.y) || !clip(dy, maxY - a.y))
            return;
        const double za = static_cast<double>(a.z), dz = static_cast<double>(b.z) - za;
        const double length = std::max(std::fabs(dx), std::fabs(dy)) * (t1 - t0);
        const int steps = static_cast<int>(std::ceil(length));
        for (int i = 0; i <= steps; ++i) {
            const double t = steps == 0 ? t0 : t0 + (t1 - t0) * i / steps;
            const auto x = static_cast<int>(std::floor(a.x + dx * t));
            const auto y = static_cast<int>(std::floor(a.y + dy * t));
            if (x < 0 || y < 0 || x >= frame_.width || y >= frame_.height)
                continue;
            const std::size_t index =
                static_cast<std::size_t>(y) * static_cast<std::size_t>(frame_.width) + static_cast<std::size_t>(x);
            if (static_cast<float>(za + dz * t) <= frame_.depth[index] + tolerance)
                frame_.pixels[index] = color;
        }
    }

    void square(const ScreenPoint& centre, std::uint32_t color) {
        if (!centre.finite)
            return;
        const double half = kMarkerSize / 2;
        const double left = std::floor(centre.x) - half, top = std::floor(centre.y) - half;
        const int x0 = static_cast<int>(std::clamp(left, 0.0, static_cast<double>(frame_.width)));
        const int x1 = static_cast<int>(std::clamp(left + kMarkerSize, 0.0, static_cast<double>(frame_.width)));
        const int y0 = static_cast<int>(std::clamp(top, 0.0, static_cast<double>(frame_.height)));
        const int y1 = static_cast<int>(std::clamp(top + kMarkerSize, 0.0, static_cast<double>(frame_.height)));
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x)
                frame_.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(frame_.width) +
                              static_cast<std::size_t>(x)] = color;
        }
    }

private:
    const Frame& frame_;
};

// The face's normal as the room sees it: the longest (b - a) x (c - b) over its corners.
Vec FaceNormal(const PreviewScene& scene, const PreviewFace& face) {
    Vec best{0.0, 0.0, 0.0};
    double bestLength = 0.0;
    const std::uint32_t n = face.cornerCount;
    for (std::uint32_t i = 0; i < n; ++i) {
        const Vec a = ToVec(scene.vertices[scene.corners[face.firstCorner + i]]);
        const Vec b = ToVec(scene.vertices[scene.corners[face.firstCorner + (i + 1) % n]]);
        const Vec c = ToVec(scene.vertices[scene.corners[face.firstCorner + (i + 2) % n]]);
        const Vec cross = Cross(Sub(b, a), Sub(c, b));
        const double length = Dot(cross, cross);
        if (length > bestLength) {
            best = cross;
            bestLength = length;
        }
    }
    const double length = std::sqrt(bestLength);
    return length > 0.0 && std::isfinite(length) ? Vec{best.x / length, best.y / length, best.z / length} : Vec{};
}

}  // namespace

FrameStore::FrameStore(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)),
      depth_(pixels_.size()) {}

bool Render(const PreviewScene& scene,
            const View& view,
            const RenderOptions& options,
            const Frame& frame,
            const TextureImages& images) {
    if (frame.width <= 0 || frame.height <= 0)
        return false;
    const std::size_t count = static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
    if (frame.pixels.size() != count || frame.depth.size() != count)
        return false;
    std::fill(frame.pixels.begin(), frame.pixels.end(), kBackgroundColor);
    std::fill(frame.depth.begin(), frame.depth.end(), std::numeric_limits<float>::infinity());

    const Camera camera(scene, view, frame.width, frame.height);
    std::vector<ScreenPoint> points(scene.vertices.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i] = camera.project(scene.vertices[i]);

    std::vector<Texture> textures;
    if (options.textures && scene.uvs.size() == scene.corners.size()) {
        for (const FoundImage& found : images)
            textures.push_back(TextureOf(found.image.get()));
    }

    Rasterizer raster(frame);
    std::vector<const PreviewFace*> drawn;
    for (const PreviewFace& face : scene.faces) {
        if (face.cornerCount < 3)
            continue;
        const double facing = -Dot(FaceNormal(scene, face), camera.forward());
        if (!(std::abs(facing) > 0.0))
            continue;  // edge-on, or no normal at all
        const std::uint32_t* corners = scene.corners.data() + face.firstCorner;
        bool finite = true;
        for (std::uint32_t c = 0; c < face.cornerCount; ++c)
            finite = finite && points[corners[c]].finite;
        if (!finite)
            continue;
        const bool red = face.flagged && options.findings;
        const std::uint32_t base = red ? kFlaggedColor : face.color;
        const double full = kAmbient + (1.0 - kAmbient) * std::min(std::abs(facing), 1.0);
        Paint paint;
        paint.light = facing > 0.0 ? full : full * kBackShade;
        paint.color = Shade(base, paint.light);
        if (!red && face.texture >= 0 && static_cast<std::size_t>(face.texture) < textures.size() &&
            textures[static_cast<std::size_t>(face.texture)])
            paint.texture = &textures[static_cast<std::size_t>(face.texture)];
        const PreviewUv* uvs = paint.texture ? scene.uvs.data() + face.firstCorner : nullptr;
        for (std::uint32_t c = 1; c + 1 < face.cornerCount; ++c) {
            if (uvs) {
                paint.uv[0] = uvs[0];
                paint.uv[1] = uvs[c];
                paint.uv[2] = uvs[c + 1];
            }
            raster.triangle(points[corners[0]], points[corners[c]], points[corners[c + 1]], paint);
        }
        drawn.push_back(&face);
    }

    if (options.wireframe) {
        // Two pixels' worth of depth: an edge is the border of a face drawn there, never exactly on it.
        const auto tolerance = static_cast<float>(2.0 / camera.scale());
        for (const PreviewFace* face : drawn) {
            const std::uint32_t* corners = scene.corners.data() + face->firstCorner;
            for (std::uint32_t c = 0; c < face->cornerCount; ++c)
                raster.line(points[corners[c]], points[corners[(c + 1) % face->cornerCount]], kWireColor, tolerance);
        }
    }
    if (options.markers) {
        for (const PreviewMarker& marker : scene.markers) {
            raster.square(camera.project(marker.position),
                          marker.kind == MarkerKind::Gunpoint ? kGunpointColor : kAttachPointColor);
        }
    }
    return true;
}

}  // namespace torvale
