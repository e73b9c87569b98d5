#include "segment.h"

#include <algorithm>
#include <cmath>

namespace swf::render {

namespace {
// A curve never needs more pieces than this to be smooth at any size we draw; hostile control
// points that would ask for more get a coarser polyline instead of unbounded work.
constexpr int kMaxQuadPieces = 128;
}  // namespace

bool isFinite(Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }

Point clampToDeviceRange(Point p) {
    return {std::clamp(p.x, -kMaxDeviceCoordinate, kMaxDeviceCoordinate),
            std::clamp(p.y, -kMaxDeviceCoordinate, kMaxDeviceCoordinate)};
}

void SegmentList::addLine(Point a, Point b, uint16_t item) {
    if (!isFinite(a) || !isFinite(b)) return;
    a = clampToDeviceRange(a);
    b = clampToDeviceRange(b);
    if (a.y == b.y) return;  // horizontal lines cross no scanline
    if (segments_.size() >= kMaxSegments) {
        overflowed_ = true;
        return;
    }
    if (a.y < b.y) {
        segments_.push_back({a.x, a.y, b.x, b.y, 1, item});
    } else {
        segments_.push_back({b.x, b.y, a.x, a.y, -1, item});
    }
}

int quadSubdivisions(Point a, Point control, Point b, float tolerance) {
    // The distance between a quadratic and its chord polyline of n pieces is at most
    // |a - 2c + b| / (4 n^2) (second difference bound), so n = sqrt(|dd| / (4 tol)).
    float ddx = a.x - 2 * control.x + b.x;
    float ddy = a.y - 2 * control.y + b.y;
    float dd = std::sqrt(ddx * ddx + ddy * ddy);
    if (!(dd > 0)) return 1;
    float n = std::ceil(std::sqrt(dd / (4 * std::max(tolerance, 0.01f))));
    if (!(n < kMaxQuadPieces)) return kMaxQuadPieces;
    return std::max(1, int(n));
}

void SegmentList::addQuad(Point a, Point control, Point b, uint16_t item, float tolerance) {
    if (overflowed_ || !isFinite(a) || !isFinite(control) || !isFinite(b)) return;
    a = clampToDeviceRange(a);
    control = clampToDeviceRange(control);
    b = clampToDeviceRange(b);
    int n = quadSubdivisions(a, control, b, tolerance);
    Point previous = a;
    for (int i = 1; i < n; ++i) {
        float t = float(i) / float(n);
        float u = 1 - t;
        Point p{u * u * a.x + 2 * u * t * control.x + t * t * b.x,
                u * u * a.y + 2 * u * t * control.y + t * t * b.y};
        addLine(previous, p, item);
        previous = p;
    }
    addLine(previous, b, item);
}

}  // namespace swf::render
