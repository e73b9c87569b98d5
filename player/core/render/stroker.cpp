#include "stroker.h"

#include <algorithm>
#include <cmath>

namespace swf::render {

namespace {

constexpr float kPi = 3.14159265358979f;

Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
Point operator*(Point a, float k) { return {a.x * k, a.y * k}; }
float dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }
float cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }
Point perpendicular(Point d) { return {-d.y, d.x}; }

Point unit(Point a, Point b) {
    Point d = b - a;
    float length = std::sqrt(dot(d, d));
    return length > 0 ? d * (1 / length) : Point{1, 0};
}

bool samePoint(Point a, Point b) { return std::fabs(a.x - b.x) < 1e-4f && std::fabs(a.y - b.y) < 1e-4f; }

}  // namespace

void Stroker::addConvexPolygon(const Point* points, int count) {
    float area = 0;
    for (int i = 0; i < count; ++i) area += cross(points[i], points[(i + 1) % count]);
    if (area == 0 || !std::isfinite(area)) return;
    // All pieces wound alike, so their union under the non-zero rule has no holes.
    for (int i = 0; i < count; ++i) {
        int j = (i + 1) % count;
        if (area > 0) {
            out_.addLine(points[i], points[j], item_);
        } else {
            out_.addLine(points[j], points[i], item_);
        }
    }
}

void Stroker::addSector(Point center, Point from, float sweep) {
    const float radius = std::sqrt(dot(from, from));
    // Enough sides that no side strays more than the tolerance from the true arc.
    float step = kPi / 4;
    if (tolerance_ < radius) step = std::min(step, 2 * std::acos(1 - tolerance_ / radius));
    const float wanted = std::ceil(std::fabs(sweep) / step);  // inf when acos rounded to 0
    const int sides = wanted < 128 ? std::max(1, int(wanted)) : 128;
    points_.resize(size_t(sides) + 2);
    points_[0] = center;
    for (int i = 0; i <= sides; ++i) {
        float angle = sweep * float(i) / float(sides);
        float c = std::cos(angle), s = std::sin(angle);
        points_[size_t(i) + 1] = {center.x + from.x * c - from.y * s, center.y + from.x * s + from.y * c};
    }
    addConvexPolygon(points_.data(), sides + 2);
}

// Sweep of half a turn from `from` that passes through the direction `through`.
static float halfTurnThrough(Point from, Point through) {
    Point quarter{-from.y, from.x};  // `from` turned by +pi/2
    return dot(quarter, through) >= 0 ? kPi : -kPi;
}

void Stroker::addJoin(Point at, Point dirIn, Point dirOut, bool smooth, const StrokeStyle& style) {
    const float hw = style.halfWidth;
    float turn = cross(dirIn, dirOut);
    float straightness = dot(dirIn, dirOut);
    if (std::fabs(turn) < 1e-6f && straightness > 0) return;
    // The gap between the two segment bodies opens on the side away from the turn.
    float outer = turn > 0 ? -1.0f : 1.0f;
    Point o0 = at + perpendicular(dirIn) * (hw * outer);
    Point o1 = at + perpendicular(dirOut) * (hw * outer);
    JoinStyle join = smooth ? JoinStyle::Bevel : style.join;
    if (join == JoinStyle::Round) {
        Point from = o0 - at, to = o1 - at;
        float sweep = std::fabs(turn) < 1e-6f ? halfTurnThrough(from, dirIn) : std::atan2(cross(from, to), dot(from, to));
        addSector(at, from, sweep);
        return;
    }
    if (join == JoinStyle::Miter) {
        // The tip lies hw / cos(turn / 2) beyond the joint. The limit is a factor of the stroke
        // width: a tip further out than limit x width is cut off square at that distance.
        float cosHalf = std::sqrt(std::max(0.0f, (1 + straightness) * 0.5f));
        float limit = std::clamp(style.miterLimit, 1.0f, 255.0f);
        float cutDistance = limit * 2 * hw;
        Point bisector = unit(at, at + (o0 - at) + (o1 - at));
        if (cosHalf > 1e-4f && hw / cosHalf <= cutDistance) {
            Point tip = at + bisector * (hw / cosHalf);
            Point quad[4] = {at, o0, tip, o1};
            addConvexPolygon(quad, 4);
            return;
        }
        // Where each outer edge, continued from o0 forwards and from o1 backwards, meets the
        // cut line {p : (p - at) . bisector = cutDistance}.
        float along0 = dot(dirIn, bisector), along1 = dot(dirOut, bisector);
        if (std::fabs(along0) > 1e-4f && std::fabs(along1) > 1e-4f) {
            Point c0 = o0 + dirIn * ((cutDistance - dot(o0 - at, bisector)) / along0);
            Point c1 = o1 + dirOut * ((cutDistance - dot(o1 - at, bisector)) / along1);
            Point cut[5] = {at, o0, c0, c1, o1};
            addConvexPolygon(cut, 5);
            return;
        }
    }
    Point triangle[3] = {at, o0, o1};
    addConvexPolygon(triangle, 3);
}

void Stroker::addCap(Point at, Point dirOutward, CapStyle cap, float halfWidth) {
    if (cap == CapStyle::Round) {
        Point side = perpendicular(dirOutward) * halfWidth;
        addSector(at, side, halfTurnThrough(side, dirOutward));
    } else if (cap == CapStyle::Square) {
        Point n = perpendicular(dirOutward) * halfWidth;
        Point ahead = dirOutward * halfWidth;
        Point quad[4] = {at + n, at + n + ahead, at - n + ahead, at - n};
        addConvexPolygon(quad, 4);
    }
}

void Stroker::stroke(const std::vector<StrokePoint>& path, bool closed, const StrokeStyle& style) {
    std::vector<StrokePoint> pts;
    pts.reserve(path.size());
    for (const StrokePoint& sp : path) {
        if (!isFinite(sp.p)) continue;
        StrokePoint clamped{clampToDeviceRange(sp.p), sp.smooth};
        if (!pts.empty() && samePoint(pts.back().p, clamped.p)) continue;
        pts.push_back(clamped);
    }
    if (pts.empty()) return;
    if (closed && pts.size() > 2 && samePoint(pts.front().p, pts.back().p)) pts.pop_back();
    if (pts.size() < 3) closed = false;  // nothing to join around
    const float hw = style.halfWidth;
    const size_t n = pts.size();

    if (n == 1) {  // a zero-length stroke still shows its caps, as a dot
        addCap(pts[0].p, {-1, 0}, style.startCap, hw);
        addCap(pts[0].p, {1, 0}, style.endCap, hw);
        return;
    }

    const size_t segmentCount = closed ? n : n - 1;
    for (size_t i = 0; i < segmentCount; ++i) {
        Point a = pts[i].p, b = pts[(i + 1) % n].p;
        Point offset = perpendicular(unit(a, b)) * hw;
        Point quad[4] = {a + offset, b + offset, b - offset, a - offset};
        addConvexPolygon(quad, 4);
    }
    for (size_t i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i) {
        Point before = pts[(i + n - 1) % n].p, at = pts[i].p, after = pts[(i + 1) % n].p;
        addJoin(at, unit(before, at), unit(at, after), pts[i].smooth, style);
    }
    if (!closed) {
        addCap(pts[0].p, unit(pts[1].p, pts[0].p), style.startCap, hw);
        addCap(pts[n - 1].p, unit(pts[n - 2].p, pts[n - 1].p), style.endCap, hw);
    }
}

}  // namespace swf::render
