// Colour matrix, convolution and displacement map on straight colour, 16.16 fixed point.
#include <algorithm>
#include <array>
#include <cmath>

#include "box_blur.h"
#include "filter.h"
#include "pixel_math.h"

namespace swf::render {
namespace {

constexpr int64_t kOne = 1 << 16;
// Coefficients beyond this only saturate; the clamp keeps the sums inside 64 bits.
constexpr float kMaxCoefficient = 1 << 14;

int64_t fixed(float v) {
    if (!std::isfinite(v)) return 0;
    return int64_t(std::lround(std::clamp(v, -kMaxCoefficient, kMaxCoefficient) * float(kOne)));
}

uint8_t clampChannel(int64_t v16) {
    const int64_t v = (v16 + kOne / 2) >> 16;
    return uint8_t(std::clamp<int64_t>(v, 0, 255));
}

// Straight (b, g, r, a) from premultiplied bytes, rounded to nearest.
std::array<uint8_t, 4> straight(const uint8_t* p) {
    const uint32_t a = p[3];
    if (a == 0) return {0, 0, 0, 0};
    if (a == 255) return {p[0], p[1], p[2], 255};
    auto un = [a](uint32_t c) { return uint8_t(std::min<uint32_t>(255, (c * 255 + a / 2) / a)); };
    return {un(p[0]), un(p[1]), un(p[2]), uint8_t(a)};
}

void storePremultiplied(uint8_t* p, const std::array<uint8_t, 4>& c) {
    const uint32_t a = c[3];
    p[0] = uint8_t(div255(c[0] * a));
    p[1] = uint8_t(div255(c[1] * a));
    p[2] = uint8_t(div255(c[2] * a));
    p[3] = uint8_t(a);
}

// Matrix rows r, g, b, a; the plane's channel order is b, g, r, a.
constexpr int kRowOfChannel[4] = {2, 1, 0, 3};
constexpr int kChannelOfColumn[4] = {2, 1, 0, 3};

struct FixedMatrix {
    int64_t m[4][5];  // [row r g b a][column r g b a offset]
};

FixedMatrix fixedMatrix(const Filter& f) {
    FixedMatrix fm{};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) fm.m[r][c] = fixed(f.matrix[size_t(r * 5 + c)]);
        fm.m[r][4] = fixed(f.matrix[size_t(r * 5 + 4)]);
    }
    return fm;
}

}  // namespace

void applyColorMatrix(const Filter& f, ChannelPlane& plane, bool reference) {
    const FixedMatrix fm = fixedMatrix(f);
    const size_t n = size_t(plane.width) * size_t(plane.height);
    if (reference) {
        for (size_t i = 0; i < n; ++i) {
            uint8_t* p = plane.bytes.data() + i * 4;
            const std::array<uint8_t, 4> in = straight(p);
            std::array<uint8_t, 4> out{};
            for (int ch = 0; ch < 4; ++ch) {
                const int r = kRowOfChannel[ch];
                int64_t sum = fm.m[r][4];
                for (int c = 0; c < 4; ++c) sum += fm.m[r][c] * in[size_t(kChannelOfColumn[c])];
                out[size_t(ch)] = clampChannel(sum);
            }
            storePremultiplied(p, out);
        }
        return;
    }
    // Products looked up per input channel value, and runs of one colour done once.
    std::vector<int64_t> table(size_t(16) * 256);
    for (int ch = 0; ch < 4; ++ch) {
        for (int c = 0; c < 4; ++c) {
            int64_t* t = table.data() + size_t(ch * 4 + c) * 256;
            for (int v = 0; v < 256; ++v) t[v] = fm.m[kRowOfChannel[ch]][c] * v;
        }
    }
    uint32_t lastIn = 0, lastOut = 0;
    bool haveLast = false;
    for (size_t i = 0; i < n; ++i) {
        uint8_t* p = plane.bytes.data() + i * 4;
        uint32_t word;
        std::copy(p, p + 4, reinterpret_cast<uint8_t*>(&word));
        if (haveLast && word == lastIn) {
            std::copy(reinterpret_cast<uint8_t*>(&lastOut), reinterpret_cast<uint8_t*>(&lastOut) + 4, p);
            continue;
        }
        const std::array<uint8_t, 4> in = straight(p);
        std::array<uint8_t, 4> out{};
        for (int ch = 0; ch < 4; ++ch) {
            const int64_t* t = table.data() + size_t(ch * 4) * 256;
            const int64_t sum = fm.m[kRowOfChannel[ch]][4] + t[in[2]] + t[256 + in[1]] + t[512 + in[0]] + t[768 + in[3]];
            out[size_t(ch)] = clampChannel(sum);
        }
        storePremultiplied(p, out);
        lastIn = word;
        std::copy(p, p + 4, reinterpret_cast<uint8_t*>(&lastOut));
        haveLast = true;
    }
}

void applyConvolution(const Filter& f, ChannelPlane& plane, bool reference) {
    const int cols = std::clamp(f.columns, 0, kMaxConvolutionSide), rows = std::clamp(f.rows, 0, kMaxConvolutionSide);
    if (cols == 0 || rows == 0 || f.kernel.size() < size_t(cols) * size_t(rows)) return;
    const float divisor = std::isfinite(f.divisor) && f.divisor != 0 ? f.divisor : 1;
    std::vector<int64_t> k(size_t(cols) * size_t(rows));
    for (size_t i = 0; i < k.size(); ++i) k[i] = fixed(f.kernel[i] / divisor);
    const int64_t bias = fixed(f.bias);
    const int w = plane.width, h = plane.height, cx = cols / 2, cy = rows / 2;
    // Straight colour of the source, with the default colour beyond the edge unless clamped.
    std::vector<std::array<uint8_t, 4>> src(size_t(w) * size_t(h));
    for (size_t i = 0; i < src.size(); ++i) src[i] = straight(plane.bytes.data() + i * 4);
    const std::array<uint8_t, 4> outside = {f.defaultColor.b, f.defaultColor.g, f.defaultColor.r, f.defaultColor.a};
    auto at = [&](int x, int y) -> const std::array<uint8_t, 4>& {
        if (x < 0 || y < 0 || x >= w || y >= h) {
            if (!f.clamp) return outside;
            x = std::clamp(x, 0, w - 1);
            y = std::clamp(y, 0, h - 1);
        }
        return src[size_t(y) * size_t(w) + size_t(x)];
    };
    const int channels = f.preserveAlpha ? 3 : 4;
    for (int y = 0; y < h; ++y) {
        // Rows and columns whose kernel stays inside the plane need no edge test.
        const bool rowInside = !reference && y >= cy && y + (rows - 1 - cy) < h;
        for (int x = 0; x < w; ++x) {
            int64_t sum[4] = {bias, bias, bias, bias};
            if (rowInside && x >= cx && x + (cols - 1 - cx) < w) {
                for (int j = 0; j < rows; ++j) {
                    const std::array<uint8_t, 4>* line = &src[size_t(y + j - cy) * size_t(w) + size_t(x - cx)];
                    const int64_t* kr = &k[size_t(j) * size_t(cols)];
                    for (int i = 0; i < cols; ++i) {
                        for (int c = 0; c < 4; ++c) sum[c] += kr[i] * line[i][size_t(c)];
                    }
                }
            } else {
                for (int j = 0; j < rows; ++j) {
                    for (int i = 0; i < cols; ++i) {
                        const std::array<uint8_t, 4>& s = at(x + i - cx, y + j - cy);
                        for (int c = 0; c < 4; ++c) sum[c] += k[size_t(j) * size_t(cols) + size_t(i)] * s[size_t(c)];
                    }
                }
            }
            std::array<uint8_t, 4> out = src[size_t(y) * size_t(w) + size_t(x)];
            for (int c = 0; c < channels; ++c) out[size_t(c)] = clampChannel(sum[c]);
            storePremultiplied(plane.row(y) + size_t(x) * 4, out);
        }
    }
}

void applyDisplacement(const Filter& f, ChannelPlane& plane, bool reference) {
    if (!f.map || f.map->width <= 0 || f.map->height <= 0 || f.componentX > 3 || f.componentY > 3) return;
    const Bitmap& map = *f.map;
    if (map.pixels.size() < size_t(map.width) * size_t(map.height)) return;
    const int64_t sx = fixed(f.scaleX), sy = fixed(f.scaleY);
    const int w = plane.width, h = plane.height;
    const ChannelPlane src = plane;
    const uint32_t fill = premultiply(f.fillColor);
    auto component = [](uint32_t premultipliedPixel, int which) {
        uint8_t bytes[4] = {uint8_t(premultipliedPixel), uint8_t(premultipliedPixel >> 8), uint8_t(premultipliedPixel >> 16),
                            uint8_t(premultipliedPixel >> 24)};
        const std::array<uint8_t, 4> s = straight(bytes);
        constexpr int kByteOf[4] = {2, 1, 0, 3};  // red, green, blue, alpha
        return int(s[size_t(kByteOf[which])]);
    };
    // Offset in whole pixels: (value - 128) x scale / 256, rounded towards minus infinity.
    auto offset = [](int value, int64_t scale16) { return int(((int64_t(value) - 128) * scale16) >> 24); };
    for (int y = 0; y < h; ++y) {
        const int my = y - f.mapY;
        for (int x = 0; x < w; ++x) {
            const int mx = x - f.mapX;
            // Where the map does not reach, pixels stay (128 means no move).
            if (mx < 0 || my < 0 || mx >= map.width || my >= map.height) continue;
            const uint32_t m = map.pixels[size_t(my) * size_t(map.width) + size_t(mx)];
            int tx, ty;
            if (reference || f.componentX != f.componentY) {
                tx = x + offset(component(m, f.componentX), sx);
                ty = y + offset(component(m, f.componentY), sy);
            } else {
                const int v = component(m, f.componentX);  // one unpremultiply for both axes
                tx = x + offset(v, sx);
                ty = y + offset(v, sy);
            }
            uint32_t out;
            if (tx >= 0 && ty >= 0 && tx < w && ty < h) {
                const uint8_t* p = src.row(ty) + size_t(tx) * 4;
                out = packPixel(p[3], p[2], p[1], p[0]);
            } else {
                switch (f.mode) {
                    case DisplacementMode::Wrap: {
                        const int wx = ((tx % w) + w) % w, wy = ((ty % h) + h) % h;
                        const uint8_t* p = src.row(wy) + size_t(wx) * 4;
                        out = packPixel(p[3], p[2], p[1], p[0]);
                        break;
                    }
                    case DisplacementMode::Clamp: {
                        const uint8_t* p = src.row(std::clamp(ty, 0, h - 1)) + size_t(std::clamp(tx, 0, w - 1)) * 4;
                        out = packPixel(p[3], p[2], p[1], p[0]);
                        break;
                    }
                    case DisplacementMode::Ignore: continue;
                    case DisplacementMode::Color:
                    default: out = fill; break;
                }
            }
            uint8_t* o = plane.row(y) + size_t(x) * 4;
            o[0] = uint8_t(out), o[1] = uint8_t(out >> 8), o[2] = uint8_t(out >> 16), o[3] = uint8_t(out >> 24);
        }
    }
}

}  // namespace swf::render
