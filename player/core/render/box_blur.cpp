#include "box_blur.h"

#include <algorithm>

namespace swf::render {
namespace {

// Rounded sum / (2 r + 1) by a multiply: sum is at most 255 x 511, so 64 bits hold the product
// and the rounding is exact for every sum and width used here.
struct BoxDivider {
    explicit BoxDivider(int radius) : width(uint32_t(2 * radius + 1)), reciprocal(((uint64_t(1) << 32) + width - 1) / width) {}
    uint8_t operator()(uint32_t sum) const { return uint8_t((uint64_t(sum * 2 + width) * reciprocal) >> 33); }
    uint32_t width;
    uint64_t reciprocal;
};

// One pass along a line of `count` samples `step` bytes apart, running sums per channel.
void blurLine(const uint8_t* in, uint8_t* out, int count, int step, int channels, int radius, const BoxDivider& divide) {
    for (int c = 0; c < channels; ++c) {
        uint32_t sum = 0;
        for (int i = 0; i <= radius && i < count; ++i) sum += in[size_t(i) * size_t(step) + size_t(c)];
        for (int i = 0; i < count; ++i) {
            out[size_t(i) * size_t(step) + size_t(c)] = divide(sum);
            const int enter = i + radius + 1, leave = i - radius;
            if (enter < count) sum += in[size_t(enter) * size_t(step) + size_t(c)];
            if (leave >= 0) sum -= in[size_t(leave) * size_t(step) + size_t(c)];
        }
    }
}

void horizontalPass(const ChannelPlane& in, ChannelPlane& out, int radius) {
    const BoxDivider divide(radius);
    for (int y = 0; y < in.height; ++y) blurLine(in.row(y), out.row(y), in.width, in.channels, in.channels, radius, divide);
}

// Down the columns a row at a time: one running sum per column and channel keeps the reads in
// row order (a column walk would miss the cache on every sample of a wide layer).
void verticalPass(const ChannelPlane& in, ChannelPlane& out, int radius, std::vector<uint32_t>& sums) {
    const BoxDivider divide(radius);
    const size_t rowBytes = size_t(in.width) * size_t(in.channels);
    sums.assign(rowBytes, 0);
    for (int y = 0; y <= radius && y < in.height; ++y) {
        const uint8_t* r = in.row(y);
        for (size_t i = 0; i < rowBytes; ++i) sums[i] += r[i];
    }
    for (int y = 0; y < in.height; ++y) {
        uint8_t* o = out.row(y);
        for (size_t i = 0; i < rowBytes; ++i) o[i] = divide(sums[i]);
        const int enter = y + radius + 1, leave = y - radius;
        if (enter < in.height) {
            const uint8_t* r = in.row(enter);
            for (size_t i = 0; i < rowBytes; ++i) sums[i] += r[i];
        }
        if (leave >= 0) {
            const uint8_t* r = in.row(leave);
            for (size_t i = 0; i < rowBytes; ++i) sums[i] -= r[i];
        }
    }
}

}  // namespace

void boxBlur(ChannelPlane& plane, int radiusX, int radiusY, int passes, ChannelPlane& scratch) {
    if (plane.width <= 0 || plane.height <= 0) return;
    scratch.width = plane.width;
    scratch.height = plane.height;
    scratch.channels = plane.channels;
    scratch.bytes.resize(plane.bytes.size());
    std::vector<uint32_t> sums;
    for (int pass = 0; pass < passes; ++pass) {
        if (radiusX > 0) {
            horizontalPass(plane, scratch, radiusX);
            std::swap(plane.bytes, scratch.bytes);
        }
        if (radiusY > 0) {
            verticalPass(plane, scratch, radiusY, sums);
            std::swap(plane.bytes, scratch.bytes);
        }
    }
}

void boxBlurReference(ChannelPlane& plane, int radiusX, int radiusY, int passes) {
    ChannelPlane out = plane;
    const int w = plane.width, h = plane.height, n = plane.channels;
    auto at = [&](int x, int y, int c) -> uint32_t {
        return x < 0 || y < 0 || x >= w || y >= h ? 0 : plane.bytes[(size_t(y) * size_t(w) + size_t(x)) * size_t(n) + size_t(c)];
    };
    for (int pass = 0; pass < passes; ++pass) {
        for (int axis = 0; axis < 2; ++axis) {
            const int radius = axis == 0 ? radiusX : radiusY;
            if (radius <= 0) continue;
            const uint32_t width = uint32_t(2 * radius + 1);
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    for (int c = 0; c < n; ++c) {
                        uint32_t sum = 0;
                        for (int k = -radius; k <= radius; ++k) sum += axis == 0 ? at(x + k, y, c) : at(x, y + k, c);
                        out.bytes[(size_t(y) * size_t(w) + size_t(x)) * size_t(n) + size_t(c)] = uint8_t((sum + width / 2) / width);
                    }
                }
            }
            plane.bytes = out.bytes;
        }
    }
}

}  // namespace swf::render
