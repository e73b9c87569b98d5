// The bounds scripts see (getBounds, getRect, _width, _height, hitTest): the union of the
// children's character bounds, in twips, through a transform. Drawn content of the drawing
// API is not counted here.
#pragma once

#include <algorithm>

#include "clip.h"

namespace swf {

struct Bounds {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    bool empty = true;
    void add(double x, double y) {
        if (empty) {
            xMin = xMax = x;
            yMin = yMax = y;
            empty = false;
            return;
        }
        xMin = std::min(xMin, x);
        xMax = std::max(xMax, x);
        yMin = std::min(yMin, y);
        yMax = std::max(yMax, y);
    }
};

// The clip's content through `m` (its own transform excluded); `strokes` false gives getRect's
// edge-only box (shapes' edge bounds where known).
Bounds clipBounds(const Clip& clip, const Matrix& m);
// One placed object (its own matrix included) through `m`.
Bounds objectBounds(const DisplayObject& obj, const Matrix& m);
// The clip's transform to the stage: its own matrix and every parent's.
Matrix clipToStage(Clip& clip);
// False for a matrix that cannot be inverted (scaled to zero).
bool invertMatrix(const Matrix& m, Matrix& out);
// A stage point (twips) in the clip's own space.
Point globalToLocal(Clip& clip, Point stagePoint);
// Moves the clip being dragged to the pointer (ClipHost::drag).
void followDrag(ClipHost& host);
// The point on the stage, in twips, lies in the clip's shapes (fills, not bounds)?
bool clipHitsPoint(const Clip& clip, const Matrix& toStage, Point stagePoint);

}  // namespace swf
