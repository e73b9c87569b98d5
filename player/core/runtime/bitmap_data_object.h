// The script object of a BitmapData and how its methods read their arguments. The original's
// methods answer numbers for what they refuse, each method with its own numbering: -1 for
// too few arguments or a bitmap without pixels (disposed, or never valid), and for a source
// bitmap, a rectangle or a point that is not one, the codes of the method (see each in
// bitmap_data_class*.cpp). Rectangles and points are read as plain properties (x, y, width,
// height), so instances of flash.geom and look-alike objects work the same.
#pragma once

#include <memory>
#include <optional>

#include "avm1/bitmap_source.h"
#include "avm1/native_class.h"
#include "bitmap_data.h"

namespace swf {

class BitmapDataObject final : public avm1::Object, public avm1::BitmapSource {
public:
    using Object::Object;
    std::shared_ptr<BitmapData> pixels;

    // beginBitmapFill: the pixels as they are at each drawing, kept alive by the fill.
    std::shared_ptr<const Bitmap> drawingBitmap() const override;
    std::function<uint64_t()> versionSource() const override;
};

// A new script object over `pixels` with the given prototype (clone, compare, loadBitmap).
avm1::Value newBitmapDataObject(avm1::Vm& vm, avm1::Object* proto, std::shared_ptr<BitmapData> pixels);

namespace bitmap_args {

constexpr double kRefused = -1;
inline avm1::Value code(double n) { return avm1::Value::number(n); }

// The bitmap of `this` when it has pixels and at least `needed` arguments came.
BitmapData* self(const avm1::Value& self, const avm1::Arguments& args, size_t needed);

// A source bitmap argument: its pixels, or the code for "not a BitmapData" / "disposed".
enum class SourceState { Valid, NotBitmap, Disposed };
SourceState source(const avm1::Value& v, BitmapData*& out);

// A rectangle: only an object holding x, y, width and height (looked up through its
// prototypes) is one.
std::optional<IntRect> rectangle(avm1::Vm& vm, const avm1::Value& v);
// A point read as it is: missing coordinates are 0.
void point(avm1::Vm& vm, const avm1::Value& v, int& x, int& y);
// Pixel coordinates from a script number: truncated, held where int arithmetic stays safe.
int coordinate(double v);
int integer(avm1::Vm& vm, const avm1::Value& v);
// A new flash.geom.Rectangle when the class is there, else a plain object with the four
// properties.
avm1::Value newRectangle(avm1::Vm& vm, IntRect r);

}  // namespace bitmap_args

}  // namespace swf
