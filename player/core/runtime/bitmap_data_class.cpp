// flash.display.BitmapData for scripts: a native object over BitmapData (bitmap_data.h).
// Rectangles, points, colour transforms and filters are read as plain properties (x, y,
// width, height; redMultiplier .. alphaOffset; blurX, blurY, quality), so instances of the
// flash.geom and flash.filters classes and look-alike objects work the same.
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "avm1/native_class.h"
#include "bitmap_data.h"
#include "clip.h"
#include "clip_object.h"
#include "display/bitmap_data_display.h"
#include "display/rectangle_shape.h"
#include "filters/filter_classes.h"
#include "stage_renderer.h"
#include "script_runtime.h"

namespace swf {

using avm1::Arguments;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

class BitmapDataObject final : public Object {
public:
    using Object::Object;
    std::shared_ptr<BitmapData> pixels;
};

Object* makeInstance(Vm& vm, Object* proto) { return vm.heap().make<BitmapDataObject>(proto); }

BitmapData* dataOf(const Value& v) {
    auto* o = dynamic_cast<BitmapDataObject*>(v.asObject());
    return o && o->pixels ? o->pixels.get() : nullptr;
}

// The original's methods do nothing and answer -1 when called with fewer arguments than they
// need or on a bitmap without pixels (disposed, or never valid); a call that did its work and
// has nothing to answer gives 0.
constexpr double kRefused = -1;
BitmapData* usable(const Value& self, const Arguments& args, size_t needed) {
    BitmapData* b = dataOf(self);
    return b && b->valid() && args.size() >= needed ? b : nullptr;
}
const Value kRefusedValue = Value::number(kRefused);
const Value kDone = Value::number(0);

double number(Vm& vm, Object* o, const char* name, double fallback = 0) {
    if (!o) return fallback;
    const Value v = vm.getMember(o, name);
    if (v.isUndefined()) return fallback;
    const double n = vm.toNumber(v);
    return std::isfinite(n) ? n : fallback;
}

// Pixel coordinates from script numbers: truncated, and far values held where int arithmetic
// on them stays safe (every bitmap is under 2880 pixels a side).
int coordinate(double v) { return int(std::clamp(std::trunc(std::isfinite(v) ? v : 0.0), -1e6, 1e6)); }

IntRect rectangleOf(Vm& vm, const Value& v) {
    Object* o = v.asObject();
    const int x = coordinate(number(vm, o, "x")), y = coordinate(number(vm, o, "y"));
    return {x, y, x + coordinate(number(vm, o, "width")), y + coordinate(number(vm, o, "height"))};
}

void pointOf(Vm& vm, const Value& v, int& x, int& y) {
    x = coordinate(number(vm, v.asObject(), "x"));
    y = coordinate(number(vm, v.asObject(), "y"));
}

ColorTransform colorTransformOf(Vm& vm, const Value& v) {
    Object* o = v.asObject();
    auto mul = [&](const char* name) { return int16_t(std::clamp(number(vm, o, name, 1) * 256, -32768.0, 32767.0)); };
    auto add = [&](const char* name) { return int16_t(std::clamp(number(vm, o, name, 0), -32768.0, 32767.0)); };
    ColorTransform cx;
    cx.rMul = mul("redMultiplier");
    cx.gMul = mul("greenMultiplier");
    cx.bMul = mul("blueMultiplier");
    cx.aMul = mul("alphaMultiplier");
    cx.rAdd = add("redOffset");
    cx.gAdd = add("greenOffset");
    cx.bAdd = add("blueOffset");
    cx.aAdd = add("alphaOffset");
    return cx;
}

uint32_t colorArg(Vm& vm, const Arguments& args, size_t i, uint32_t fallback) {
    return args.size() > i ? vm.toUint32(args[i]) : fallback;
}

Value construct(Vm& vm, const Value& self, const Arguments& args) {
    auto* o = dynamic_cast<BitmapDataObject*>(self.asObject());
    if (!o) return Value();
    const int w = coordinate(vm.toNumber(args[0])), h = coordinate(vm.toNumber(args[1]));
    const bool transparent = args.size() > 2 ? vm.toBoolean(args[2]) : true;
    o->pixels = std::make_shared<BitmapData>(w, h, transparent, colorArg(vm, args, 3, 0xffffffffu));
    return Value();
}

Value width(Vm&, const Value& self, const Arguments&) {
    BitmapData* b = dataOf(self);
    return Value::number(b ? b->width() : -1);
}
Value height(Vm&, const Value& self, const Arguments&) {
    BitmapData* b = dataOf(self);
    return Value::number(b ? b->height() : -1);
}
Value transparent(Vm&, const Value& self, const Arguments&) {
    BitmapData* b = dataOf(self);
    return b && b->valid() ? Value::boolean(b->transparent()) : Value::number(-1);
}

// A new flash.geom.Rectangle when the class is there, else a plain object with its four
// properties.
Value rectangle(Vm& vm, const Value& self, const Arguments&) {
    BitmapData* b = dataOf(self);
    if (!b || !b->valid()) return Value::number(kRefused);
    const std::vector<Value> box{Value::number(0), Value::number(0), Value::number(b->width()), Value::number(b->height())};
    Object* flash = vm.getMember(vm.global(), "flash").asObject();
    Object* geom = flash ? vm.getMember(flash, "geom").asObject() : nullptr;
    const Value ctor = geom ? vm.getMember(geom, "Rectangle") : Value();
    if (ctor.asObject() && ctor.asObject()->asFunction()) return vm.construct(ctor, Arguments(box));
    Object* plain = vm.newObject();
    const char* names[] = {"x", "y", "width", "height"};
    for (size_t i = 0; i < 4; ++i) vm.setMember(plain, names[i], box[i]);
    return Value::object(plain);
}

Value getPixel(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 2);
    return b ? Value::number(b->getPixel(coordinate(vm.toNumber(args[0])), coordinate(vm.toNumber(args[1])))) : kRefusedValue;
}
Value getPixel32(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 2);
    // The original answers a signed 32-bit number (opaque white is -1).
    return b ? Value::number(int32_t(b->getPixel32(coordinate(vm.toNumber(args[0])), coordinate(vm.toNumber(args[1])))))
             : kRefusedValue;
}
Value setPixel(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 3);
    if (!b) return kRefusedValue;
    b->setPixel(coordinate(vm.toNumber(args[0])), coordinate(vm.toNumber(args[1])), colorArg(vm, args, 2, 0));
    return kDone;
}
Value setPixel32(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 3);
    if (!b) return kRefusedValue;
    b->setPixel32(coordinate(vm.toNumber(args[0])), coordinate(vm.toNumber(args[1])), colorArg(vm, args, 2, 0));
    return kDone;
}
Value fillRect(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 2);
    if (!b) return kRefusedValue;
    b->fillRect(rectangleOf(vm, args[0]), colorArg(vm, args, 1, 0));
    return kDone;
}
Value copyPixels(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 3);
    BitmapData* source = dataOf(args[0]);
    if (!b || !source || !source->valid()) return kRefusedValue;
    int x, y;
    pointOf(vm, args[2], x, y);
    b->copyPixels(*source, rectangleOf(vm, args[1]), x, y, args.size() > 5 && vm.toBoolean(args[5]));
    return kDone;
}
Value colorTransform(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 2);
    if (!b) return kRefusedValue;
    b->colorTransform(rectangleOf(vm, args[0]), colorTransformOf(vm, args[1]));
    return kDone;
}
Value scroll(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 2);
    if (!b) return kRefusedValue;
    b->scroll(coordinate(vm.toNumber(args[0])), coordinate(vm.toNumber(args[1])));
    return kDone;
}
Value floodFill(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 3);
    if (!b) return kRefusedValue;
    b->floodFill(coordinate(vm.toNumber(args[0])), coordinate(vm.toNumber(args[1])), colorArg(vm, args, 2, 0));
    return kDone;
}
Value noise(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 1);
    if (!b) return kRefusedValue;
    const int low = args.size() > 1 ? coordinate(vm.toNumber(args[1])) : 0;
    const int high = args.size() > 2 ? coordinate(vm.toNumber(args[2])) : 255;
    const int channels = args.size() > 3 ? coordinate(vm.toNumber(args[3])) : 7;
    b->noise(vm.toInt32(args[0]), low, high, channels, args.size() > 4 && vm.toBoolean(args[4]));
    return kDone;
}
Value perlinNoise(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 6);
    if (!b) return kRefusedValue;
    const int channels = args.size() > 6 ? coordinate(vm.toNumber(args[6])) : 7;
    b->perlinNoise(float(vm.toNumber(args[0])), float(vm.toNumber(args[1])), coordinate(vm.toNumber(args[2])),
                   vm.toInt32(args[3]), vm.toBoolean(args[4]), vm.toBoolean(args[5]), channels,
                   args.size() > 7 && vm.toBoolean(args[7]));
    return kDone;
}
// Any flash.filters object; a look-alike plain object is read as a blur (blurX, blurY, quality).
Value applyFilter(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 4);
    BitmapData* source = dataOf(args[0]);
    Object* filterObject = args[3].asObject();
    if (!b || !source || !source->valid() || !filterObject) return kRefusedValue;
    Filter filter;
    if (std::optional<Filter> scripted = filters::renderFilterOf(vm, args[3])) {
        filter = std::move(*scripted);
    } else {
        filter.kind = FilterKind::Blur;
        filter.blurX = float(std::clamp(number(vm, filterObject, "blurX", 4), 0.0, 255.0));
        filter.blurY = float(std::clamp(number(vm, filterObject, "blurY", 4), 0.0, 255.0));
        filter.passes = int(std::clamp(number(vm, filterObject, "quality", 1), 0.0, 15.0));
    }
    int x, y;
    pointOf(vm, args[2], x, y);
    b->applyFilter(*source, rectangleOf(vm, args[1]), x, y, filter);
    return kDone;
}
// draw(source, matrix, colorTransform): a clip's content (its own transform left out) or
// another BitmapData drawn over the pixels, the matrix (a, b, c, d, tx, ty in pixels, as the
// geometry classes hold it) placing it.
Value draw(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 1);
    if (!b) return kRefusedValue;
    Matrix placed;
    if (Object* m = args[1].asObject()) {
        placed = Matrix{float(number(vm, m, "a", 1)), float(number(vm, m, "b", 0)), float(number(vm, m, "c", 0)),
                        float(number(vm, m, "d", 1)), float(number(vm, m, "tx", 0)), float(number(vm, m, "ty", 0))};
    }
    const ColorTransform cx = args[2].asObject() ? colorTransformOf(vm, args[2]) : ColorTransform{};
    const Matrix toPixels = placed * Matrix::scale(1.0f / kTwipsPerPixel, 1.0f / kTwipsPerPixel);
    if (std::shared_ptr<BitmapData> source = bitmapDataOf(args[0])) {
        if (!source->valid()) return kRefusedValue;
        // Drawn from a copy: a bitmap may be drawn into itself.
        auto copy = std::make_shared<Bitmap>(source->pixels());
        FillStyle fill;
        fill.type = FillType::NonSmoothedClippedBitmap;
        fill.bitmap = copy;
        fill.bitmapMatrix = Matrix::scale(kTwipsPerPixel, kTwipsPerPixel);
        Renderer r = b->renderer();
        r.drawShape(rectangleShape(Rect{0, copy->width * kTwipsPerPixel, 0, copy->height * kTwipsPerPixel}, fill), toPixels, cx);
        return kDone;
    }
    auto* clipObject = dynamic_cast<ClipObject*>(args[0].asObject());
    Clip* clip = clipObject ? clipObject->clip() : nullptr;
    if (!clip) return kRefusedValue;
    Renderer r = b->renderer();
    drawClip(r, *clip, toPixels, cx);
    return kDone;
}

Value dispose(Vm&, const Value& self, const Arguments&) {
    if (BitmapData* b = dataOf(self)) b->dispose();
    return Value();
}
Value clone(Vm& vm, const Value& self, const Arguments&) {
    BitmapData* b = dataOf(self);
    Object* proto = self.asObject() ? self.asObject()->proto() : nullptr;
    if (!b || !proto) return Value();
    auto* copy = vm.heap().make<BitmapDataObject>(proto);
    copy->pixels = std::make_shared<BitmapData>(*b);
    vm.initInstance(copy, vm.getMember(proto, "constructor").asObject());
    return Value::object(copy);
}

// clip.attachBitmap(bitmapData, depth, pixelSnapping, smoothing): the pixels shown live at
// `depth` of the clip, replacing what is there. Pixel snapping "auto" and "always" put the
// bitmap at its own size on whole pixels, "never" does not.
Value attachBitmap(Vm& vm, const Value& self, const Arguments& args) {
    auto* clipObject = dynamic_cast<ClipObject*>(self.asObject());
    Clip* clip = clipObject ? clipObject->clip() : nullptr;
    std::shared_ptr<BitmapData> pixels = bitmapDataOf(args[0]);
    if (!clip || !pixels || args.size() < 2) return Value();
    const double depth = vm.toNumber(args[1]);
    if (!std::isfinite(depth)) return Value();
    // Script depths start at -16384 and are stored from 0.
    const double stored = std::trunc(depth) + 16384;
    if (!(stored >= 0 && stored <= 0xffff)) return Value();
    const bool snapping = args.size() < 3 || vm.toString(args[2]) != "never";
    const bool smoothing = args.size() > 3 && vm.toBoolean(args[3]);
    clip->placeByScript(uint16_t(stored), std::make_unique<BitmapDataDisplay>(std::move(pixels), snapping, smoothing), "");
    return Value();
}

// _global.flash.display, made where missing (other packages may already hold flash).
Object* displayPackage(Vm& vm) {
    Object* package = vm.global();
    for (const char* name : {"flash", "display"}) {
        Object* next = vm.getMember(package, name).asObject();
        if (!next) {
            next = vm.newObject();
            package->define(name, Value::object(next), avm1::kDontEnum);
        }
        package = next;
    }
    return package;
}

}  // namespace

std::shared_ptr<BitmapData> bitmapDataOf(const avm1::Value& v) {
    auto* o = dynamic_cast<BitmapDataObject*>(v.asObject());
    return o ? o->pixels : nullptr;
}

void registerBitmapDataClass(Vm& vm) {
    using avm1::defineMethod;
    auto* ctor = avm1::defineClass(vm, displayPackage(vm), {"BitmapData", nullptr, construct, makeInstance, nullptr});
    Object* proto = avm1::prototypeOf(vm, ctor);
    avm1::defineNativeProperty(vm, proto, "width", width, nullptr);
    avm1::defineNativeProperty(vm, proto, "height", height, nullptr);
    avm1::defineNativeProperty(vm, proto, "transparent", transparent, nullptr);
    avm1::defineNativeProperty(vm, proto, "rectangle", rectangle, nullptr);
    defineMethod(vm, proto, "getPixel", getPixel);
    defineMethod(vm, proto, "getPixel32", getPixel32);
    defineMethod(vm, proto, "setPixel", setPixel);
    defineMethod(vm, proto, "setPixel32", setPixel32);
    defineMethod(vm, proto, "fillRect", fillRect);
    defineMethod(vm, proto, "copyPixels", copyPixels);
    defineMethod(vm, proto, "colorTransform", colorTransform);
    defineMethod(vm, proto, "scroll", scroll);
    defineMethod(vm, proto, "floodFill", floodFill);
    defineMethod(vm, proto, "noise", noise);
    defineMethod(vm, proto, "perlinNoise", perlinNoise);
    defineMethod(vm, proto, "applyFilter", applyFilter);
    defineMethod(vm, proto, "draw", draw);
    defineMethod(vm, proto, "dispose", dispose);
    defineMethod(vm, proto, "clone", clone);
    if (Object* clipProto = vm.builtins().movieClipProto) defineMethod(vm, clipProto, "attachBitmap", attachBitmap);
}

}  // namespace swf
