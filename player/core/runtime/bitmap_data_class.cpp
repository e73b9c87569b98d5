// flash.display.BitmapData for scripts: a native object over BitmapData (bitmap_data.h).
// Rectangles, points, colour transforms and filters are read as plain properties (x, y,
// width, height; redMultiplier .. alphaOffset; blurX, blurY, quality), so instances of the
// flash.geom and flash.filters classes and look-alike objects work the same.
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "avm1/names.h"
#include "avm1/native_class.h"
#include "bitmap_data_class_parts.h"
#include "bitmap_data_object.h"
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

// The prototype carries the movie, whose exported bitmaps loadBitmap reads.
class BitmapDataPrototype final : public Object {
public:
    BitmapDataPrototype(Object* proto, const Movie& movie) : Object(proto), movie(movie) {}
    const Movie& movie;
};

Object* makeInstance(Vm& vm, Object* proto) { return vm.heap().make<BitmapDataObject>(proto); }

BitmapData* dataOf(const Value& v) {
    auto* o = avm1::nativeAs<BitmapDataObject>(v);
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

// `new BitmapData(w, h)` of a size the movie's version refuses gives undefined, as do fewer
// than two arguments.
Value construct(Vm& vm, const Value& self, const Arguments& args) {
    auto* o = avm1::nativeAs<BitmapDataObject>(self);
    if (!o) return Value();
    const int w = coordinate(vm.toNumber(args[0])), h = coordinate(vm.toNumber(args[1]));
    if (args.size() < 2 || !BitmapData::sizeAllowed(w, h, vm.swfVersion())) return Value::null();
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
    const std::optional<IntRect> rect = bitmap_args::rectangle(vm, args[0]);
    if (!b || !rect) return kRefusedValue;
    b->fillRect(*rect, colorArg(vm, args, 1, 0));
    return kDone;
}
// copyPixels(source, rect, point, alphaBitmap, alphaPoint, mergeAlpha): -2 for a source that
// is no BitmapData, -3 for a disposed one, -4 for a rectangle that is none. The alpha bitmap
// counts only with its point given (with four arguments the copy is plain); mergeAlpha left
// out is false.
Value copyPixels(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 3);
    if (!b) return kRefusedValue;
    BitmapData* source = nullptr;
    const bitmap_args::SourceState state = bitmap_args::source(args[0], source);
    if (state != bitmap_args::SourceState::Valid) return Value::number(state == bitmap_args::SourceState::Disposed ? -3 : -2);
    const std::optional<IntRect> rect = bitmap_args::rectangle(vm, args[1]);
    if (!rect) return Value::number(-4);
    int x, y;
    bitmap_args::point(vm, args[2], x, y);
    BitmapData* alpha = nullptr;
    if (args.size() > 4 && bitmap_args::source(args[3], alpha) == bitmap_args::SourceState::Valid) {
        int ax, ay;
        bitmap_args::point(vm, args[4], ax, ay);
        b->copyPixelsWithAlpha(*source, *rect, x, y, *alpha, ax, ay, vm.toBoolean(args[5]));
    } else {
        b->copyPixels(*source, *rect, x, y, args.size() > 5 && vm.toBoolean(args[5]));
    }
    return kDone;
}
// Whether the class's prototype is on the object's chain (how instanceof sees classes).
bool madeBy(Vm& vm, Object* object, Object* constructor) {
    Object* proto = vm.getMember(constructor, "prototype").asObject();
    int guard = 0;
    for (Object* p = object->proto(); p && proto && guard < 256; p = p->proto(), ++guard)
        if (p == proto) return true;
    return false;
}

// colorTransform(rect, colorTransform): -2 for a rectangle that is none, -3 for a colour
// transform that is no flash.geom.ColorTransform (while that class is there); done, it
// answers -1 as the original does.
Value colorTransform(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 2);
    if (!b) return kRefusedValue;
    const std::optional<IntRect> rect = bitmap_args::rectangle(vm, args[0]);
    if (!rect) return Value::number(-2);
    Object* flash = vm.getMember(vm.global(), "flash").asObject();
    Object* geom = flash ? vm.getMember(flash, "geom").asObject() : nullptr;
    Object* cxClass = geom ? vm.getMember(geom, "ColorTransform").asObject() : nullptr;
    Object* given = args[1].asObject();
    if (!given || (cxClass && !madeBy(vm, given, cxClass))) return Value::number(-3);
    const ColorTransform cx = colorTransformOf(vm, args[1]);
    // The original leaves the pixels alone when only the alpha multiplier is set, at 1 or
    // more (nothing would change but rounding).
    const bool alphaGainOnly = cx.rMul == 256 && cx.gMul == 256 && cx.bMul == 256 && cx.aMul >= 256 && cx.rAdd == 0 &&
                               cx.gAdd == 0 && cx.bAdd == 0 && cx.aAdd == 0;
    if (!alphaGainOnly) b->colorTransform(*rect, cx);
    return kRefusedValue;
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
    // 1 when it painted, 0 when the point is outside or already of the colour.
    return Value::number(b->floodFill(coordinate(vm.toNumber(args[0])), coordinate(vm.toNumber(args[1])),
                                      colorArg(vm, args, 2, 0)) ? 1 : 0);
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
    // The clip rectangle (argument 5) is in this bitmap's pixels, whatever the matrix.
    IntRect clipArea{0, 0, b->width(), b->height()};
    if (std::optional<IntRect> limit = bitmap_args::rectangle(vm, args[4])) {
        clipArea = IntRect{std::max(0, limit->x0), std::max(0, limit->y0), std::min(b->width(), limit->x1),
                           std::min(b->height(), limit->y1)};
        if (clipArea.empty()) return Value();
    }
    if (std::shared_ptr<BitmapData> source = bitmapDataOf(args[0])) {
        if (!source->valid()) return Value::number(-3);
        // Drawn from a copy: a bitmap may be drawn into itself.
        auto copy = std::make_shared<Bitmap>(source->pixels());
        FillStyle fill;
        fill.type = FillType::NonSmoothedClippedBitmap;
        fill.bitmap = copy;
        fill.bitmapMatrix = Matrix::scale(kTwipsPerPixel, kTwipsPerPixel);
        Renderer r = b->renderer();
        r.setClipRect(clipArea);
        r.drawShape(rectangleShape(Rect{0, copy->width * kTwipsPerPixel, 0, copy->height * kTwipsPerPixel}, fill), toPixels, cx);
        return Value();
    }
    auto* clipObject = dynamic_cast<ClipObject*>(args[0].asObject());
    Clip* clip = clipObject ? clipObject->clip() : nullptr;
    if (!clip) return Value::number(-2);
    Renderer r = b->renderer();
    r.setClipRect(clipArea);
    drawClip(r, *clip, toPixels, cx);
    return Value();
}

// BitmapData.loadBitmap(linkageName): a new transparent BitmapData holding the exported
// library bitmap of that name (regardless of case), or undefined.
Value loadBitmap(Vm& vm, const Value& self, const Arguments& args) {
    Object* ctor = self.asObject();
    auto* proto = ctor ? dynamic_cast<BitmapDataPrototype*>(vm.getMember(ctor, "prototype").asObject()) : nullptr;
    if (!proto || args.empty()) return Value();
    const std::string name = vm.toString(args[0]);
    const Movie& movie = proto->movie;
    for (const auto& [exported, id] : movie.exports) {
        if (!avm1::sameName(exported, name, avm1::NameRule{false})) continue;
        const auto* character = dynamic_cast<const BitmapCharacter*>(movie.character(id));
        if (!character || !character->bitmap) return Value();
        auto pixels = std::make_shared<BitmapData>(*character->bitmap);
        if (!pixels->valid()) return Value();
        return newBitmapDataObject(vm, proto, std::move(pixels));
    }
    return Value();
}

// generateFilterRect(rect, filter): the rectangle widened by how far applyFilter with that
// filter spreads colour (a blur's radius times its passes on every side, a shadow's offset
// toward its angle), the same reach the renderer widens a filtered layer by. An inner effect
// stays inside what it filters. Refused with -1 on a bitmap without pixels; undefined when the
// arguments are no rectangle or no filter.
Value generateFilterRect(Vm& vm, const Value& self, const Arguments& args) {
    if (!usable(self, args, 0)) return kRefusedValue;
    const std::optional<IntRect> rect = bitmap_args::rectangle(vm, args[0]);
    const std::optional<Filter> filter = filters::renderFilterOf(vm, args[1]);
    if (!rect || !filter) return Value();
    const FilterReach reach = filter->inner ? FilterReach{} : filterReach({*filter});
    return bitmap_args::newRectangle(
        vm, IntRect{rect->x0 - reach.left, rect->y0 - reach.top, rect->x1 + reach.right, rect->y1 + reach.bottom});
}

Value dispose(Vm&, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 0);
    if (!b) return kRefusedValue;
    b->dispose();
    return Value();
}
Value clone(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = usable(self, args, 0);
    if (!b) return kRefusedValue;
    return newBitmapDataObject(vm, self.asObject()->proto(), std::make_shared<BitmapData>(*b));
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
Object* displayPackage(Vm& vm) { return avm1::packageObject(vm, {"flash", "display"}); }

}  // namespace

std::shared_ptr<BitmapData> bitmapDataOf(const avm1::Value& v) {
    auto* o = avm1::nativeAs<BitmapDataObject>(v);
    return o ? o->pixels : nullptr;
}

void registerBitmapDataClass(Vm& vm, const Movie& movie) {
    using avm1::defineMethod;
    // Built by hand rather than with defineClass: the prototype carries the movie.
    Object* proto = vm.heap().make<BitmapDataPrototype>(vm.builtins().objectProto, movie);
    auto* ctor = vm.heap().make<avm1::NativeFunction>(vm.builtins().functionProto, construct, construct, makeInstance);
    ctor->define("prototype", Value::object(proto), avm1::kDontEnum | avm1::kDontDelete);
    proto->define("constructor", Value::object(ctor), avm1::kDontEnum);
    displayPackage(vm)->define("BitmapData", Value::object(ctor), avm1::kDontEnum);
    defineMethod(vm, ctor, "loadBitmap", loadBitmap);
    // Plain properties, enumerable and writable as the original's.
    const std::pair<const char*, int> channels[] = {{"RED_CHANNEL", 1}, {"GREEN_CHANNEL", 2}, {"BLUE_CHANNEL", 4},
                                                    {"ALPHA_CHANNEL", 8}};
    for (const auto& [name, value] : channels) ctor->define(name, Value::number(value), 0);
    // Enumerable, as the original's: for..in over a BitmapData lists them.
    avm1::defineNativeProperty(vm, proto, "width", width, nullptr, 0);
    avm1::defineNativeProperty(vm, proto, "height", height, nullptr, 0);
    avm1::defineNativeProperty(vm, proto, "transparent", transparent, nullptr, 0);
    avm1::defineNativeProperty(vm, proto, "rectangle", rectangle, nullptr, 0);
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
    defineMethod(vm, proto, "getColorBoundsRect", getColorBoundsRect);
    defineMethod(vm, proto, "generateFilterRect", generateFilterRect);
    defineMethod(vm, proto, "hitTest", hitTest);
    defineMethod(vm, proto, "compare", compare);
    defineBitmapDataSourceMethods(vm, proto);
    if (Object* clipProto = vm.builtins().movieClipProto) defineMethod(vm, clipProto, "attachBitmap", attachBitmap);
}

}  // namespace swf
