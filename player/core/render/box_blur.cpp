#include "box_blur.h"

#include <algorithm>

namespace swf::render {
namespace {

// Rounded sum / (2 r + 1) for every sum a window can reach, looked up: exact, and cheaper
// than a division per sample. Built by counting (the quotient steps up every 2 r + 1 sums),
// once per blur and axis: a band drawing twenty glowing objects builds a hundred of them.
std::vector<uint8_t> divisionTable(int radius) {
    const uint32_t width = uint32_t(2 * radius + 1);
    std::vector<uint8_t> table(size_t(255) * width + 1);
    uint32_t quotient = 0, nextStep = width - width / 2;  // (sum + width / 2) / width grows there
    for (uint32_t sum = 0; sum < table.size(); ++sum) {
        if (sum == nextStep) {
            ++quotient;
            nextStep += width;
        }
        table[sum] = uint8_t(quotient);
    }
    return table;
}

// One pass along a row of `count` pixels of N interleaved channels, running sums per channel.
template <int N>
void blurRow(const uint8_t* in, uint8_t* out, int count, int radius, const uint8_t* divide) {
    uint32_t sum[N] = {};
    for (int i = 0; i <= radius && i < count; ++i) {
        for (int c = 0; c < N; ++c) sum[c] += in[size_t(i) * N + c];
    }
    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < N; ++c) out[size_t(i) * N + c] = divide[sum[c]];
        const int enter = i + radius + 1, leave = i - radius;
        if (enter < count) {
            for (int c = 0; c < N; ++c) sum[c] += in[size_t(enter) * N + c];
        }
        if (leave >= 0) {
            for (int c = 0; c < N; ++c) sum[c] -= in[size_t(leave) * N + c];
        }
    }
}

void horizontalPass(const ChannelPlane& in, ChannelPlane& out, int radius, const std::vector<uint8_t>& divide) {
    for (int y = 0; y < in.height; ++y) {
        if (in.channels == 4) {
            blurRow<4>(in.row(y), out.row(y), in.width, radius, divide.data());
        } else {
            blurRow<1>(in.row(y), out.row(y), in.width, radius, divide.data());
        }
    }
}

// Down the columns a row at a time: one running sum per column and channel keeps the reads in
// row order (a column walk would miss the cache on every sample of a wide layer).
void verticalPass(const ChannelPlane& in, ChannelPlane& out, int radius, const std::vector<uint8_t>& divide,
                  std::vector<uint32_t>& sums) {
    const size_t rowBytes = size_t(in.width) * size_t(in.channels);
    sums.assign(rowBytes, 0);
    for (int y = 0; y <= radius && y < in.height; ++y) {
        const uint8_t* r = in.row(y);
        for (size_t i = 0; i < rowBytes; ++i) sums[i] += r[i];
    }
    for (int y = 0; y < in.height; ++y) {
        uint8_t* o = out.row(y);
        for (size_t i = 0; i < rowBytes; ++i) o[i] = divide[sums[i]];
        const int enter = y + radius + 1, leave = y - radius;
        if (enter < in.height && leave >= 0) {
            const uint8_t* add = in.row(enter);
            const uint8_t* remove = in.row(leave);
            for (size_t i = 0; i < rowBytes; ++i) sums[i] += uint32_t(add[i]) - uint32_t(remove[i]);
        } else if (enter < in.height) {
            const uint8_t* r = in.row(enter);
            for (size_t i = 0; i < rowBytes; ++i) sums[i] += r[i];
        } else if (leave >= 0) {
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
    const std::vector<uint8_t> divideX = radiusX > 0 ? divisionTable(radiusX) : std::vector<uint8_t>();
    const std::vector<uint8_t> divideY = radiusY > 0 ? divisionTable(radiusY) : std::vector<uint8_t>();
    for (int pass = 0; pass < passes; ++pass) {
        if (radiusX > 0) {
            horizontalPass(plane, scratch, radiusX, divideX);
            std::swap(plane.bytes, scratch.bytes);
        }
        if (radiusY > 0) {
            verticalPass(plane, scratch, radiusY, divideY, sums);
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
