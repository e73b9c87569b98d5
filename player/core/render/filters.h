// Bitmap filters on an area of a layer (premultiplied BGRA), read as transparent beyond the area.
// Blur, shadow, glow and bevel: the box blur of box_blur.h over the colour (blur) or the alpha
// (the rest), the alpha offset by the distance along the angle and scaled by the strength, then
// coloured (one colour, two for a bevel, or a gradient indexed by the strength) and composited
// with the object: beneath it (outer), atop it (inner), or alone (knockout, hidden object).
// Colour matrix, convolution and displacement work on straight colour in 16.16 fixed point,
// so that the table-driven and interior-only loops match the plain per-pixel ones exactly.
#pragma once

#include "box_blur.h"
#include "filter.h"
#include "renderer.h"

namespace swf::render {

// Planes and tables reused from one filter to the next.
struct FilterScratch {
    ChannelPlane color, alpha, shifted, blurTemp;
};

// `reference` takes the plain per-pixel paths (the tests compare the two byte for byte).
void applyFilter(const Filter& filter, Canvas& pixels, IntRect area, FilterScratch& scratch, bool reference);

}  // namespace swf::render
