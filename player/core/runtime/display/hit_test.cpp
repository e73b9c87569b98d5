#include "hit_test.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "../clip.h"

namespace swf {
namespace {

constexpr int kCurveSteps = 8;
constexpr float kHairlineTwips = 20;  // a hairline is one pixel wide wherever it is drawn

// The edge as straight pieces (curves flattened).
template <typename Visit>
void forEachSegment(const Edge& e, Visit visit) {
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

bool crossesRayRight(Point a, Point b, Point p) {
    if ((a.y > p.y) == (b.y > p.y)) return false;
    const float x = a.x + (p.y - a.y) / (b.y - a.y) * (b.x - a.x);
    return x > p.x;
}

float distanceSquared(Point a, Point b, Point p) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length = dx * dx + dy * dy;
    float t = length > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length : 0;
    t = std::clamp(t, 0.0f, 1.0f);
    const float ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
    return ex * ex + ey * ey;
}

}  // namespace

std::optional<Matrix> inverted(const Matrix& m) {
    const double det = double(m.a) * m.d - double(m.b) * m.c;
    if (!std::isfinite(det) || std::fabs(det) < 1e-12) return std::nullopt;
    Matrix r;
    r.a = float(m.d / det);
    r.b = float(-m.b / det);
    r.c = float(-m.c / det);
    r.d = float(m.a / det);
    r.tx = float((double(m.c) * m.ty - double(m.d) * m.tx) / det);
    r.ty = float((double(m.b) * m.tx - double(m.a) * m.ty) / det);
    return r;
}

bool shapeContains(const Shape& shape, Point p) {
    for (const ShapeLayer& layer : shape.layers) {
        // Each fill is bounded by the edges that have it on one side: an odd number of them
        // crossed to the right means inside.
        std::vector<uint8_t> parity(layer.fills.size() + 1, 0);
        for (const Edge& e : layer.edges) {
            forEachSegment(e, [&](Point a, Point b) {
                if (!crossesRayRight(a, b, p)) return;
                if (e.fill0 < parity.size()) parity[e.fill0] ^= 1;
                if (e.fill1 < parity.size()) parity[e.fill1] ^= 1;
            });
            if (e.line == 0 || e.line > layer.lines.size()) continue;
            const float half = std::max(float(layer.lines[e.line - 1].width), kHairlineTwips) / 2;
            bool onStroke = false;
            forEachSegment(e, [&](Point a, Point b) { onStroke = onStroke || distanceSquared(a, b, p) <= half * half; });
            if (onStroke) return true;
        }
        for (size_t f = 1; f < parity.size(); ++f)
            if (parity[f]) return true;
    }
    return false;
}

bool clipContains(const Clip& clip, Point p) {
    for (auto it = clip.displayList().rbegin(); it != clip.displayList().rend(); ++it) {
        const DisplayObject& obj = *it->second;
        const DisplayState& s = obj.state();
        if (!s.visible || s.clipDepth > 0) continue;
        const std::optional<Matrix> toLocal = inverted(s.matrix);
        if (toLocal && obj.hitTest(toLocal->apply(p))) return true;
    }
    return false;
}

}  // namespace swf
