#include "clip_bounds.h"

#include <cmath>

#include "clip_hit_test.h"
#include "display/edit_text_display.h"
#include "text_field.h"

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
    return contentBounds(obj, parent * obj.state().matrix);
}

Bounds contentBounds(const DisplayObject& obj, const Matrix& m) {
    Bounds b;
    // A child clip's content goes through the whole transform down to its shapes: a clip
    // holding a turned and skewed child reports the box of those shapes, not of the child's box
    // (getBounds boxes again only between the clip and the target).
    if (Clip* clip = obj.clip()) return clipBounds(*clip, m);
    const Character& c = *obj.character();
    switch (c.kind) {
        case CharacterKind::Shape: addRect(b, static_cast<const ShapeCharacter&>(c).shape.bounds, m); break;
        // The original keeps a morph's start bounds whatever its ratio: a morph grown to twice
        // its size by ratio 0.5 still reports the box of its start shape.
        case CharacterKind::Morph: addRect(b, static_cast<const MorphCharacter&>(c).startBounds, m); break;
        case CharacterKind::Text: addRect(b, static_cast<const TextCharacter&>(c).bounds, m); break;
        case CharacterKind::EditText:
            // The running field's rectangle: autoSize and _width change it from the tag's.
            if (auto* field = dynamic_cast<const EditTextDisplay*>(&obj)) {
                field->text()->layout();
                addRect(b, field->text()->bounds, m);
            } else {
                addRect(b, static_cast<const EditTextCharacter&>(c).bounds, m);
            }
            break;
        case CharacterKind::Bitmap: {
            const auto& bitmap = static_cast<const BitmapCharacter&>(c).bitmap;
            if (bitmap) addRect(b, Rect{0, bitmap->width * 20, 0, bitmap->height * 20}, m);
            // A script's BitmapData (attachBitmap, a loaded picture) measures its own pixels.
            else if (const Rect own = obj.opaqueBackgroundBox(); !own.empty()) addRect(b, own, m);
            break;
        }
        default: break;
    }
    return b;
}

Bounds clipBounds(Clip& clip, const Matrix& m) {
    Bounds b;
    if (const Shape* drawing = clip.drawingForScripts(); drawing && !drawing->layers.empty()) addRect(b, drawing->bounds, m);
    for (const auto& [depth, obj] : clip.displayList()) merge(b, objectBounds(*obj, m));
    return b;
}

Matrix clipToRoot(const Clip& clip) {
    Matrix m;
    const Clip* c = &clip;
    for (int guard = 0; c && c->parent() && guard < 64; ++guard) {
        if (const DisplayObject* shown = c->displayObject()) m = shown->state().matrix * m;
        c = c->parent();
    }
    return m;
}

Matrix clipToStage(Clip& clip) {
    const Clip* root = &clip;
    for (int guard = 0; root->parent() && guard < 64; ++guard) root = root->parent();
    return root->parent() ? clipToRoot(clip) : clip.host().rootState.matrix * clipToRoot(clip);
}

bool isScriptMask(const Clip& clip) {
    std::shared_ptr<Clip> masked = clip.masking.lock();
    return masked && liveMask(*masked) == &clip;
}

const Clip* liveMask(const Clip& clip) {
    std::shared_ptr<Clip> mask = clip.mask.lock();
    return mask && !mask->removed && (mask->displayObject() || !mask->parent()) ? mask.get() : nullptr;
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
    Clip* root = clip.get();
    while (root->parent()) root = root->parent();
    Clip* target = topmostClipAt(*root, host.mouse, clip.get());
    host.drag.dropTarget = target ? target->weak_from_this() : std::weak_ptr<Clip>();
}

}  // namespace swf
