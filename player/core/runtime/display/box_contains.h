// A point inside a box of twips (edges included): the hit area of bitmaps and text.
#pragma once

#include "../../geometry.h"

namespace swf {

inline bool boxContains(const Rect& box, Point p) {
    return !box.empty() && p.x >= float(box.xMin) && p.x <= float(box.xMax) && p.y >= float(box.yMin) &&
           p.y <= float(box.yMax);
}

}  // namespace swf
