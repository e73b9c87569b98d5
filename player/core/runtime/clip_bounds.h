// The bounds scripts see (getBounds, getRect, _width, _height, hitTest): the union of the
// drawing API's shape and the children's character bounds, in twips, through a transform.
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
Bounds clipBounds(Clip& clip, const Matrix& m);
// One placed object (its own matrix included) through `m`.
Bounds objectBounds(const DisplayObject& obj, const Matrix& m);
// What the object shows in its own coordinates, through `m` (its own matrix excluded).
Bounds contentBounds(const DisplayObject& obj, const Matrix& m);
// The clip's transform to the stage: its own matrix and every parent's, the root's own
// transform (a script's _root._x) included.
Matrix clipToStage(Clip& clip);
// The same up to the root's coordinates, the root's own transform excluded (renders apply it).
Matrix clipToRoot(const Clip& clip);
// The clip setMask gave `clip`, while it is on a display list; null for none.
const Clip* liveMask(const Clip& clip);
// A clip in use as another's setMask mask is not drawn where it stands.
bool isScriptMask(const Clip& clip);
// False for a matrix that cannot be inverted (scaled to zero).
bool invertMatrix(const Matrix& m, Matrix& out);
// A stage point (twips) in the clip's own space.
Point globalToLocal(Clip& clip, Point stagePoint);
// Moves the clip being dragged to the pointer (ClipHost::drag).
void followDrag(ClipHost& host);

}  // namespace swf
