#include "clip_bounds.h"

#include <cmath>
#include <map>

#include "display/morph_display.h"

namespace swf {
namespace {

void addBox(Bounds& b, double x0, double y0, double x1, double y1, const Matrix& m) {
    const double xs[] = {x0, x1, x0, x1}, ys[] = {y0, y0, y1, y1};
    for (int i = 0; i < 4; ++i) {
        // In double: a script may scale a clip far past what a float keeps exactly.
        double x = double(m.a) * xs[i] + double(m.c) * ys[i] + m.tx;
        double y = double(m.b) * xs[i] + double(m.d) * ys[i] + m.ty;
        b.add(std::round(x), std::round(y));  // whole twips, as the original keeps them
    }
}

void addRect(Bounds& b, const Rect& r, const Matrix& m) {
    if (r.xMax < r.xMin || r.yMax < r.yMin) return;
    addBox(b, r.xMin, r.yMin, r.xMax, r.yMax, m);
}

void merge(Bounds& into, const Bounds& b) {
    if (b.empty) return;
    into.add(b.xMin, b.yMin);
    into.add(b.xMax, b.yMax);
}

const Shape* shapeOf(const DisplayObject& obj) {
    const Character* c = obj.character();
    if (c->kind == CharacterKind::Shape) return &static_cast<const ShapeCharacter&>(*c).shape;
    if (c->kind == CharacterKind::Morph) return static_cast<const MorphDisplay&>(obj).shape();
    return nullptr;
}

// Ray to the right of `p`: a fill whose edges it crosses an odd number of times holds it.
bool shapeHits(const Shape& shape, Point p) {
    for (const ShapeLayer& layer : shape.layers) {
        std::map<uint16_t, int> crossings;
        auto cross = [&](Point a, Point b, const Edge& e) {
            if ((a.y > p.y) == (b.y > p.y)) return;
            float x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (x <= p.x) return;
            if (e.fill0) ++crossings[e.fill0];
            if (e.fill1 && e.fill1 != e.fill0) ++crossings[e.fill1];
        };
        for (const Edge& e : layer.edges) {
            if (e.fill0 == e.fill1) continue;
            if (!e.curved) {
                cross(e.from, e.to, e);
                continue;
            }
            Point prev = e.from;
            constexpr int kSteps = 8;
            for (int i = 1; i <= kSteps; ++i) {
                float t = float(i) / kSteps, u = 1 - t;
                Point q{u * u * e.from.x + 2 * u * t * e.control.x + t * t * e.to.x,
                        u * u * e.from.y + 2 * u * t * e.control.y + t * t * e.to.y};
                cross(prev, q, e);
                prev = q;
            }
        }
        for (const auto& [fill, count] : crossings)
            if (count % 2) return true;
    }
    return false;
}

}  // namespace

bool invertMatrix(const Matrix& m, Matrix& out) {
    double det = double(m.a) * m.d - double(m.b) * m.c;
    if (det == 0 || !std::isfinite(det)) return false;
    out.a = float(m.d / det);
    out.b = float(-m.b / det);
    out.c = float(-m.c / det);
    out.d = float(m.a / det);
    out.tx = float((double(m.c) * m.ty - double(m.d) * m.tx) / det);
    out.ty = float((double(m.b) * m.tx - double(m.a) * m.ty) / det);
    return true;
}


Bounds objectBounds(const DisplayObject& obj, const Matrix& parent) {
    Bounds b;
    const Matrix m = parent * obj.state().matrix;
    if (Clip* clip = obj.clip()) {
        // The child's box in its own space, boxed again through the transform (the original
        // boxes level by level, so a rotated child reports the box of its box).
        Bounds inner = clipBounds(*clip, Matrix{});
        if (inner.empty) return b;
        addBox(b, inner.xMin, inner.yMin, inner.xMax, inner.yMax, m);
        return b;
    }
    const Character& c = *obj.character();
    switch (c.kind) {
        case CharacterKind::Shape:
        case CharacterKind::Morph:
            if (const Shape* s = shapeOf(obj)) addRect(b, s->bounds, m);
            break;
        case CharacterKind::Text: addRect(b, static_cast<const TextCharacter&>(c).bounds, m); break;
        case CharacterKind::EditText: addRect(b, static_cast<const EditTextCharacter&>(c).bounds, m); break;
        case CharacterKind::Bitmap: {
            const auto& bitmap = static_cast<const BitmapCharacter&>(c).bitmap;
            if (bitmap) addRect(b, Rect{0, bitmap->width * 20, 0, bitmap->height * 20}, m);
            break;
        }
        default: break;
    }
    return b;
}

Bounds clipBounds(const Clip& clip, const Matrix& m) {
    Bounds b;
    for (const auto& [depth, obj] : clip.displayList()) merge(b, objectBounds(*obj, m));
    return b;
}

Matrix clipToStage(Clip& clip) {
    Matrix m;
    Clip* c = &clip;
    for (int guard = 0; c && guard < 64; ++guard) {
        DisplayObject* shown = c->displayObject();
        if (shown) m = shown->state().matrix * m;
        else if (!c->parent()) m = c->host().rootState.matrix * m;
        c = c->parent();
    }
    return m;
}

Point globalToLocal(Clip& clip, Point stagePoint) {
    Matrix inverse;
    if (!invertMatrix(clipToStage(clip), inverse)) return stagePoint;
    return inverse.apply(stagePoint);
}

void followDrag(ClipHost& host) {
    std::shared_ptr<Clip> clip = host.drag.clip.lock();
    DisplayObject* shown = clip ? clip->displayObject() : nullptr;
    if (!shown || !clip->parent()) return;
    Point p = globalToLocal(*clip->parent(), host.mouse);
    double x = double(p.x) + host.drag.offset.x, y = double(p.y) + host.drag.offset.y;
    if (host.drag.constrained) {
        const Rect& r = host.drag.bounds;
        x = std::clamp(x, double(r.xMin), double(r.xMax));
        y = std::clamp(y, double(r.yMin), double(r.yMax));
    }
    DisplayState& s = shown->state();
    s.matrix.tx = float(std::round(x));
    s.matrix.ty = float(std::round(y));
    s.transformedByScript = true;
    clip->markChanged();
}

bool clipHitsPoint(const Clip& clip, const Matrix& toStage, Point stagePoint) {
    for (const auto& [depth, object] : clip.displayList()) {
        const DisplayObject& obj = *object;
        if (!obj.state().visible || obj.state().clipDepth) continue;
        const Matrix m = toStage * obj.state().matrix;
        if (Clip* child = obj.clip()) {
            if (clipHitsPoint(*child, m, stagePoint)) return true;
            continue;
        }
        Matrix inverse;
        if (!invertMatrix(m, inverse)) continue;
        Point local = inverse.apply(stagePoint);
        if (const Shape* s = shapeOf(obj)) {
            if (shapeHits(*s, local)) return true;
            continue;
        }
        Bounds b = objectBounds(obj, toStage);
        if (!b.empty && stagePoint.x >= b.xMin && stagePoint.x <= b.xMax && stagePoint.y >= b.yMin &&
            stagePoint.y <= b.yMax)
            return true;
    }
    return false;
}

}  // namespace swf
