// A script object that holds pixels a drawing can fill with (beginBitmapFill's first argument).
#pragma once

#include <memory>

#include "../../bitmap.h"

namespace swf::avm1 {

class BitmapSource {
public:
    virtual ~BitmapSource() = default;
    // Null when the pixels are gone (a disposed bitmap): the fill then ends.
    virtual std::shared_ptr<const Bitmap> drawingBitmap() const = 0;
};

}  // namespace swf::avm1
