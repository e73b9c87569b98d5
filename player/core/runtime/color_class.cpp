// Color: a clip's colour transform as scripts set it. The instance keeps its `target` (a clip
// or a path) and looks the clip up on every call, so a path names whatever clip is there now.
#include "avm1/interpreter.h"
#include "avm1/native_class.h"
#include "clip_object.h"
#include "script_runtime.h"

namespace swf {
namespace {

using avm1::Arguments;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

// The colour transform of the clip the Color targets; null when it names none, or the root
// (which has no placement of its own). With `owner` (a change follows) the clip is marked as
// transformed by script.
ColorTransform* targetTransform(Vm& vm, const Value& self, Clip** owner = nullptr) {
    Object* color = self.asObject();
    if (!color) return nullptr;
    Value target = vm.getMember(color, "target");
    Object* object = target.asObject();
    if (!object && target.isString()) object = vm.interpreter().resolveTarget(target.asString());
    auto* clipObject = dynamic_cast<ClipObject*>(object);
    Clip* clip = clipObject ? clipObject->clip() : nullptr;
    DisplayObject* shown = clip ? clip->displayObject() : nullptr;
    if (!shown) return nullptr;
    if (owner) {
        // A colour a script set stays when the timeline would tint the clip again.
        shown->state().transformedByScript = true;
        *owner = clip;
    }
    return &shown->state().colorTransform;
}

// Fields hold 8.8 multipliers and whole offsets, converted like integers in the original:
// NaN and infinities give 0, larger values wrap (a 12800 % multiplier becomes -12800 %).
int16_t wrapped(Vm& vm, double v) { return int16_t(vm.toInt32(Value::number(v))); }

Value construct(Vm&, const Value& self, const Arguments& args) {
    if (Object* o = self.asObject()) o->define("target", args[0], avm1::kDontEnum | avm1::kDontDelete | avm1::kReadOnly);
    return Value();
}

// 0xRRGGBB as the offsets, the multipliers zeroed; alpha is left alone.
Value setRGB(Vm& vm, const Value& self, const Arguments& args) {
    Clip* clip = nullptr;
    ColorTransform* cx = targetTransform(vm, self, &clip);
    if (!cx) return Value();
    const uint32_t rgb = uint32_t(vm.toInt32(args[0]));
    cx->rMul = cx->gMul = cx->bMul = 0;
    cx->rAdd = int16_t(rgb >> 16 & 0xff);
    cx->gAdd = int16_t(rgb >> 8 & 0xff);
    cx->bAdd = int16_t(rgb & 0xff);
    clip->markChanged();
    return Value();
}

// The offsets packed as 0xRRGGBB, ORed as signed numbers: negative offsets give negative results.
Value getRGB(Vm& vm, const Value& self, const Arguments&) {
    ColorTransform* cx = targetTransform(vm, self);
    if (!cx) return Value();
    int32_t rgb = int32_t(uint32_t(int32_t(cx->rAdd)) << 16) | int32_t(uint32_t(int32_t(cx->gAdd)) << 8) | cx->bAdd;
    return Value::number(rgb);
}

struct Field {
    const char* multiplier;  // percent
    const char* offset;
    int16_t ColorTransform::*mul;
    int16_t ColorTransform::*add;
};
constexpr Field kFields[] = {
    {"ra", "rb", &ColorTransform::rMul, &ColorTransform::rAdd},
    {"ga", "gb", &ColorTransform::gMul, &ColorTransform::gAdd},
    {"ba", "bb", &ColorTransform::bMul, &ColorTransform::bAdd},
    {"aa", "ab", &ColorTransform::aMul, &ColorTransform::aAdd},
};

Value getTransform(Vm& vm, const Value& self, const Arguments&) {
    ColorTransform* cx = targetTransform(vm, self);
    if (!cx) return Value();
    Object* out = vm.newObject();
    for (const Field& f : kFields) {
        vm.setMember(out, f.multiplier, Value::number(cx->*f.mul * 100.0 / 256.0));
        vm.setMember(out, f.offset, Value::number(cx->*f.add));
    }
    return Value::object(out);
}

// Only the fields the object itself has change: inherited ones (Object.prototype.ab) do not.
Value setTransform(Vm& vm, const Value& self, const Arguments& args) {
    Clip* clip = nullptr;
    ColorTransform* cx = targetTransform(vm, self, &clip);
    Object* in = args[0].asObject();
    if (!cx || !in) return Value();
    for (const Field& f : kFields) {
        if (in->hasOwn(f.multiplier, vm.names()))
            cx->*f.mul = wrapped(vm, vm.toNumber(vm.getMember(in, f.multiplier)) * 256.0 / 100.0);
        if (in->hasOwn(f.offset, vm.names())) cx->*f.add = wrapped(vm, vm.toNumber(vm.getMember(in, f.offset)));
    }
    clip->markChanged();
    return Value();
}

}  // namespace

void registerColorClass(Vm& vm) {
    avm1::NativeFunction* ctor = avm1::defineClass(vm, vm.global(), {"Color", nullptr, construct, nullptr, nullptr});
    Object* proto = avm1::prototypeOf(vm, ctor);
    avm1::defineMethod(vm, proto, "setRGB", setRGB);
    avm1::defineMethod(vm, proto, "getRGB", getRGB);
    avm1::defineMethod(vm, proto, "setTransform", setTransform);
    avm1::defineMethod(vm, proto, "getTransform", getTransform);
}

}  // namespace swf
