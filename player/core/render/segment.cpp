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

void SegmentList::push(Point a, Point b, uint16_t item) {
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

Point snapToLattice(Point p, float n) {
    // Beyond the device range the point is clipped, where the lattice no longer matters.
    if (n == 0 || !(std::fabs(p.x) <= kMaxDeviceCoordinate) || !(std::fabs(p.y) <= kMaxDeviceCoordinate)) return p;
    return {std::floor(p.x * n + 0.5f) / n, std::floor(p.y * n + 0.5f) / n};
}

void SegmentList::addLine(Point a, Point b, uint16_t item) {
    if (!isFinite(a) || !isFinite(b)) return;
    a = snapToLattice(a, grid_);
    b = snapToLattice(b, grid_);
    const float k = kMaxDeviceCoordinate;
    if (std::fabs(a.x) <= k && std::fabs(a.y) <= k && std::fabs(b.x) <= k && std::fabs(b.y) <= k) {
        push(a, b, item);
        return;
    }
    // Far outside the canvas: clip rather than clamp the end points, which would bend the
    // part that crosses the canvas (a shape zoomed in a thousand times still has exact edges
    // there). Above or below the range nothing is visible; left or right of it the piece is
    // kept as a vertical line on the border, which carries the same winding into the canvas.
    double ax = a.x, ay = a.y, bx = b.x, by = b.y;
    double t0 = 0, t1 = 1;
    if (ay != by) {
        double ta = (-k - ay) / (by - ay), tb = (k - ay) / (by - ay);
        t0 = std::max(t0, std::min(ta, tb));
        t1 = std::min(t1, std::max(ta, tb));
    } else if (std::fabs(ay) > k) {
        return;
    }
    if (!(t0 < t1)) return;
    double cuts[4] = {t0, t1, t0, t0};
    int count = 2;
    if (ax != bx) {
        for (double edge : {-double(k), double(k)}) {
            double t = (edge - ax) / (bx - ax);
            if (t > t0 && t < t1) cuts[count++] = t;
        }
    }
    for (int i = 1; i < count; ++i) {  // at most four: insertion sort
        for (int j = i; j > 0 && cuts[j] < cuts[j - 1]; --j) std::swap(cuts[j], cuts[j - 1]);
    }
    auto at = [&](double t) { return Point{float(ax + (bx - ax) * t), float(ay + (by - ay) * t)}; };
    for (int i = 0; i + 1 < count; ++i) {
        Point p = at(cuts[i]), q = at(cuts[i + 1]);
        p.y = std::clamp(p.y, -k, k);
        q.y = std::clamp(q.y, -k, k);
        double mid = ax + (bx - ax) * 0.5 * (cuts[i] + cuts[i + 1]);
        if (mid < -k || mid > k) {
            p.x = q.x = mid < 0 ? -k : k;
        } else {
            p.x = std::clamp(p.x, -k, k);
            q.x = std::clamp(q.x, -k, k);
        }
        push(p, q, item);
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
