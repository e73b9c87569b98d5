// Whether a point lies on what a shape draws: inside one of its fills (by the shape's winding
// rule) or within half a line's width of a stroked edge. Points are in the shape's twips.
#pragma once

#include "../shape.h"

namespace swf {

bool shapeContains(const Shape& shape, Point p);

// False (and `out` untouched) when `m` cannot be inverted: a clip scaled to nothing is hit nowhere.
bool inverseOf(const Matrix& m, Matrix& out);

}  // namespace swf
