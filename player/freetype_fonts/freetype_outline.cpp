#include "freetype_outline.h"

#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

struct Builder {
    ShapeLayer layer;
    Point pen, start;
    bool open = false;

    static Point at(const FT_Vector* v) { return {float(v->x), -float(v->y)}; }

    void close() {
        if (open && pen != start) line(start);
        open = false;
    }
    void line(Point to) {
        Edge e;
        e.from = pen;
        e.to = to;
        e.fill1 = 1;
        layer.edges.push_back(e);
        pen = to;
    }
    void quad(Point control, Point to) {
        Edge e;
        e.from = pen;
        e.control = control;
        e.to = to;
        e.curved = true;
        e.fill1 = 1;
        layer.edges.push_back(e);
        pen = to;
    }
};

int moveTo(const FT_Vector* to, void* user) {
    auto* b = static_cast<Builder*>(user);
    b->close();
    b->pen = b->start = Builder::at(to);
    b->open = true;
    return 0;
}
int lineTo(const FT_Vector* to, void* user) {
    static_cast<Builder*>(user)->line(Builder::at(to));
    return 0;
}
int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    static_cast<Builder*>(user)->quad(Builder::at(control), Builder::at(to));
    return 0;
}
// A cubic as two quadratics, split at its middle: close enough at text sizes.
int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* b = static_cast<Builder*>(user);
    Point p0 = b->pen, p1 = Builder::at(c1), p2 = Builder::at(c2), p3 = Builder::at(to);
    auto mid = [](Point a, Point c) { return Point{(a.x + c.x) / 2, (a.y + c.y) / 2}; };
    Point m01 = mid(p0, p1), m12 = mid(p1, p2), m23 = mid(p2, p3);
    Point m012 = mid(m01, m12), m123 = mid(m12, m23), half = mid(m012, m123);
    // Each half's quadratic control: where its end tangents meet, approximated by
    // (3 * (c_a + c_b) - (p_start + p_end)) / 4 of the half's own cubic points.
    Point a0 = p0, a1 = m01, a2 = m012, a3 = half;
    Point b0 = half, b1 = m123, b2 = m23, b3 = p3;
    auto control = [](Point s, Point c1_, Point c2_, Point e) {
        return Point{(3 * (c1_.x + c2_.x) - (s.x + e.x)) / 4, (3 * (c1_.y + c2_.y) - (s.y + e.y)) / 4};
    };
    b->quad(control(a0, a1, a2, a3), a3);
    b->quad(control(b0, b1, b2, b3), b3);
    return 0;
}

}  // namespace

Shape shapeFromOutline(const FT_Outline& outline) {
    FT_Outline_Funcs funcs{};
    funcs.move_to = moveTo;
    funcs.line_to = lineTo;
    funcs.conic_to = conicTo;
    funcs.cubic_to = cubicTo;
    Builder b;
    b.layer.fills.push_back(FillStyle{});
    FT_Outline copy = outline;
    if (FT_Outline_Decompose(&copy, &funcs, &b) != 0) return Shape{};
    b.close();
    Shape shape;
    shape.nonZeroWinding = true;
    if (!b.layer.edges.empty()) {
        float x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
        for (const Edge& e : b.layer.edges)
            for (const Point& p : {e.from, e.to, e.curved ? e.control : e.from}) {
                x0 = std::min(x0, p.x);
                x1 = std::max(x1, p.x);
                y0 = std::min(y0, p.y);
                y1 = std::max(y1, p.y);
            }
        shape.bounds = {int32_t(std::floor(x0)), int32_t(std::ceil(x1)), int32_t(std::floor(y0)), int32_t(std::ceil(y1))};
        shape.layers.push_back(std::move(b.layer));
    }
    return shape;
}

}  // namespace swf
