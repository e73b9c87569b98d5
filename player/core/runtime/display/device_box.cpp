#include "device_box.h"

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

constexpr int kMarginPx = 2;

}  // namespace

IntRect deviceBox(const Rect& r, const Matrix& m, int w, int h) {
    Point corners[4] = {m.apply({float(r.xMin), float(r.yMin)}), m.apply({float(r.xMax), float(r.yMin)}),
                        m.apply({float(r.xMin), float(r.yMax)}), m.apply({float(r.xMax), float(r.yMax)})};
    float x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (const Point& p : corners) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) || !std::isfinite(y1)) return {0, 0, w, h};
    auto clampTo = [](float v, int hi) { return int(std::max(0.0f, std::min(float(hi), v))); };
    return IntRect{clampTo(std::floor(x0) - kMarginPx, w), clampTo(std::floor(y0) - kMarginPx, h),
                   clampTo(std::ceil(x1) + kMarginPx, w), clampTo(std::ceil(y1) + kMarginPx, h)};
}

}  // namespace swf
