#include <algorithm>
#include <cmath>

#include "filter.h"

namespace swf {
namespace {

// Offset of a shadow or bevel along its angle, whole pixels.
void addOffsetReach(const Filter& f, FilterReach& r) {
    const float distance = std::fmin(std::fabs(f.distance), kMaxFilterDistance);
    if (!(distance > 0) || !std::isfinite(f.angle)) return;
    const int dx = int(std::lround(std::cos(float(f.angle)) * distance)), dy = int(std::lround(std::sin(float(f.angle)) * distance));
    // A bevel lights one side and shades the other: both directions.
    const bool both = f.kind == FilterKind::Bevel || f.kind == FilterKind::GradientBevel;
    if (dx > 0 || both) r.right += std::abs(dx);
    if (dx < 0 || both) r.left += std::abs(dx);
    if (dy > 0 || both) r.bottom += std::abs(dy);
    if (dy < 0 || both) r.top += std::abs(dy);
}

FilterReach reachOf(const Filter& f) {
    FilterReach r;
    switch (f.kind) {
        case FilterKind::ColorMatrix: return r;
        case FilterKind::Convolution: {
            const int cx = std::clamp(f.columns, 0, kMaxConvolutionSide) / 2, cy = std::clamp(f.rows, 0, kMaxConvolutionSide) / 2;
            return {cx, cy, cx, cy};
        }
        case FilterKind::DisplacementMap: {
            auto half = [](float scale) { return std::isfinite(scale) ? int(std::fmin(std::fabs(scale), 65536) / 2) + 1 : 0; };
            const int x = half(f.scaleX), y = half(f.scaleY);
            return {x, y, x, y};
        }
        default: break;
    }
    const int passes = filterPasses(f);
    const int x = blurRadius(f.blurX) * passes, y = blurRadius(f.blurY) * passes;
    r = {x, y, x, y};
    if (f.kind != FilterKind::Blur) addOffsetReach(f, r);
    return r;
}

}  // namespace

FilterReach filterReach(const std::vector<Filter>& filters) {
    FilterReach total;
    for (const Filter& f : filters) {
        const FilterReach r = reachOf(f);
        total.left += r.left;
        total.top += r.top;
        total.right += r.right;
        total.bottom += r.bottom;
    }
    return total;
}

}  // namespace swf
