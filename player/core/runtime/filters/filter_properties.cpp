#include "filter_properties.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "../avm1/interpreter.h"
#include "../avm1/library_classes.h"
#include "../script_runtime.h"
#include "../geom/geom_classes.h"

namespace swf::filters {
namespace {

using avm1::Object;
using avm1::Value;
using avm1::Vm;

const char* const kNames[] = {
    "distance", "angle", "color", "alpha", "highlightColor", "highlightAlpha", "shadowColor", "shadowAlpha", "quality",
    "strength", "inner", "knockout", "hideObject", "blurX", "blurY", "type", "colors", "alphas", "ratios", "matrix",
    "matrixX", "matrixY", "divisor", "bias", "preserveAlpha", "clamp", "mapBitmap", "mapPoint", "componentX",
    "componentY", "scaleX", "scaleY", "mode",
};
static_assert(std::size(kNames) == size_t(FilterProperty::Count));

const char* const kSides[] = {"inner", "outer", "full"};
const char* const kModes[] = {"wrap", "clamp", "ignore", "color"};

// NaN clamps to the low end.
double clamped(double v, double low, double high) { return std::isnan(v) ? low : std::clamp(v, low, high); }

uint8_t alphaByte(Vm& vm, const Value& v) { return uint8_t(clamped(vm.toNumber(v), 0, 1) * 255); }

// Numbers to whole 32-bit values as the original's float-to-int conversion: NaN and anything
// out of range become the lowest int.
int32_t wholeClamped(double v) {
    if (std::isnan(v) || v < -2147483648.0 || v >= 2147483648.0) return INT32_MIN;
    return int32_t(std::trunc(v));
}

Value numbers(Vm& vm, const std::vector<double>& values) {
    std::vector<Value> items;
    items.reserve(values.size());
    for (double v : values) items.push_back(Value::number(v));
    return Value::object(vm.newArray(items));
}

// Elements of an array-like value: a string counts by its length (its elements are undefined).
struct ArrayLike {
    Object* object = nullptr;
    uint32_t length = 0;
};
ArrayLike arrayLike(Vm& vm, const Value& v) {
    ArrayLike out;
    out.object = vm.toObject(v);
    if (out.object) {
        const double n = vm.toNumber(vm.getMember(out.object, "length"));
        out.length = n > 0 ? avm1::arrayLikeLength(vm, out.object) : 0;
    }
    return out;
}
Value element(Vm& vm, const ArrayLike& a, uint32_t i) { return vm.getMember(a.object, std::to_string(i)); }

void setColors(Vm& vm, ScriptFilter& f, const Value& v) {
    const ArrayLike a = arrayLike(vm, v);
    f.stopCount = std::min<size_t>(a.length, kMaxGradientStops);
    for (size_t i = 0; i < f.stopCount; ++i) f.stops[i].rgb = uint32_t(vm.toInt32(element(vm, a, uint32_t(i)))) & 0xffffff;
}

// Alphas never change the number of stops; stops past the array become opaque.
void setAlphas(Vm& vm, ScriptFilter& f, const Value& v) {
    if (!v.asObject()) return;
    const ArrayLike a = arrayLike(vm, v);
    for (size_t i = 0; i < f.stopCount; ++i) {
        const double alpha = i < a.length ? vm.toNumber(element(vm, a, uint32_t(i))) : NAN;
        f.stops[i].alpha = std::isfinite(alpha) ? uint8_t(std::clamp(255 * alpha + 0.5, 0.0, 255.0)) : 255;
    }
}

// Ratios can only shorten the gradient.
void setRatios(Vm& vm, ScriptFilter& f, const Value& v) {
    if (!v.asObject()) return;
    const ArrayLike a = arrayLike(vm, v);
    f.stopCount = std::min<size_t>(f.stopCount, a.length);
    for (size_t i = 0; i < f.stopCount; ++i)
        f.stops[i].ratio = uint8_t(std::clamp(vm.toInt32(element(vm, a, uint32_t(i))), 0, 255));
}

// A colour matrix takes 20 numbers; missing ones are NaN; null and undefined change nothing.
void setColorMatrix(Vm& vm, ScriptFilter& f, const Value& v) {
    if (v.isNullish()) return;
    const ArrayLike a = arrayLike(vm, v);
    for (uint32_t i = 0; i < 20; ++i) f.colorMatrix[i] = a.object && i < a.length ? vm.toNumber(element(vm, a, i)) : NAN;
}

// A kernel keeps at least matrixX x matrixY numbers (zeros past the array) and any more the
// array has.
void setKernel(Vm& vm, ScriptFilter& f, const Value& v) {
    const ArrayLike a = arrayLike(vm, v);
    const size_t cells = size_t(f.matrixX * f.matrixY);
    f.kernel.assign(std::max<size_t>(cells, a.length), 0.0);
    for (uint32_t i = 0; i < a.length; ++i) f.kernel[i] = vm.toNumber(element(vm, a, i));
}
void setKernelSide(Vm& vm, ScriptFilter& f, int& side, const Value& v) {
    side = std::clamp(vm.toInt32(v), 0, kMaxKernelSide);
    f.kernel.resize(std::max(f.kernel.size(), size_t(f.matrixX * f.matrixY)), 0.0);
}

// mapPoint converts both coordinates before it fails: a valueOf that throws gives the lowest
// int there, and the first exception is raised once the point is stored. A point missing
// either coordinate (as its own property) is (0, 0).
void setMapPoint(Vm& vm, ScriptFilter& f, const Value& v) {
    std::optional<avm1::ScriptThrow> thrown;
    auto convert = [&](const char* axis, bool& present) {
        Object* o = v.asObject();
        present = o && o->hasOwn(axis, vm.names());
        if (!present) return 0;
        try {
            return wholeClamped(vm.toNumber(vm.getMember(o, axis)));
        } catch (const avm1::ScriptThrow& t) {
            if (!thrown) thrown = t;
            return INT32_MIN;
        }
    };
    bool hasX, hasY;
    const int x = convert("x", hasX);
    const int y = convert("y", hasY);
    f.mapX = hasX && hasY ? x : 0;
    f.mapY = hasX && hasY ? y : 0;
    if (thrown) throw *thrown;
}

Value stopValues(Vm& vm, const ScriptFilter& f, FilterProperty p) {
    std::vector<double> out;
    for (size_t i = 0; i < f.stopCount; ++i) {
        const GradientStop& g = f.stops[i];
        out.push_back(p == FilterProperty::Colors ? double(g.rgb) : p == FilterProperty::Alphas ? g.alpha / 255.0 : g.ratio);
    }
    return numbers(vm, out);
}

}  // namespace

const char* propertyName(FilterProperty p) { return kNames[size_t(p)]; }

Value readProperty(Vm& vm, const FilterValues& values, FilterProperty p) {
    const ScriptFilter& f = values.filter;
    using P = FilterProperty;
    switch (p) {
        case P::Distance: return Value::number(f.distance);
        case P::Angle: return Value::number(f.angle);
        case P::Color:
        case P::ShadowColor: return Value::number(f.color);
        case P::Alpha:
        case P::ShadowAlpha: return Value::number(f.alpha / 255.0);
        case P::HighlightColor: return Value::number(f.highlightColor);
        case P::HighlightAlpha: return Value::number(f.highlightAlpha / 255.0);
        case P::Quality: return Value::number(f.quality);
        case P::Strength: return Value::number(f.strength);
        case P::Inner: return Value::boolean(f.inner);
        case P::Knockout: return Value::boolean(f.knockout);
        case P::HideObject: return Value::boolean(f.hideObject);
        case P::BlurX: return Value::number(f.blurX);
        case P::BlurY: return Value::number(f.blurY);
        case P::Type: return Value::string(kSides[size_t(f.side)]);
        case P::Colors:
        case P::Alphas:
        case P::Ratios: return stopValues(vm, f, p);
        case P::Matrix:
            return f.kind == FilterKind::ColorMatrix ? numbers(vm, std::vector<double>(f.colorMatrix.begin(), f.colorMatrix.end()))
                                                     : numbers(vm, f.kernel);
        case P::MatrixX: return Value::number(f.matrixX);
        case P::MatrixY: return Value::number(f.matrixY);
        case P::Divisor: return Value::number(f.divisor);
        case P::Bias: return Value::number(f.bias);
        case P::PreserveAlpha: return Value::boolean(f.preserveAlpha);
        case P::Clamp: return Value::boolean(f.clamp);
        case P::MapBitmap: return values.mapBitmap;
        case P::MapPoint: return geom::makePoint(vm, Value::number(f.mapX), Value::number(f.mapY));
        case P::ComponentX: return Value::number(f.componentX);
        case P::ComponentY: return Value::number(f.componentY);
        case P::ScaleX: return Value::number(f.scaleX);
        case P::ScaleY: return Value::number(f.scaleY);
        case P::Mode: return Value::string(kModes[size_t(f.mode)]);
        case P::Count: break;
    }
    return Value();
}

void writeProperty(Vm& vm, FilterValues& values, FilterProperty p, const Value& v) {
    ScriptFilter& f = values.filter;
    using P = FilterProperty;
    switch (p) {
        case P::Distance: f.distance = vm.toNumber(v); break;
        case P::Angle: f.angle = wrapAngle(vm.toNumber(v)); break;
        case P::Color:
        case P::ShadowColor: f.color = vm.toUint32(v) & 0xffffff; break;
        case P::Alpha:
        case P::ShadowAlpha: f.alpha = alphaByte(vm, v); break;
        case P::HighlightColor: f.highlightColor = vm.toUint32(v) & 0xffffff; break;
        case P::HighlightAlpha: f.highlightAlpha = alphaByte(vm, v); break;
        case P::Quality: f.quality = std::clamp(vm.toInt32(v), 0, kMaxFilterPasses); break;
        case P::Strength: f.strength = clamped(vm.toNumber(v), 0, 255); break;
        case P::Inner: f.inner = vm.toBoolean(v); break;
        case P::Knockout: f.knockout = vm.toBoolean(v); break;
        case P::HideObject: f.hideObject = vm.toBoolean(v); break;
        case P::BlurX: f.blurX = clamped(vm.toNumber(v), 0, 255); break;
        case P::BlurY: f.blurY = clamped(vm.toNumber(v), 0, 255); break;
        case P::Type: {
            const std::string name = vm.toString(v);
            f.side = name == "inner" ? EffectSide::Inner : name == "outer" ? EffectSide::Outer : EffectSide::Full;
            break;
        }
        case P::Colors: setColors(vm, f, v); break;
        case P::Alphas: setAlphas(vm, f, v); break;
        case P::Ratios: setRatios(vm, f, v); break;
        case P::Matrix:
            if (f.kind == FilterKind::ColorMatrix) setColorMatrix(vm, f, v);
            else setKernel(vm, f, v);
            break;
        case P::MatrixX: setKernelSide(vm, f, f.matrixX, v); break;
        case P::MatrixY: setKernelSide(vm, f, f.matrixY, v); break;
        case P::Divisor: f.divisor = vm.toNumber(v); break;
        case P::Bias: f.bias = vm.toNumber(v); break;
        case P::PreserveAlpha: f.preserveAlpha = vm.toBoolean(v); break;
        case P::Clamp: f.clamp = vm.toBoolean(v); break;
        case P::MapBitmap:
            if (bitmapDataOf(v)) values.mapBitmap = v;
            break;
        case P::MapPoint: setMapPoint(vm, f, v); break;
        case P::ComponentX: f.componentX = vm.toInt32(v); break;
        case P::ComponentY: f.componentY = vm.toInt32(v); break;
        case P::ScaleX: f.scaleX = clamped(vm.toNumber(v), -65535, 65535); break;
        case P::ScaleY: f.scaleY = clamped(vm.toNumber(v), -65535, 65535); break;
        case P::Mode: {
            const std::string name = vm.toString(v);
            f.mode = DisplacementMode::Wrap;
            for (size_t i = 0; i < std::size(kModes); ++i)
                if (name == kModes[i]) f.mode = DisplacementMode(i);
            break;
        }
        case P::Count: break;
    }
}

}  // namespace swf::filters
