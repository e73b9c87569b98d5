// The glyph outline buffer of GetGlyphOutline(GGO_NATIVE) as a shape, read byte by byte so it
// builds and is tested on every platform. The buffer is a list of contours: a TTPOLYGONHEADER
// (cb, dwType, pfxStart) followed by TTPOLYCURVE records (wType, cpfx, cpfx points) up to cb
// bytes; points are 16.16 fixed, y up. Lines go point to point; a quadratic B-spline of n
// points has a control at each point but the last and implied on-curve points halfway between
// consecutive controls. Cubic records (only asked for with GGO_BEZIER) become straight lines.
#pragma once

#include <cstddef>
#include <cstdint>

#include <shape.h>

namespace swf {

// Out: font units (the size the font was created at), y down, one layer whose fill 1 is the
// text colour, non-zero rule. A malformed buffer gives what was read before the fault.
Shape shapeFromNativeOutline(const uint8_t* data, size_t size);

}  // namespace swf
