#include "shape_hit_test.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace swf {
namespace {

constexpr int kCurveSteps = 8;  // a curve as straight pieces: close enough for a pointer

template <typename Visit>
void forEachPiece(const Edge& e, Visit visit) {
    if (!e.curved) {
        visit(e.from, e.to);
        return;
    }
    Point prev = e.from;
    for (int i = 1; i <= kCurveSteps; ++i) {
        const float t = float(i) / kCurveSteps, u = 1 - t;
        const Point next{u * u * e.from.x + 2 * u * t * e.control.x + t * t * e.to.x,
                         u * u * e.from.y + 2 * u * t * e.control.y + t * t * e.to.y};
        visit(prev, next);
        prev = next;
    }
}

// +1 / -1 when the piece crosses the ray from p to the right going down / up, else 0.
int crossing(Point a, Point b, Point p) {
    if ((a.y <= p.y) == (b.y <= p.y)) return 0;
    const float x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
    if (x <= p.x) return 0;
    return b.y > a.y ? 1 : -1;
}

float distanceSquared(Point a, Point b, Point p) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float len = dx * dx + dy * dy;
    float t = len > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len : 0;
    t = std::clamp(t, 0.0f, 1.0f);
    const float ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
    return ex * ex + ey * ey;
}

bool layerContains(const ShapeLayer& layer, bool nonZero, Point p, float hairlineReach) {
    // Winding per fill style: an edge bounds fill0 on its left and fill1 on its right.
    std::vector<int> winding(layer.fills.size() + 1, 0);
    for (const Edge& e : layer.edges) {
        if (e.line > 0 && e.line <= layer.lines.size()) {
            const uint16_t width = layer.lines[e.line - 1].width;
            const float half = width > 0 ? std::max(float(width) / 2, 10.0f) : hairlineReach;
            bool near = false;
            forEachPiece(e, [&](Point a, Point b) { near = near || distanceSquared(a, b, p) <= half * half; });
            if (near) return true;
        }
        if (e.fill0 == e.fill1) continue;
        int w = 0;
        forEachPiece(e, [&](Point a, Point b) { w += crossing(a, b, p); });
        if (w == 0) continue;
        if (e.fill0 > 0 && e.fill0 < winding.size()) winding[e.fill0] -= w;
        if (e.fill1 > 0 && e.fill1 < winding.size()) winding[e.fill1] += w;
    }
    for (size_t f = 1; f < winding.size(); ++f)
        if (nonZero ? winding[f] != 0 : (winding[f] & 1) != 0) return true;
    return false;
}

}  // namespace

bool shapeContains(const Shape& shape, Point p, float hairlineReach) {
    const Rect& b = shape.bounds;
    if (!b.empty() && (p.x < b.xMin || p.x > b.xMax || p.y < b.yMin || p.y > b.yMax)) return false;
    for (const ShapeLayer& layer : shape.layers)
        if (layerContains(layer, shape.nonZeroWinding, p, hairlineReach)) return true;
    return false;
}

}  // namespace swf
