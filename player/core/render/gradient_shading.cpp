// Gradient evaluation at pixel centres: device pixel -> gradient square -> ratio t -> ramp.
#include <algorithm>
#include <cmath>

#include "paint.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace swf::render {

namespace {

constexpr float kSquareHalf = 16384;
constexpr int kBlock = 64;  // pixels whose ramp indices are computed before their lookups

template <SpreadMode spread>
inline int rampIndexFor(float t) {
    if (spread == SpreadMode::Repeat) {
        t -= std::floor(t);
    } else if (spread == SpreadMode::Reflect) {
        t = std::fabs(t);
        t -= 2 * std::floor(t * 0.5f);
        if (t > 1) t = 2 - t;
    }
    if (!(t >= 0)) t = 0;  // also NaN, from infinite inputs
    if (!(t <= 1)) t = 1;
    return int(t * 255 + 0.5f);
}

inline int rampIndex(float t, SpreadMode spread) {
    switch (spread) {
        case SpreadMode::Repeat: return rampIndexFor<SpreadMode::Repeat>(t);
        case SpreadMode::Reflect: return rampIndexFor<SpreadMode::Reflect>(t);
        default: return rampIndexFor<SpreadMode::Pad>(t);
    }
}

// Ratio of a focal gradient at (x, y) in units of the radius, with the focus at (f, 0): the
// point lies on the segment from the focus to the circle at the fraction t, solved from
// |F + (P - F) / t| = 1.
inline float focalRatio(float x, float y, float f) {
    float dx = x - f;
    float fd = f * dx;
    float dd = dx * dx + y * y;
    float k = 1 - f * f;
    return (fd + std::sqrt(fd * fd + dd * k)) / k;
}

}  // namespace

// Radial and focal gradients, one loop per spread mode so that nothing is decided per pixel.
template <SpreadMode spread>
void Paint::shadeRound(int x, float rowX, float rowY, int count, uint32_t* out) const {
    const uint32_t* colors = ramp_->colors.data();
    const Matrix& m = inverse_;
    constexpr float kToUnit = 1 / kSquareHalf;
    if (kind_ == Kind::Radial) {
        if (spread == SpreadMode::Pad && !reference_) {
            // Ramp indices a block at a time (a loop the compiler vectorises), then the lookups:
            // the same float operations in the same order as the plain loop below.
            alignas(16) int index[kBlock];
            for (int base = 0; base < count; base += kBlock) {
                const int n = std::min(kBlock, count - base);
#if defined(__SSE2__)
                // Four at a time, rounded up to whole fours (the spare pixels are never looked
                // up): rows of small shapes are short, and a vectorised loop's scalar ends were
                // as costly as its body. max/min against 0 and 1 clamp NaN to 0, as below.
                const __m128 a = _mm_set1_ps(m.a), b = _mm_set1_ps(m.b), toUnit = _mm_set1_ps(kToUnit);
                const __m128 offsetX = _mm_set1_ps(rowX), offsetY = _mm_set1_ps(rowY), half = _mm_set1_ps(0.5f);
                const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1), steps = _mm_set1_ps(255);
                const __m128i lanes = _mm_setr_epi32(0, 1, 2, 3);
                for (int i = 0; i < n; i += 4) {
                    const __m128 px = _mm_add_ps(_mm_cvtepi32_ps(_mm_add_epi32(_mm_set1_epi32(x + base + i), lanes)), half);
                    const __m128 gx = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(a, px), offsetX), toUnit);
                    const __m128 gy = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(b, px), offsetY), toUnit);
                    __m128 t = _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(gx, gx), _mm_mul_ps(gy, gy)));
                    t = _mm_min_ps(_mm_max_ps(t, zero), one);
                    _mm_store_si128(reinterpret_cast<__m128i*>(index + i),
                                    _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(t, steps), half)));
                }
#else
                for (int i = 0; i < n; ++i) {
                    float px = float(x + base + i) + 0.5f;
                    float gx = (m.a * px + rowX) * kToUnit, gy = (m.b * px + rowY) * kToUnit;
                    float t = std::sqrt(gx * gx + gy * gy);
                    t = t >= 0 ? t : 0;
                    t = t <= 1 ? t : 1;
                    index[i] = int(t * 255 + 0.5f);
                }
#endif
                for (int i = 0; i < n; ++i) out[base + i] = colors[index[i]];
            }
            return;
        }
        for (int i = 0; i < count; ++i) {
            float px = float(x + i) + 0.5f;
            float gx = (m.a * px + rowX) * kToUnit, gy = (m.b * px + rowY) * kToUnit;
            out[i] = colors[rampIndexFor<spread>(std::sqrt(gx * gx + gy * gy))];
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        float px = float(x + i) + 0.5f;
        float gx = (m.a * px + rowX) * kToUnit, gy = (m.b * px + rowY) * kToUnit;
        out[i] = colors[rampIndexFor<spread>(focalRatio(gx, gy, focal_))];
    }
}

void Paint::shadeGradient(int x, int y, int count, uint32_t* out) const {
    const uint32_t* colors = ramp_->colors.data();
    const Matrix& m = inverse_;
    const float py = float(y) + 0.5f;
    // Every pixel is computed from its own centre (never stepped from the span's start), so
    // a pixel's colour does not depend on where the span it is shaded in begins.
    const float rowX = m.c * py + m.tx;
    const float rowY = m.d * py + m.ty;
    constexpr float kToRatio = 1 / (2 * kSquareHalf);

    if (kind_ == Kind::Linear) {
        const bool finite = std::isfinite(m.a * (float(x) + 0.5f) + rowX) &&
                            std::isfinite(m.a * (float(x + count) + 0.5f) + rowX);
        if (spread_ == SpreadMode::Pad && finite && !reference_) {
            if (m.a == 0) {  // the ratio does not change along the row
                float t = (m.a * (float(x) + 0.5f) + rowX + kSquareHalf) * kToRatio;
                t = t < 0 ? 0 : t > 1 ? 1 : t;
                std::fill(out, out + count, colors[int(t * 255 + 0.5f)]);
                return;
            }
            // Ramp indices a block at a time (vectorised), then the lookups.
            int index[kBlock];
            for (int base = 0; base < count; base += kBlock) {
                const int n = std::min(kBlock, count - base);
                for (int i = 0; i < n; ++i) {
                    float t = (m.a * (float(x + base + i) + 0.5f) + rowX + kSquareHalf) * kToRatio;
                    t = t < 0 ? 0 : t;
                    t = t > 1 ? 1 : t;
                    index[i] = int(t * 255 + 0.5f);
                }
                for (int i = 0; i < n; ++i) out[base + i] = colors[index[i]];
            }
            return;
        }
        for (int i = 0; i < count; ++i) {
            float t = (m.a * (float(x + i) + 0.5f) + rowX + kSquareHalf) * kToRatio;
            out[i] = colors[rampIndex(t, spread_)];
        }
        return;
    }

    switch (spread_) {
        case SpreadMode::Repeat: return shadeRound<SpreadMode::Repeat>(x, rowX, rowY, count, out);
        case SpreadMode::Reflect: return shadeRound<SpreadMode::Reflect>(x, rowX, rowY, count, out);
        default: return shadeRound<SpreadMode::Pad>(x, rowX, rowY, count, out);
    }
}

}  // namespace swf::render
