// Whether a point lies on what a shape draws: inside one of its fills (by the shape's winding
// rule) or within half a line's width of a stroked edge. Points are in the shape's twips.
#pragma once

#include "../shape.h"

namespace swf {

// `hairlineReach`: how far from a hairline (a line of width 0, one device pixel wide however
// the shape is scaled) a point still hits it, in the shape's twips; half a pixel unscaled.
bool shapeContains(const Shape& shape, Point p, float hairlineReach = 10);

}  // namespace swf
