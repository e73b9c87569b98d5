#include "freetype_outline.h"

#include FT_OUTLINE_H

#include <text/outline_builder.h>

namespace swf {
namespace {

struct Decomposer {
    OutlineBuilder out;
    Point pen;
    static Point at(const FT_Vector* v) { return {float(v->x), -float(v->y)}; }
};

Decomposer& of(void* user) { return *static_cast<Decomposer*>(user); }

int moveTo(const FT_Vector* to, void* user) {
    of(user).pen = Decomposer::at(to);
    of(user).out.moveTo(of(user).pen);
    return 0;
}
int lineTo(const FT_Vector* to, void* user) {
    of(user).pen = Decomposer::at(to);
    of(user).out.lineTo(of(user).pen);
    return 0;
}
int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    of(user).pen = Decomposer::at(to);
    of(user).out.quadTo(Decomposer::at(control), of(user).pen);
    return 0;
}
// A cubic (CFF faces) as two quadratics, one per half: close enough at text sizes. Each half's
// control is (3 * (c1 + c2) - (start + end)) / 4 of that half's own cubic points.
int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    Decomposer& d = of(user);
    Point p0 = d.pen, p1 = Decomposer::at(c1), p2 = Decomposer::at(c2), p3 = Decomposer::at(to);
    auto mid = [](Point a, Point c) { return Point{(a.x + c.x) / 2, (a.y + c.y) / 2}; };
    Point m01 = mid(p0, p1), m12 = mid(p1, p2), m23 = mid(p2, p3);
    Point m012 = mid(m01, m12), m123 = mid(m12, m23), half = mid(m012, m123);
    auto control = [](Point s, Point a, Point b, Point e) {
        return Point{(3 * (a.x + b.x) - (s.x + e.x)) / 4, (3 * (a.y + b.y) - (s.y + e.y)) / 4};
    };
    d.out.quadTo(control(p0, m01, m012, half), half);
    d.out.quadTo(control(half, m123, m23, p3), p3);
    d.pen = p3;
    return 0;
}

}  // namespace

Shape shapeFromOutline(const FT_Outline& outline) {
    FT_Outline_Funcs funcs{};
    funcs.move_to = moveTo;
    funcs.line_to = lineTo;
    funcs.conic_to = conicTo;
    funcs.cubic_to = cubicTo;
    Decomposer d;
    FT_Outline copy = outline;
    if (FT_Outline_Decompose(&copy, &funcs, &d) != 0) return Shape{};
    return d.out.finish();
}

}  // namespace swf
