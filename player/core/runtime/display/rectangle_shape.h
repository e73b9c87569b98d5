// A rectangle as a shape with one fill: placed bitmaps and opaque backgrounds.
#pragma once

#include "../../shape.h"

namespace swf {

// The rectangle `box` (twips) filled with `fill`, fill on the right of a clockwise outline.
Shape rectangleShape(const Rect& box, const FillStyle& fill);

}  // namespace swf
