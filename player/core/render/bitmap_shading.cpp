// Bitmap fills: device pixel centre -> texel space, nearest or bilinear, repeated or with the
// edge texels extended, then the colour transform per texel.
#include <algorithm>
#include <cmath>

#include "paint.h"
#include "pixel_math.h"

namespace swf::render {

namespace {

// Far-off texel coordinates are clamped before conversion to int; beyond this the answer is
// meaningless anyway (float has no fraction left) and the conversion would overflow.
constexpr float kMaxTexelCoordinate = 1 << 24;

inline int texelIndex(int i, int size, bool repeat) {
    if (repeat) {
        i %= size;
        return i < 0 ? i + size : i;
    }
    return i < 0 ? 0 : i >= size ? size - 1 : i;
}

inline float clampTexelCoordinate(float v) {
    if (!(v > -kMaxTexelCoordinate)) return -kMaxTexelCoordinate;  // also NaN
    return v > kMaxTexelCoordinate ? kMaxTexelCoordinate : v;
}

inline int floorToInt(float v) { return int(std::floor(v)); }

// Keeps a premultiplied pixel valid (no channel above alpha) whatever the decoder produced.
inline uint32_t sanitize(uint32_t p) {
    uint32_t a = p >> 24;
    uint32_t r = std::min((p >> 16) & 255u, a), g = std::min((p >> 8) & 255u, a), b = std::min(p & 255u, a);
    return packPixel(a, r, g, b);
}

inline uint32_t bilinear(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, uint32_t fx, uint32_t fy) {
    uint32_t w00 = (256 - fx) * (256 - fy), w10 = fx * (256 - fy), w01 = (256 - fx) * fy, w11 = fx * fy;
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t c = ((p00 >> shift) & 255u) * w00 + ((p10 >> shift) & 255u) * w10 +
                     ((p01 >> shift) & 255u) * w01 + ((p11 >> shift) & 255u) * w11;
        result |= ((c + 32768) >> 16) << shift;
    }
    return result;
}

uint32_t transformTexel(uint32_t p, const ColorTransform& cx) {
    uint32_t a = p >> 24;
    Rgba straight{0, 0, 0, uint8_t(a)};
    if (a != 0) {
        auto unmul = [a](uint32_t c) { return uint8_t(std::min(255u, (c * 255 + a / 2) / a)); };
        straight = {unmul((p >> 16) & 255u), unmul((p >> 8) & 255u), unmul(p & 255u), uint8_t(a)};
    }
    return premultiply(cx.apply(straight));
}

}  // namespace

void Paint::shadeBitmap(int x, int y, int count, uint32_t* out) const {
    const Bitmap& bitmap = *bitmap_;
    const int w = bitmap.width, h = bitmap.height;
    const uint32_t* texels = bitmap.pixels.data();
    const Matrix& m = inverse_;
    const float py = float(y) + 0.5f;
    for (int i = 0; i < count; ++i) {
        float px = float(x + i) + 0.5f;
        float u = clampTexelCoordinate(m.a * px + m.c * py + m.tx);
        float v = clampTexelCoordinate(m.b * px + m.d * py + m.ty);
        uint32_t p;
        if (smooth_) {
            // Texel centres are at half-integers: weights come from the distance to them.
            u -= 0.5f;
            v -= 0.5f;
            int iu = floorToInt(u), iv = floorToInt(v);
            uint32_t fx = uint32_t(std::clamp(int((u - float(iu)) * 256), 0, 256));
            uint32_t fy = uint32_t(std::clamp(int((v - float(iv)) * 256), 0, 256));
            int u0 = texelIndex(iu, w, repeat_), u1 = texelIndex(iu + 1, w, repeat_);
            int v0 = texelIndex(iv, h, repeat_), v1 = texelIndex(iv + 1, h, repeat_);
            const uint32_t* r0 = texels + size_t(v0) * size_t(w);
            const uint32_t* r1 = texels + size_t(v1) * size_t(w);
            p = bilinear(r0[u0], r0[u1], r1[u0], r1[u1], fx, fy);
        } else {
            int iu = texelIndex(floorToInt(u), w, repeat_), iv = texelIndex(floorToInt(v), h, repeat_);
            p = texels[size_t(iv) * size_t(w) + size_t(iu)];
        }
        p = sanitize(p);
        out[i] = transformTexels_ ? transformTexel(p, cx_) : p;
    }
}

}  // namespace swf::render
