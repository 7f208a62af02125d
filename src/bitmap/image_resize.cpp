#include "bitmap/image_resize.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace torvale {
namespace {

// The old pixels under one new pixel along one axis, and how much of each lies under it.
struct Coverage {
    std::uint32_t first = 0;
    std::vector<double> weights;
};

// For each of `to` new pixels along an axis of `from` old ones: the old span [k * from / to, (k + 1) * from / to).
std::vector<Coverage> AxisCoverage(std::uint32_t from, std::uint32_t to) {
    std::vector<Coverage> axis(to);
    const double step = static_cast<double>(from) / to;
    for (std::uint32_t k = 0; k < to; ++k) {
        const double begin = k * step;
        const double end = std::min((k + 1) * step, static_cast<double>(from));
        Coverage& c = axis[k];
        c.first = static_cast<std::uint32_t>(begin);
        for (std::uint32_t old = c.first; old < from && old < end; ++old) {
            const double part = std::min(end, old + 1.0) - std::max(begin, static_cast<double>(old));
            c.weights.push_back(std::max(part, 0.0));
        }
    }
    return axis;
}

std::uint8_t ChannelByte(double value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 255.0)));
}

}  // namespace

std::uint32_t TextureSquareSide(std::uint32_t width, std::uint32_t height) {
    const std::uint32_t longer = std::max(width, height);
    for (std::uint32_t side : {128u, 64u})
        if (longer >= side)
            return side;
    return 32;
}

ImageLevel ResizeImage(const ImageLevel& image, std::uint32_t width, std::uint32_t height) {
    ImageLevel resized;
    if (width == 0 || height == 0 || image.width == 0 || image.height == 0 ||
        image.rgba.size() != std::size_t{image.width} * image.height * 4)
        return resized;
    const std::vector<Coverage> across = AxisCoverage(image.width, width);
    const std::vector<Coverage> down = AxisCoverage(image.height, height);
    resized.width = width;
    resized.height = height;
    resized.rgba.resize(std::size_t{width} * height * 4);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            double area = 0.0;
            double alpha = 0.0;
            double colour[3] = {0.0, 0.0, 0.0};  // each premultiplied by alpha
            for (std::size_t j = 0; j < down[y].weights.size(); ++j) {
                const std::size_t row = std::size_t{down[y].first} + j;
                for (std::size_t i = 0; i < across[x].weights.size(); ++i) {
                    const double w = down[y].weights[j] * across[x].weights[i];
                    const std::uint8_t* p = &image.rgba[(row * image.width + across[x].first + i) * 4];
                    area += w;
                    alpha += w * p[3];
                    for (int c = 0; c < 3; ++c)
                        colour[c] += w * p[3] * p[c];
                }
            }
            std::uint8_t* out = &resized.rgba[(std::size_t{y} * width + x) * 4];
            for (int c = 0; c < 3; ++c)
                out[c] = alpha > 0.0 ? ChannelByte(colour[c] / alpha) : 0;
            out[3] = area > 0.0 ? ChannelByte(alpha / area) : 0;
        }
    }
    return resized;
}

}  // namespace torvale
