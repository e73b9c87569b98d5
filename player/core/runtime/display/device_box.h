// Where a box of twips lands on the canvas, with the margin that antialiasing, hairlines and
// rounding reach past it.
#pragma once

#include "../../geometry.h"
#include "../../renderer.h"

namespace swf {

// `r` drawn with `m`, in device pixels clipped to a w x h canvas; the whole canvas when `m`
// sends it off to infinity.
IntRect deviceBox(const Rect& r, const Matrix& m, int w, int h);

}  // namespace swf
