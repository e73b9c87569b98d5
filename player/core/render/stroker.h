// Turns stroke paths (device-space polylines) into outlines for the coverage rasterizer.
//
// Every piece of a stroke is emitted as its own convex polygon, all wound the same way: one
// quadrilateral per segment, a join polygon at each vertex, a cap at each open end. Filled with
// the non-zero rule their union is the stroke, without the fragile offsetting and
// self-intersection removal of a single outline, and overlaps never darken (one paint item).
// The pieces are cut so that they only touch along shared sides (round joins are the sector
// between the two segments' ends, round caps half discs): exact-area coverage integrates the
// winding number, so pieces overlapping at the outline would make its edge pixels too dark.
// What overlap remains (the inner side of a turn) meets the outline in one point only.
#pragma once

#include <vector>

#include "segment.h"
#include "shape.h"

namespace swf::render {

struct StrokePoint {
    Point p;
    bool smooth = false;  // interior point of a flattened curve: only a gap filler is needed
};

struct StrokeStyle {
    float halfWidth = 0.5f;  // device pixels
    CapStyle startCap = CapStyle::Round;
    CapStyle endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    float miterLimit = 3;
};

class Stroker {
public:
    Stroker(SegmentList& out, uint16_t item, float tolerance) : out_(out), item_(item), tolerance_(tolerance) {}

    // Strokes the polyline; `closed` joins the last point back to the first instead of capping.
    void stroke(const std::vector<StrokePoint>& path, bool closed, const StrokeStyle& style);

private:
    void addConvexPolygon(const Point* points, int count);
    // The circular sector from center + from, turning by `sweep` radians (|sweep| <= pi).
    void addSector(Point center, Point from, float sweep);
    void addJoin(Point at, Point dirIn, Point dirOut, bool smooth, const StrokeStyle& style);
    void addCap(Point at, Point dirOutward, CapStyle cap, float halfWidth);

    SegmentList& out_;
    uint16_t item_;
    float tolerance_;
    std::vector<Point> points_;
};

}  // namespace swf::render
