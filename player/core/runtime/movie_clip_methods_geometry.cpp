// MovieClip methods about space: getBounds, getRect, localToGlobal, globalToLocal, hitTest,
// startDrag and stopDrag.
// Scripts give and get pixels; the display list keeps twips.
#include <cmath>

#include "avm1/activation.h"
#include "avm1/interpreter.h"
#include "avm1/native_class.h"
#include "clip_bounds.h"
#include "clip_hit_test.h"
#include "clip_object.h"
#include "movie_clip_methods.h"
#include "script_runtime.h"

namespace swf {
namespace {

using avm1::Arguments;
using avm1::Value;
using avm1::Vm;

// The way back from the stage moves by whole twips in the original: (225.4, 269.75) in a clip
// turned 25 degrees at a quarter size comes back as (210, 209.95), not (210, 209.9).
bool inverseToWholeTwips(const Matrix& m, Matrix& inverse) {
    if (!invertMatrix(m, inverse)) return false;
    inverse.tx = std::round(inverse.tx);
    inverse.ty = std::round(inverse.ty);
    return true;
}

// The version of the movie whose script calls: a SWF 8 movie loaded into a SWF 7 one calls
// with 8. The running activation's own clip tells; the Vm's version when none does.
int callerMovieVersion(Vm& vm) {
    const std::vector<avm1::Activation*>& running = vm.interpreter().activations();
    if (running.empty()) return vm.swfVersion();
    avm1::Object* base = running.back()->originalTarget ? running.back()->originalTarget : running.back()->target;
    auto* object = dynamic_cast<ClipObject*>(base);
    Clip* clip = object ? object->clip() : nullptr;
    return clip ? clip->movie().version : vm.swfVersion();
}

// A target given as a clip, or as anything else turned into a path from `self` (getBounds(undefined)
// finds a child named "undefined"); "" names nothing here, not the clip itself.
ClipObject* clipObjectOrPath(Vm& vm, ClipObject& self, const Value& target) {
    if (ClipObject* clip = clipObjectOf(target)) return clip;
    const std::string path = vm.toString(target);
    return path.empty() ? nullptr : clipObjectOf(vm.interpreter().resolvePath(&self, path, false));
}

Bounds boxThrough(const Bounds& b, const Matrix& m) {
    Bounds out;
    if (b.empty) return out;
    for (double x : {b.xMin, b.xMax})
        for (double y : {b.yMin, b.yMax})
            out.add(std::round(double(m.a) * x + double(m.c) * y + m.tx), std::round(double(m.b) * x + double(m.d) * y + m.ty));
    return out;
}

Value boundsIn(Vm& vm, const Value& s, const Arguments& args) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    if (!clip) return Value();
    self->runtime().noteBoundsCallVersion(callerMovieVersion(vm));
    Bounds b = clipBounds(*clip, Matrix{});
    bool seenFromAnotherClip = false;
    if (!args.empty()) {
        ClipObject* target = clipObjectOrPath(vm, *self, args[0]);
        Clip* targetClip = target ? target->clip() : nullptr;
        if (!targetClip) return Value();
        Matrix inverse;
        if (!inverseToWholeTwips(clipToStage(*targetClip), inverse)) return Value();
        // The clip's own box goes through the whole way from the clip to the target at once, boxed
        // only there: a box measured in a child turned by a skew is not boxed on the stage first.
        seenFromAnotherClip = targetClip != clip;
        if (seenFromAnotherClip) b = boxThrough(b, inverse * clipToStage(*clip));
    }
    avm1::Object* out = vm.newObject();
    const double emptyEdge = self->runtime().emptyBoundsEdge(seenFromAnotherClip);
    auto edge = [&](const char* name, double twips) {
        vm.setMember(out, name, Value::number(b.empty ? emptyEdge : twips / 20));
    };
    edge("xMin", b.xMin);
    edge("xMax", b.xMax);
    edge("yMin", b.yMin);
    edge("yMax", b.yMax);
    return Value::object(out);
}

// Converts the object's x and y in place, through `m` (in twips).
void convertPoint(Vm& vm, const Value& pointValue, const Matrix& m) {
    avm1::Object* point = pointValue.asObject();
    // Only a point of its own two numbers moves: {x: 10} with y on a prototype, or y null,
    // true or "10", stays as it is.
    if (!point || !point->hasOwn("x", vm.names()) || !point->hasOwn("y", vm.names())) return;
    Value xv = vm.getMember(point, "x"), yv = vm.getMember(point, "y");
    if (!xv.isNumber() || !yv.isNumber()) return;
    // Whole twips in and out, as the original keeps points: a point converted back and forth
    // drifts by twips (225.4, 269.75 comes back as 210, 209.95).
    double x = std::round(vm.toNumber(xv) * 20), y = std::round(vm.toNumber(yv) * 20);
    double gx = std::round(double(m.a) * x + double(m.c) * y + m.tx);
    double gy = std::round(double(m.b) * x + double(m.d) * y + m.ty);
    vm.setMember(point, "x", Value::number(gx / 20));
    vm.setMember(point, "y", Value::number(gy / 20));
}

Value localToGlobal(Vm& vm, const Value& s, const Arguments& args) {
    ClipObject* self = clipObjectOf(s);
    if (Clip* clip = self ? self->clip() : nullptr) convertPoint(vm, args[0], clipToStage(*clip));
    return Value();
}

Value globalToLocal(Vm& vm, const Value& s, const Arguments& args) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    Matrix inverse;
    if (clip && inverseToWholeTwips(clipToStage(*clip), inverse)) convertPoint(vm, args[0], inverse);
    return Value();
}

// hitTest(x, y[, shapeFlag]) with a stage point, or hitTest(target): the two boxes on the stage overlap.
Value hitTest(Vm& vm, const Value& s, const Arguments& args) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    if (!clip || args.empty()) return Value();
    Matrix toStage = clipToStage(*clip);
    if (args.size() >= 2) {
        double x = vm.toNumber(args[0]) * 20, y = vm.toNumber(args[1]) * 20;
        if (!std::isfinite(x) || !std::isfinite(y)) return Value::boolean(false);
        HitTestRules rules;
        rules.shapes = vm.toBoolean(args[2]);
        rules.skipHidden = false;
        // The point is in the root's coordinates: a turned _root turns the boxes it is tested against.
        Clip* root = clip;
        while (root->parent()) root = root->parent();
        const Point stage = clipToStage(*root).apply(Point{float(x), float(y)});
        return Value::boolean(clipHitsStagePoint(*clip, stage, rules));
    }
    ClipObject* other = args[0].isString() ? clipObjectOrPath(vm, *self, args[0]) : clipObjectOf(args[0]);
    Clip* otherClip = other ? other->clip() : nullptr;
    if (!otherClip) return Value::boolean(false);
    Bounds a = clipBounds(*clip, toStage), b = clipBounds(*otherClip, clipToStage(*otherClip));
    return Value::boolean(!a.empty && !b.empty && a.xMin <= b.xMax && b.xMin <= a.xMax && a.yMin <= b.yMax &&
                          b.yMin <= a.yMax);
}

// startDrag([lockCenter, left, top, right, bottom]) and stopDrag().
Value startDrag(Vm& vm, const Value& s, const Arguments& args) {
    ClipObject* self = clipObjectOf(s);
    if (!self) return Value();
    double bounds[4];
    const bool constrained = args.size() >= 5;
    for (size_t i = 0; constrained && i < 4; ++i) bounds[i] = vm.toNumber(args[i + 1]);
    self->startDrag(vm.toBoolean(args[0]), constrained ? bounds : nullptr);
    return Value();
}

Value stopDrag(Vm&, const Value& s, const Arguments&) {
    if (ClipObject* self = clipObjectOf(s)) self->stopDrag();
    return Value();
}

}  // namespace

void registerGeometryMethods(Vm& vm, avm1::Object* proto) {
    avm1::defineMethod(vm, proto, "getBounds", boundsIn);
    avm1::defineMethod(vm, proto, "getRect", boundsIn);
    avm1::defineMethod(vm, proto, "localToGlobal", localToGlobal);
    avm1::defineMethod(vm, proto, "globalToLocal", globalToLocal);
    avm1::defineMethod(vm, proto, "hitTest", hitTest);
    avm1::defineMethod(vm, proto, "startDrag", startDrag);
    avm1::defineMethod(vm, proto, "stopDrag", stopDrag);
}

}  // namespace swf
