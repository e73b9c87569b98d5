// Bitmaps drawn at their own size land on whole device pixels, as the original puts them.
#pragma once

#include "../../shape.h"

namespace swf {

// A shape that only shows a bitmap at its own size (one bitmap pixel to one device pixel, no
// rotation) lands on whole device pixels: its pixels stay sharp and its edges whole, instead
// of every column splitting over two pixels. Returns `m` moved by at most half a pixel (halves
// upwards) so that the bitmap's pixel grid falls on the device's; any other shape keeps `m`.
Matrix snapBitmapToPixels(const Shape& shape, Matrix m);

}  // namespace swf
