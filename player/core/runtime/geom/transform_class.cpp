#include "transform_class.h"

#include <cmath>
#include <memory>

#include "../avm1/native_class.h"
#include "../clip_bounds.h"
#include "../clip_object.h"
#include "geom_classes.h"
#include "script_values.h"

namespace swf::geom {
namespace {

using avm1::Arguments;

class TransformObject final : public Object {
public:
    using Object::Object;
    std::weak_ptr<Clip> clip;
};

Object* makeInstance(Vm& vm, Object* proto) { return vm.heap().make<TransformObject>(proto); }

Clip* clipOf(const Value& v) {
    auto* o = avm1::nativeAs<TransformObject>(v);
    return o ? o->clip.lock().get() : nullptr;
}

// new Transform(clip); without a live clip there is no object at all (new Transform() is undefined).
Value construct(Vm&, const Value& self, const Arguments& args) {
    auto* o = avm1::nativeAs<TransformObject>(self);
    auto* target = dynamic_cast<ClipObject*>(args[0].asObject());
    if (!o || !target || !target->clip()) return Value::null();
    o->clip = target->clip()->shared_from_this();
    return Value();
}

void changed(Clip& clip, DisplayState& state) {
    state.transformedByScript = true;
    clip.markChanged();
}

Value matrix(Vm& vm, const Value& self, const Arguments&) {
    Clip* c = clipOf(self);
    DisplayState* s = c ? scriptState(*c) : nullptr;
    return s ? makeMatrix(vm, s->matrix) : Value();
}

Value setMatrix(Vm& vm, const Value& self, const Arguments& args) {
    Clip* c = clipOf(self);
    DisplayState* s = c ? scriptState(*c) : nullptr;
    const std::optional<Matrix> m = s ? matrixOf(vm, args[0]) : std::nullopt;
    if (!m) return Value();
    s->matrix = *m;
    s->matrix.tx = std::trunc(s->matrix.tx);  // whole twips, as _x stores them
    s->matrix.ty = std::trunc(s->matrix.ty);
    s->scripted.valid = false;
    changed(*c, *s);
    return Value();
}

Value concatenatedMatrix(Vm& vm, const Value& self, const Arguments&) {
    Clip* c = clipOf(self);
    return c ? makeMatrix(vm, clipToStage(*c)) : Value();
}

Value colorTransform(Vm& vm, const Value& self, const Arguments&) {
    Clip* c = clipOf(self);
    DisplayState* s = c ? scriptState(*c) : nullptr;
    return s ? makeColorTransform(vm, toScript(s->colorTransform)) : Value();
}

Value setColorTransform(Vm& vm, const Value& self, const Arguments& args) {
    Clip* c = clipOf(self);
    DisplayState* s = c ? scriptState(*c) : nullptr;
    const std::optional<ScriptColorTransform> cx = s ? colorTransformOf(vm, args[0]) : std::nullopt;
    if (!cx) return Value();
    s->colorTransform = toDisplay(*cx);
    changed(*c, *s);
    return Value();
}

Value concatenatedColorTransform(Vm& vm, const Value& self, const Arguments&) {
    Clip* c = clipOf(self);
    if (!c) return Value();
    ColorTransform total;
    int guard = 0;
    for (Clip* at = c; at && guard < 64; at = at->parent(), ++guard)
        if (DisplayState* s = scriptState(*at)) total = s->colorTransform * total;  // wraps (geometry.h)
    return makeColorTransform(vm, toScript(total));
}

// The clip's box on the stage, in pixels.
Value pixelBounds(Vm& vm, const Value& self, const Arguments&) {
    Clip* c = clipOf(self);
    if (!c) return Value();
    const Bounds b = clipBounds(*c, clipToStage(*c));
    if (b.empty) return makeRectangle(vm, 0, 0, 0, 0);
    const double x0 = std::floor(b.xMin / 20), y0 = std::floor(b.yMin / 20);
    return makeRectangle(vm, x0, y0, std::ceil(b.xMax / 20) - x0, std::ceil(b.yMax / 20) - y0);
}

Value ignoreWrite(Vm&, const Value&, const Arguments&) { return Value(); }

}  // namespace

DisplayState* scriptState(Clip& clip) {
    if (!clip.parent()) return &clip.host().rootState;
    DisplayObject* shown = clip.displayObject();
    return shown ? &shown->state() : nullptr;
}

Value makeTransform(Vm& vm, Clip& clip) {
    Object* ctor = vm.getMember(flashPackage(vm, "geom"), "Transform").asObject();
    Object* proto = ctor ? vm.getMember(ctor, "prototype").asObject() : nullptr;
    if (!proto) return Value();
    auto* o = vm.heap().make<TransformObject>(proto);
    vm.initInstance(o, ctor);
    o->clip = clip.shared_from_this();
    return Value::object(o);
}

void assignTransform(Vm&, Clip& clip, const Value& value) {
    Clip* from = clipOf(value);
    DisplayState* source = from ? scriptState(*from) : nullptr;
    DisplayState* target = scriptState(clip);
    if (!source || !target) return;
    target->matrix = source->matrix;
    target->colorTransform = source->colorTransform;
    target->scripted.valid = false;
    changed(clip, *target);
}

void registerTransformClass(Vm& vm) {
    using avm1::defineNativeProperty;
    auto* ctor = avm1::defineClass(vm, flashPackage(vm, "geom"), {"Transform", nullptr, construct, makeInstance, nullptr});
    Object* proto = avm1::prototypeOf(vm, ctor);
    defineNativeProperty(vm, proto, "matrix", matrix, setMatrix);
    defineNativeProperty(vm, proto, "concatenatedMatrix", concatenatedMatrix, ignoreWrite);
    defineNativeProperty(vm, proto, "colorTransform", colorTransform, setColorTransform);
    defineNativeProperty(vm, proto, "concatenatedColorTransform", concatenatedColorTransform, ignoreWrite);
    defineNativeProperty(vm, proto, "pixelBounds", pixelBounds, ignoreWrite);
}

void registerGeomClasses(Vm& vm) {
    registerPointClass(vm);
    registerRectangleClass(vm);
    registerMatrixClass(vm);
    registerColorTransformClass(vm);
    registerTransformClass(vm);
}

}  // namespace swf::geom
