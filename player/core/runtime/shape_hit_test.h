// Whether a point lies on what a shape draws: inside one of its fills (by the shape's winding
// rule) or within half a line's width of a stroked edge. Points are in the shape's twips.
#pragma once

#include "../shape.h"

namespace swf {

bool shapeContains(const Shape& shape, Point p);

}  // namespace swf
