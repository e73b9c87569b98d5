// MovieClip.prototype's drawing methods: script values to the Drawing of the clip (pixels,
// colours as numbers, gradients as parallel arrays, matrices as objects).
#include <algorithm>
#include <cmath>

#include "avm1/bitmap_source.h"
#include "avm1/native_class.h"
#include "clip_object.h"
#include "script_runtime.h"

namespace swf {
namespace {

using avm1::Arguments;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

// Gradients past this many stops are cut to it by the drawing; reading more is wasted.
constexpr size_t kMaxStopsRead = 16;

Drawing* drawingOf(const Value& self) {
    auto* object = dynamic_cast<ClipObject*>(self.asObject());
    Clip* clip = object ? object->clip() : nullptr;
    return clip ? &clip->editDrawing() : nullptr;
}

float number(Vm& vm, const Value& v) { return float(vm.toNumber(v)); }

// Colours wrap like the original's integer conversion: -1 is white, 0x1000000 black.
uint32_t color(Vm& vm, const Value& v) { return uint32_t(vm.toInt32(v)) & 0xffffff; }

float alphaPercent(Vm& vm, const Value& v) { return v.isUndefined() ? 100 : number(vm, v); }

std::vector<Value> arrayItems(Vm& vm, const Value& v) {
    std::vector<Value> out;
    Object* array = v.asObject();
    if (!array) return out;
    double length = vm.toNumber(vm.getMember(array, "length"));
    if (!(length > 0)) return out;
    size_t n = std::min<size_t>(size_t(std::min(length, 1e6)), kMaxStopsRead);
    for (size_t i = 0; i < n; ++i) out.push_back(vm.getMember(array, std::to_string(i)));
    return out;
}

// {matrixType: "box", x, y, w, h, r}; a flash.geom.Matrix {a, b, c, d, tx, ty} mapping the
// 1638.4-pixel gradient square; or the old 3 x 3 {a, b, d, e, g, h}, which maps a unit square.
Matrix gradientMatrix(Vm& vm, const Value& v) {
    Object* o = v.asObject();
    if (!o) return Matrix{};
    auto get = [&](const char* name) { return number(vm, vm.getMember(o, name)); };
    if (vm.toString(vm.getMember(o, "matrixType")) == "box")
        return gradientBox(get("x"), get("y"), get("w"), get("h"), get("r"));
    if (vm.hasProperty(o, "tx")) return Matrix{get("a"), get("b"), get("c"), get("d"), get("tx"), get("ty")};
    constexpr float kUnit = 1.0f / 1638.4f;
    return Matrix{get("a") * kUnit, get("b") * kUnit, get("d") * kUnit, get("e") * kUnit, get("g"), get("h")};
}

// (type, colors, alphas, ratios, matrix, spreadMethod, interpolationMethod, focalPointRatio);
// false for a type other than "linear" and "radial".
bool readGradient(Vm& vm, const Arguments& args, DrawingGradient& g) {
    std::string type = vm.toString(args[0]);
    if (type != "linear" && type != "radial") return false;
    g.kind = type == "linear" ? GradientKind::Linear : GradientKind::Radial;
    for (const Value& v : arrayItems(vm, args[1])) g.colors.push_back(color(vm, v));
    for (const Value& v : arrayItems(vm, args[2])) g.alphasPercent.push_back(number(vm, v));
    for (const Value& v : arrayItems(vm, args[3])) g.ratios.push_back(number(vm, v));
    g.matrix = gradientMatrix(vm, args[4]);
    std::string spread = args[5].isUndefined() ? "" : vm.toString(args[5]);
    g.spread = spread == "reflect" ? SpreadMode::Reflect : spread == "repeat" ? SpreadMode::Repeat : SpreadMode::Pad;
    g.interpolation = !args[6].isUndefined() && vm.toString(args[6]) == "linearRGB" ? InterpolationMode::LinearRgb
                                                                                     : InterpolationMode::Normal;
    g.focalPoint = args[7].isUndefined() ? 0 : number(vm, args[7]);
    return true;
}

Value moveTo(Vm& vm, const Value& self, const Arguments& args) {
    if (args.size() < 2) return Value();
    if (Drawing* d = drawingOf(self)) d->moveTo(number(vm, args[0]), number(vm, args[1]));
    return Value();
}

Value lineTo(Vm& vm, const Value& self, const Arguments& args) {
    if (args.size() < 2) return Value();
    if (Drawing* d = drawingOf(self)) d->lineTo(number(vm, args[0]), number(vm, args[1]));
    return Value();
}

Value curveTo(Vm& vm, const Value& self, const Arguments& args) {
    if (args.size() < 4) return Value();
    if (Drawing* d = drawingOf(self))
        d->curveTo(number(vm, args[0]), number(vm, args[1]), number(vm, args[2]), number(vm, args[3]));
    return Value();
}

// (thickness, rgb, alpha, pixelHinting, noScale, capsStyle, jointStyle, miterLimit); without a
// thickness the clip draws no lines from here on.
Value lineStyle(Vm& vm, const Value& self, const Arguments& args) {
    Drawing* d = drawingOf(self);
    if (!d) return Value();
    if (args[0].isUndefined()) {
        d->noLineStyle();
        return Value();
    }
    DrawingLineStyle s;
    s.thickness = number(vm, args[0]);
    s.rgb = color(vm, args[1]);
    s.alphaPercent = alphaPercent(vm, args[2]);
    s.pixelHinting = vm.toBoolean(args[3]);
    if (!args[4].isUndefined()) s.scaleMode = parseLineScaleMode(vm.toString(args[4]));
    if (!args[5].isUndefined()) s.caps = parseCapStyle(vm.toString(args[5]));
    if (!args[6].isUndefined()) s.joints = parseJoinStyle(vm.toString(args[6]));
    if (!args[7].isUndefined()) s.miterLimit = number(vm, args[7]);
    d->lineStyle(s);
    return Value();
}

Value lineGradientStyle(Vm& vm, const Value& self, const Arguments& args) {
    DrawingGradient g;
    if (!readGradient(vm, args, g)) return Value();
    if (Drawing* d = drawingOf(self)) d->lineGradientStyle(g);
    return Value();
}

// beginFill() without a colour ends the fill in progress.
Value beginFill(Vm& vm, const Value& self, const Arguments& args) {
    Drawing* d = drawingOf(self);
    if (!d) return Value();
    if (args[0].isUndefined()) {
        d->endFill();
    } else {
        d->beginFill(color(vm, args[0]), alphaPercent(vm, args[1]));
    }
    return Value();
}

Value beginGradientFill(Vm& vm, const Value& self, const Arguments& args) {
    DrawingGradient g;
    if (!readGradient(vm, args, g)) return Value();
    if (Drawing* d = drawingOf(self)) d->beginGradientFill(g);
    return Value();
}

// (bitmap, matrix, repeat = true, smoothing = false)
Value beginBitmapFill(Vm& vm, const Value& self, const Arguments& args) {
    auto* source = dynamic_cast<avm1::BitmapSource*>(args[0].asObject());
    if (!source) return Value();
    Drawing* d = drawingOf(self);
    if (!d) return Value();
    Matrix m;
    if (Object* o = args[1].asObject()) {
        auto get = [&](const char* name) { return number(vm, vm.getMember(o, name)); };
        m = Matrix{get("a"), get("b"), get("c"), get("d"), get("tx"), get("ty")};
    }
    bool repeat = args[2].isUndefined() || vm.toBoolean(args[2]);
    bool smoothing = !args[3].isUndefined() && vm.toBoolean(args[3]);
    d->beginBitmapFill(source->drawingBitmap(), m, repeat, smoothing, source->versionSource());
    return Value();
}

Value endFill(Vm&, const Value& self, const Arguments&) {
    if (Drawing* d = drawingOf(self)) d->endFill();
    return Value();
}

Value clear(Vm&, const Value& self, const Arguments&) {
    if (Drawing* d = drawingOf(self)) d->clear();
    return Value();
}

}  // namespace

void registerMovieClipDrawing(Vm& vm, Object* proto) {
    avm1::defineMethod(vm, proto, "moveTo", moveTo);
    avm1::defineMethod(vm, proto, "lineTo", lineTo);
    avm1::defineMethod(vm, proto, "curveTo", curveTo);
    avm1::defineMethod(vm, proto, "lineStyle", lineStyle);
    avm1::defineMethod(vm, proto, "lineGradientStyle", lineGradientStyle);
    avm1::defineMethod(vm, proto, "beginFill", beginFill);
    avm1::defineMethod(vm, proto, "beginGradientFill", beginGradientFill);
    avm1::defineMethod(vm, proto, "beginBitmapFill", beginBitmapFill);
    avm1::defineMethod(vm, proto, "endFill", endFill);
    avm1::defineMethod(vm, proto, "clear", clear);
}

}  // namespace swf
