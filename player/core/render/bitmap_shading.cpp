// Bitmap fills: device pixel centre -> texel space, nearest or bilinear, repeated or with the
// edge texels extended, then the colour transform per texel.
//
// Texel coordinates are 16.16 fixed point, stepped per pixel in integers: exact, so a pixel's
// texel never depends on where its span starts, and spans that stay inside the bitmap skip
// the wrapping and clamping without changing a single result.
#include <algorithm>
#include <climits>
#include <cmath>

#include "paint.h"
#include "pixel_math.h"

namespace swf::render {

namespace {

using Fixed = int64_t;  // 16.16
constexpr int kFractionBits = 16;
// Coordinates and steps are clamped to these, far beyond any bitmap (kMaxBitmapSide), so that
// start + count * step stays well inside int64.
constexpr double kMaxCoordinate = double(int64_t(1) << 30);
constexpr double kMaxStep = double(int64_t(1) << 24);

Fixed toFixed(double v, double limit) {
    if (!(v > -limit)) v = -limit;  // also NaN
    if (v > limit) v = limit;
    return Fixed(std::floor(v * (1 << kFractionBits)));
}

// Floor and fraction of a 16.16 value; >> of a negative number is an arithmetic shift on every
// compiler we build with (and by definition since C++20).
inline int64_t wholePart(Fixed f) { return f >> kFractionBits; }
inline uint32_t fractionByte(Fixed f) { return uint32_t(f >> 8) & 255u; }

inline int texelIndex(int64_t i, int size, bool repeat) {
    if (repeat) {
        int64_t r = i % size;
        return int(r < 0 ? r + size : r);
    }
    return int(i < 0 ? 0 : i >= size ? size - 1 : i);
}

// Keeps a premultiplied pixel valid (no channel above alpha) whatever the decoder produced.
inline uint32_t sanitize(uint32_t p) {
    uint32_t a = p >> 24;
    if (a == 255) return p;
    uint32_t r = std::min((p >> 16) & 255u, a), g = std::min((p >> 8) & 255u, a), b = std::min(p & 255u, a);
    return packPixel(a, r, g, b);
}

// a + (b - a) * f / 256 on all four channels, two at a time.
inline uint32_t lerpPixel(uint32_t a, uint32_t b, uint32_t f) {
    uint32_t rb = ((((a & 0x00ff00ffu) * (256 - f)) + ((b & 0x00ff00ffu) * f)) >> 8) & 0x00ff00ffu;
    uint32_t ag = ((((a >> 8) & 0x00ff00ffu) * (256 - f)) + (((b >> 8) & 0x00ff00ffu) * f)) & 0xff00ff00u;
    return rb | ag;
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

// One loop per combination, so that nothing is decided per pixel.
template <bool smooth, bool inside>
void sampleSpan(const Bitmap& bitmap, bool repeat, Fixed u, Fixed v, Fixed du, Fixed dv, int count, uint32_t* out) {
    const int w = bitmap.width, h = bitmap.height;
    const uint32_t* texels = bitmap.pixels.data();
    for (int i = 0; i < count; ++i, u += du, v += dv) {
        const int64_t iu = wholePart(u), iv = wholePart(v);
        uint32_t p;
        if (smooth) {
            int u0, u1, v0, v1;
            if (inside) {
                u0 = int(iu), u1 = int(iu) + 1, v0 = int(iv), v1 = int(iv) + 1;
            } else {
                u0 = texelIndex(iu, w, repeat), u1 = texelIndex(iu + 1, w, repeat);
                v0 = texelIndex(iv, h, repeat), v1 = texelIndex(iv + 1, h, repeat);
            }
            const uint32_t* r0 = texels + size_t(v0) * size_t(w);
            const uint32_t* r1 = texels + size_t(v1) * size_t(w);
            const uint32_t fx = fractionByte(u), fy = fractionByte(v);
            // Columns first (see rowAlignedSpan, which reuses them along a row).
            p = lerpPixel(lerpPixel(r0[u0], r1[u0], fy), lerpPixel(r0[u1], r1[u1], fy), fx);
        } else if (inside) {
            p = texels[size_t(iv) * size_t(w) + size_t(iu)];
        } else {
            p = texels[size_t(texelIndex(iv, h, repeat)) * size_t(w) + size_t(texelIndex(iu, w, repeat))];
        }
        out[i] = sanitize(p);
    }
}

// Smoothed span inside the bitmap along a texel row (no vertical step, the usual case of a
// scaled but not rotated bitmap): each column's vertical mix is computed once and reused by
// all the pixels between it and the next column. Same results as sampleSpan<true, true>.
void rowAlignedSpan(const Bitmap& bitmap, Fixed u, Fixed v, Fixed du, int count, uint32_t* out) {
    const size_t w = size_t(bitmap.width);
    const uint32_t* r0 = bitmap.pixels.data() + size_t(wholePart(v)) * w;
    const uint32_t* r1 = r0 + w;
    const uint32_t fy = fractionByte(v);
    int64_t column = INT64_MIN;
    uint32_t left = 0, right = 0;
    for (int i = 0; i < count; ++i, u += du) {
        const int64_t iu = wholePart(u);
        if (iu != column) {
            if (iu == column + 1) {
                left = right;
            } else {
                left = lerpPixel(r0[iu], r1[iu], fy);
            }
            right = lerpPixel(r0[iu + 1], r1[iu + 1], fy);
            column = iu;
        }
        out[i] = sanitize(lerpPixel(left, right, fractionByte(u)));
    }
}

}  // namespace

void Paint::shadeBitmap(int x, int y, int count, uint32_t* out) const {
    const Bitmap& bitmap = *bitmap_;
    const int w = bitmap.width, h = bitmap.height;
    const Matrix& m = inverse_;
    const double px = double(x) + 0.5, py = double(y) + 0.5;
    // Bilinear weights come from the distance to texel centres, which sit at half-integers.
    const double centre = smooth_ ? 0.5 : 0.0;
    const Fixed u0 = toFixed(m.a * px + m.c * py + m.tx - centre, kMaxCoordinate);
    const Fixed v0 = toFixed(m.b * px + m.d * py + m.ty - centre, kMaxCoordinate);
    const Fixed du = toFixed(m.a, kMaxStep), dv = toFixed(m.b, kMaxStep);

    // The pixels i whose texels (and right and lower neighbours) all lie inside the bitmap form
    // one run [first, last): found roughly in floating point, then settled exactly.
    const int64_t reach = smooth_ ? 1 : 0;
    auto insideAt = [&](int i) {
        const int64_t iu = wholePart(u0 + du * i), iv = wholePart(v0 + dv * i);
        return iu >= 0 && iu + reach < w && iv >= 0 && iv + reach < h;
    };
    double lo = 0, hi = count;
    auto limit = [&](Fixed start, Fixed step, int size) {
        const double low = 0, high = double((int64_t(size) - reach) << kFractionBits) - 1;
        if (step == 0) {
            if (double(start) < low || double(start) > high) hi = lo;
            return;
        }
        double a = (low - double(start)) / double(step), b = (high - double(start)) / double(step);
        lo = std::max(lo, std::ceil(std::min(a, b)));
        hi = std::min(hi, std::floor(std::max(a, b)) + 1);
    };
    limit(u0, du, w);
    limit(v0, dv, h);
    int first = 0, last = 0;
    if (!reference_ && lo < hi) {
        first = int(lo);
        last = int(hi);
        while (first < last && !insideAt(first)) ++first;
        while (last > first && !insideAt(last - 1)) --last;
        while (first > 0 && insideAt(first - 1)) --first;
        while (last < count && insideAt(last)) ++last;
    }
    auto run = [&](int from, int to, bool inside) {
        if (from >= to) return;
        const Fixed u = u0 + du * from, v = v0 + dv * from;
        if (smooth_ && inside && dv == 0) {
            rowAlignedSpan(bitmap, u, v, du, to - from, out + from);
        } else if (smooth_) {
            (inside ? sampleSpan<true, true> : sampleSpan<true, false>)(bitmap, repeat_, u, v, du, dv, to - from, out + from);
        } else {
            (inside ? sampleSpan<false, true> : sampleSpan<false, false>)(bitmap, repeat_, u, v, du, dv, to - from, out + from);
        }
    };
    if (first < last) {
        run(0, first, false);
        run(first, last, true);
        run(last, count, false);
    } else {
        run(0, count, false);
    }
    if (transformTexels_) {
        for (int i = 0; i < count; ++i) out[i] = transformTexel(out[i], cx_);
    }
}

}  // namespace swf::render
