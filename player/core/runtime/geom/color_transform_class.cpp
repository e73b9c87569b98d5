// flash.geom.ColorTransform: eight numbers kept as given (no clamping: 1000 stays 1000),
// multipliers as fractions and offsets in colour steps; `rgb` reads and writes the offsets
// with the multipliers cleared.
#include <cmath>

#include "../avm1/native_class.h"
#include "geom_classes.h"
#include "script_values.h"

namespace swf::geom {
namespace {

using avm1::Arguments;

class ColorTransformObject final : public Object {
public:
    using Object::Object;
    ScriptColorTransform values;
};

Object* makeInstance(Vm& vm, Object* proto) { return vm.heap().make<ColorTransformObject>(proto); }

ColorTransformObject* own(const Value& v) { return avm1::nativeAs<ColorTransformObject>(v); }

using Field = double ScriptColorTransform::*;
struct Named {
    const char* name;
    Field field;
};
// In the order of the constructor's arguments and of toString.
constexpr Named kFields[] = {
    {"redMultiplier", &ScriptColorTransform::rMul}, {"greenMultiplier", &ScriptColorTransform::gMul},
    {"blueMultiplier", &ScriptColorTransform::bMul}, {"alphaMultiplier", &ScriptColorTransform::aMul},
    {"redOffset", &ScriptColorTransform::rAdd},      {"greenOffset", &ScriptColorTransform::gAdd},
    {"blueOffset", &ScriptColorTransform::bAdd},     {"alphaOffset", &ScriptColorTransform::aAdd},
};

Value construct(Vm& vm, const Value& self, const Arguments& args) {
    ColorTransformObject* o = own(self);
    if (!o) return Value();
    for (size_t i = 0; i < std::size(kFields); ++i)
        if (i < args.size()) o->values.*kFields[i].field = vm.toNumber(args[i]);
    return Value();
}

template <size_t I>
Value getField(Vm&, const Value& self, const Arguments&) {
    ColorTransformObject* o = own(self);
    return o ? Value::number(o->values.*kFields[I].field) : Value();
}

template <size_t I>
Value setField(Vm& vm, const Value& self, const Arguments& args) {
    if (ColorTransformObject* o = own(self)) o->values.*kFields[I].field = vm.toNumber(args[0]);
    return Value();
}

// The offsets as one colour: each converted to an integer and packed (no masking, as the
// original: an offset of 256 spills into the channel above).
int32_t packedOffset(double v) {
    if (!std::isfinite(v)) return 0;
    return int32_t(int64_t(std::fmod(std::trunc(v), 4294967296.0)));
}

Value rgb(Vm&, const Value& self, const Arguments&) {
    ColorTransformObject* o = own(self);
    if (!o) return Value();
    const uint32_t packed = uint32_t(packedOffset(o->values.rAdd)) << 16 | uint32_t(packedOffset(o->values.gAdd)) << 8 |
                            uint32_t(packedOffset(o->values.bAdd));
    return Value::number(packed);
}

Value setRgb(Vm& vm, const Value& self, const Arguments& args) {
    ColorTransformObject* o = own(self);
    if (!o) return Value();
    const uint32_t color = vm.toUint32(args[0]);
    o->values.rAdd = color >> 16 & 0xff;
    o->values.gAdd = color >> 8 & 0xff;
    o->values.bAdd = color & 0xff;
    o->values.rMul = o->values.gMul = o->values.bMul = 0;
    return Value();
}

// this = this after `second`: second's offsets pass through this transform's multipliers.
Value concat(Vm&, const Value& self, const Arguments& args) {
    ColorTransformObject* o = own(self);
    ColorTransformObject* second = own(args[0]);
    if (!o || !second) return Value();
    ScriptColorTransform& a = o->values;
    const ScriptColorTransform& b = second->values;
    a.rAdd += b.rAdd * a.rMul;
    a.gAdd += b.gAdd * a.gMul;
    a.bAdd += b.bAdd * a.bMul;
    a.aAdd += b.aAdd * a.aMul;
    a.rMul *= b.rMul;
    a.gMul *= b.gMul;
    a.bMul *= b.bMul;
    a.aMul *= b.aMul;
    return Value();
}

Value toString(Vm& vm, const Value& self, const Arguments&) {
    std::string text = "(";
    for (size_t i = 0; i < std::size(kFields); ++i) {
        if (i) text += ", ";
        text += std::string(kFields[i].name) + "=" + vm.toString(get(vm, self, kFields[i].name));
    }
    return vm.newString(text + ")");
}

template <size_t... I>
void defineFields(Vm& vm, Object* proto, std::index_sequence<I...>) {
    // Enumerable, listed newest first: alphaMultiplier is defined first, as the original lists them.
    constexpr size_t order[] = {3, 0, 1, 2, 7, 4, 5, 6};
    constexpr avm1::NativeFn getters[] = {getField<I>...};
    constexpr avm1::NativeFn setters[] = {setField<I>...};
    for (size_t i : order) avm1::defineNativeProperty(vm, proto, kFields[i].name, getters[i], setters[i], 0);
}

}  // namespace

ScriptColorTransform toScript(const ColorTransform& c) {
    return {c.rMul / 256.0, c.gMul / 256.0, c.bMul / 256.0, c.aMul / 256.0,
            double(c.rAdd), double(c.gAdd), double(c.bAdd), double(c.aAdd)};
}

ColorTransform toDisplay(const ScriptColorTransform& c) {
    auto fixed = [](double v, double unit) {
        const double scaled = std::trunc(v * unit);
        return int16_t(std::isfinite(scaled) ? std::clamp(scaled, -32768.0, 32767.0) : 0);
    };
    return {fixed(c.rMul, 256), fixed(c.gMul, 256), fixed(c.bMul, 256), fixed(c.aMul, 256),
            fixed(c.rAdd, 1),   fixed(c.gAdd, 1),   fixed(c.bAdd, 1),   fixed(c.aAdd, 1)};
}

Value makeColorTransform(Vm& vm, const ScriptColorTransform& c) {
    const Value made = constructGeom(vm, "ColorTransform", {});
    if (ColorTransformObject* o = own(made)) o->values = c;
    return made;
}

std::optional<ScriptColorTransform> colorTransformOf(Vm&, const Value& v) {
    if (ColorTransformObject* o = own(v)) return o->values;
    return std::nullopt;
}

void registerColorTransformClass(Vm& vm) {
    auto* ctor = avm1::defineClass(vm, flashPackage(vm, "geom"), {"ColorTransform", nullptr, construct, makeInstance, nullptr});
    Object* proto = avm1::prototypeOf(vm, ctor);
    defineFields(vm, proto, std::make_index_sequence<std::size(kFields)>{});
    avm1::defineNativeProperty(vm, proto, "rgb", rgb, setRgb, 0);
    avm1::defineMethod(vm, proto, "concat", concat, 0);
    avm1::defineMethod(vm, proto, "toString", toString, 0);
}

}  // namespace swf::geom
