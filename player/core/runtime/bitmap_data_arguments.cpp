// How BitmapData methods read their arguments (bitmap_data_object.h), and the script object's
// view of its pixels for drawings.
#include <algorithm>
#include <cmath>
#include <vector>

#include "bitmap_data_object.h"

namespace swf {

using avm1::Object;
using avm1::Value;
using avm1::Vm;

std::shared_ptr<const Bitmap> BitmapDataObject::drawingBitmap() const {
    if (!pixels || !pixels->valid()) return nullptr;
    const BitmapData& data = *pixels;
    return std::shared_ptr<const Bitmap>(pixels, &data.pixels());
}

std::function<uint64_t()> BitmapDataObject::versionSource() const {
    std::shared_ptr<const BitmapData> held = pixels;
    return [held] { return held ? held->version() : 0; };
}

Value newBitmapDataObject(Vm& vm, Object* proto, std::shared_ptr<BitmapData> pixels) {
    auto* o = vm.heap().make<BitmapDataObject>(proto);
    o->pixels = std::move(pixels);
    if (proto) vm.initInstance(o, vm.getMember(proto, "constructor").asObject());
    return Value::object(o);
}

namespace bitmap_args {

BitmapData* self(const Value& self, const avm1::Arguments& args, size_t needed) {
    auto* o = avm1::nativeAs<BitmapDataObject>(self);
    BitmapData* b = o && o->pixels ? o->pixels.get() : nullptr;
    return b && b->valid() && args.size() >= needed ? b : nullptr;
}

SourceState source(const Value& v, BitmapData*& out) {
    auto* o = avm1::nativeAs<BitmapDataObject>(v);
    out = o && o->pixels ? o->pixels.get() : nullptr;
    if (!out) return SourceState::NotBitmap;
    return out->valid() ? SourceState::Valid : SourceState::Disposed;
}

int coordinate(double v) { return int(std::clamp(std::trunc(std::isfinite(v) ? v : 0.0), -1e6, 1e6)); }

int integer(Vm& vm, const Value& v) { return vm.toInt32(v); }

std::optional<IntRect> rectangle(Vm& vm, const Value& v) {
    Object* o = v.asObject();
    if (!o) return std::nullopt;
    for (const char* name : {"x", "y", "width", "height"})
        if (!vm.hasProperty(o, name)) return std::nullopt;
    auto get = [&](const char* name) { return coordinate(vm.toNumber(vm.getMember(o, name))); };
    const int x = get("x"), y = get("y");
    return IntRect{x, y, x + get("width"), y + get("height")};
}

void point(Vm& vm, const Value& v, int& x, int& y) {
    Object* o = v.asObject();
    x = o ? coordinate(vm.toNumber(vm.getMember(o, "x"))) : 0;
    y = o ? coordinate(vm.toNumber(vm.getMember(o, "y"))) : 0;
}

Value newRectangle(Vm& vm, IntRect r) {
    const std::vector<Value> box{Value::number(r.x0), Value::number(r.y0), Value::number(r.x1 - r.x0),
                                 Value::number(r.y1 - r.y0)};
    Object* flash = vm.getMember(vm.global(), "flash").asObject();
    Object* geom = flash ? vm.getMember(flash, "geom").asObject() : nullptr;
    const Value ctor = geom ? vm.getMember(geom, "Rectangle") : Value();
    if (ctor.asObject() && ctor.asObject()->asFunction()) return vm.construct(ctor, avm1::Arguments(box));
    Object* plain = vm.newObject();
    const char* names[] = {"x", "y", "width", "height"};
    for (size_t i = 0; i < 4; ++i) vm.setMember(plain, names[i], box[i]);
    return Value::object(plain);
}

}  // namespace bitmap_args

}  // namespace swf
