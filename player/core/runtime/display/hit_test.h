// Which points an object covers, for buttons under the pointer (and hitTest with the shape
// flag): fills by the crossings of a ray, strokes by distance to their edges.
#pragma once

#include <optional>

#include "../../geometry.h"
#include "../../shape.h"

namespace swf {

class Clip;

// The matrix that undoes `m`; none when `m` flattens the plane (a zero scale).
std::optional<Matrix> inverted(const Matrix& m);

// `p` in the shape's twips lies in one of its fills or on one of its strokes.
bool shapeContains(const Shape& shape, Point p);

// `p` in the clip's twips lies on one of its visible objects (masks do not count).
bool clipContains(const Clip& clip, Point p);

}  // namespace swf
