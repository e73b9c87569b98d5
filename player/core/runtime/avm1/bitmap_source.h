// A script object that holds pixels a drawing can fill with (beginBitmapFill's first argument).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "../../bitmap.h"

namespace swf::avm1 {

class BitmapSource {
public:
    virtual ~BitmapSource() = default;
    // Null when the pixels are gone (a disposed bitmap): the fill then ends. Otherwise the
    // pixels themselves, not a copy: the filled shape shows what they hold at each drawing
    // (a bitmap disposed later leaves it empty).
    virtual std::shared_ptr<const Bitmap> drawingBitmap() const = 0;
    // Answers a number that grows with every change of the pixels, so what shows the fill
    // knows when to draw it again; it outlives the script object.
    virtual std::function<uint64_t()> versionSource() const = 0;
};

}  // namespace swf::avm1
