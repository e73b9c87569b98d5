// BitmapData's getColorBoundsRect, hitTest and compare for scripts, with the original's
// answers for what they refuse.
#include <algorithm>

#include "bitmap_data_class_parts.h"
#include "bitmap_data_object.h"

namespace swf {

using avm1::Arguments;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

// hitTest reads its points' own x and y only (not through prototypes).
bool ownPoint(Vm& vm, const Value& v, int& x, int& y) {
    Object* o = v.asObject();
    const avm1::NameRule rule = vm.names();
    if (!o || !o->hasOwn("x", rule) || !o->hasOwn("y", rule)) return false;
    x = vm.toInt32(vm.getMember(o, "x"));
    y = vm.toInt32(vm.getMember(o, "y"));
    return true;
}

int alphaThreshold(Vm& vm, const Value& v) { return std::clamp(vm.toInt32(v), 0, 255); }

// Far coordinates held where the rectangle arithmetic stays safe (sides under 8192).
int held(int v) { return std::clamp(v, -(1 << 24), 1 << 24); }

}  // namespace

// getColorBoundsRect(mask, color, findColor = true): a Rectangle, matched on the stored
// (premultiplied) words.
Value getColorBoundsRect(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = bitmap_args::self(self, args, 2);
    if (!b) return bitmap_args::code(bitmap_args::kRefused);
    const bool findColor = args.size() < 3 || vm.toBoolean(args[2]);
    return bitmap_args::newRectangle(vm, b->colorBounds(vm.toUint32(args[0]), vm.toUint32(args[1]), findColor));
}

// hitTest(firstPoint, firstAlphaThreshold, secondObject, secondBitmapDataPoint,
// secondAlphaThreshold): against a point, a rectangle (x, y, width, height) or another
// BitmapData, all placed relative to firstPoint. Refused: -2 for a firstPoint without its own
// x and y, -3 for a second object that is none of the three (or a disposed bitmap), -4 for a
// second point given but without x and y.
Value hitTest(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = bitmap_args::self(self, args, 3);
    if (!b) return bitmap_args::code(bitmap_args::kRefused);
    int fx, fy;
    if (!ownPoint(vm, args[0], fx, fy)) return bitmap_args::code(-2);
    const int threshold = alphaThreshold(vm, args[1]);
    BitmapData* other = nullptr;
    const bitmap_args::SourceState state = bitmap_args::source(args[2], other);
    if (state == bitmap_args::SourceState::Disposed) return bitmap_args::code(-3);
    if (state == bitmap_args::SourceState::Valid) {
        int sx = 0, sy = 0;
        if (!ownPoint(vm, args[3], sx, sy) && args.size() > 3) return bitmap_args::code(-4);
        return Value::boolean(b->hitTestBitmap(held(fx), held(fy), threshold, *other, held(sx), held(sy),
                                               alphaThreshold(vm, args[4])));
    }
    Object* o = args[2].asObject();
    int x, y;
    if (!ownPoint(vm, args[2], x, y)) return bitmap_args::code(-3);
    x = held(x) - held(fx);
    y = held(y) - held(fy);
    const avm1::NameRule rule = vm.names();
    const bool hasWidth = o->hasOwn("width", rule), hasHeight = o->hasOwn("height", rule);
    if (!hasWidth && !hasHeight) return Value::boolean(b->hitTestPoint(x, y, threshold));
    if (!hasWidth || !hasHeight) return bitmap_args::code(-3);
    const int w = held(vm.toInt32(vm.getMember(o, "width"))), h = held(vm.toInt32(vm.getMember(o, "height")));
    return Value::boolean(b->hitTestRect(IntRect{x, y, x + w, y + h}, threshold));
}

// compare(other): 0 when the pixels are the same, else a new BitmapData of the differences.
// Refused: -1 (this bitmap has no pixels), -2 (other is no BitmapData or disposed), -3
// (widths differ), -4 (heights differ).
Value compare(Vm& vm, const Value& self, const Arguments& args) {
    BitmapData* b = bitmap_args::self(self, args, 1);
    if (!b) return bitmap_args::code(bitmap_args::kRefused);
    BitmapData* other = nullptr;
    if (bitmap_args::source(args[0], other) != bitmap_args::SourceState::Valid) return bitmap_args::code(-2);
    if (other->width() != b->width()) return bitmap_args::code(-3);
    if (other->height() != b->height()) return bitmap_args::code(-4);
    std::unique_ptr<BitmapData> difference = b->compare(*other);
    if (!difference) return Value::number(0);
    return newBitmapDataObject(vm, self.asObject()->proto(), std::shared_ptr<BitmapData>(std::move(difference)));
}

}  // namespace swf
