// Gradient evaluation at pixel centres: device pixel -> gradient square -> ratio t -> ramp.
#include <algorithm>
#include <cmath>

#include "paint.h"

namespace swf::render {

namespace {

constexpr float kSquareHalf = 16384;

inline int rampIndex(float t, SpreadMode spread) {
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

void Paint::shadeGradient(int x, int y, int count, uint32_t* out) const {
    const uint32_t* colors = ramp_->colors.data();
    const Matrix& m = inverse_;
    const float py = float(y) + 0.5f;
    const float px0 = float(x) + 0.5f;
    // The square's coordinates at the first pixel centre and their step per pixel.
    const float gx0 = m.a * px0 + m.c * py + m.tx;
    const float gy0 = m.b * px0 + m.d * py + m.ty;

    if (kind_ == Kind::Linear) {
        if (reference_) {
            for (int i = 0; i < count; ++i) {
                float gx = m.a * (float(x + i) + 0.5f) + m.c * py + m.tx;
                out[i] = colors[rampIndex((gx + kSquareHalf) / (2 * kSquareHalf), spread_)];
            }
            return;
        }
        const float t0 = (gx0 + kSquareHalf) / (2 * kSquareHalf);
        const float dt = m.a / (2 * kSquareHalf);
        if (spread_ == SpreadMode::Pad && std::isfinite(t0) && std::isfinite(dt) &&
            std::isfinite(t0 + float(count) * dt)) {
            for (int i = 0; i < count; ++i) {
                float t = t0 + float(i) * dt;
                t = t < 0 ? 0 : t > 1 ? 1 : t;
                out[i] = colors[int(t * 255 + 0.5f)];
            }
            return;
        }
        for (int i = 0; i < count; ++i) out[i] = colors[rampIndex(t0 + float(i) * dt, spread_)];
        return;
    }

    for (int i = 0; i < count; ++i) {
        float gx, gy;
        if (reference_) {
            float px = float(x + i) + 0.5f;
            gx = m.a * px + m.c * py + m.tx;
            gy = m.b * px + m.d * py + m.ty;
        } else {
            gx = gx0 + float(i) * m.a;
            gy = gy0 + float(i) * m.b;
        }
        gx /= kSquareHalf;
        gy /= kSquareHalf;
        float t = kind_ == Kind::Radial ? std::sqrt(gx * gx + gy * gy) : focalRatio(gx, gy, focal_);
        out[i] = colors[rampIndex(t, spread_)];
    }
}

}  // namespace swf::render
