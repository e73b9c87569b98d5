// Device-space line segments, the only input of the coverage rasterizer. Curves are flattened
// into them and strokes are outlined into them; every coordinate in a Segment is finite and
// within kMaxDeviceCoordinate, so later arithmetic cannot overflow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry.h"

namespace swf::render {

// Lines reaching further than this from the canvas are clipped to this box, where float
// precision is still 1/64 pixel; the parts beyond it become vertical lines on its border.
constexpr float kMaxDeviceCoordinate = 1 << 17;

struct Segment {
    float x0, y0, x1, y1;  // y0 < y1 always
    int8_t winding;        // +1 when the original edge ran downwards, -1 upwards
    uint16_t item;         // which paint item (fill or stroke) this segment bounds
};

// Collects segments for several paint items, dropping horizontal and non-finite ones.
class SegmentList {
public:
    // Snaps every end point to the lattice of 1 / cellsPerPixel device pixels, halves upwards
    // (see renderer.cpp for the placement rule); 0 leaves points where they are.
    void setGrid(int cellsPerPixel) { grid_ = float(cellsPerPixel); }
    void clear() {
        segments_.clear();
        overflowed_ = false;
    }
    // Adds the directed line a -> b as a boundary of `item`.
    void addLine(Point a, Point b, uint16_t item);
    // Adds the directed quadratic curve a -> (control) -> b, flattened so that no point of the
    // curve is further than `tolerance` device pixels from the polyline.
    void addQuad(Point a, Point control, Point b, uint16_t item, float tolerance);

    const std::vector<Segment>& segments() const { return segments_; }
    size_t size() const { return segments_.size(); }
    // True when segments were dropped because the list reached kMaxSegments.
    bool overflowed() const { return overflowed_; }

    // Millions of edges are legal in a file but more than any real frame draws.
    static constexpr size_t kMaxSegments = 4 * 1000 * 1000;

private:
    void push(Point a, Point b, uint16_t item);  // a and b within the device range

    std::vector<Segment> segments_;
    bool overflowed_ = false;
    float grid_ = 0;
};

bool isFinite(Point p);
// The point on the lattice of 1 / cellsPerPixel device pixels nearest to p, halves upwards
// (floor(v * n + 0.5) / n); p itself when cellsPerPixel is 0 or p lies beyond the device range.
Point snapToLattice(Point p, float cellsPerPixel);
Point clampToDeviceRange(Point p);

// Number of straight pieces a quadratic curve needs for the tolerance, capped.
int quadSubdivisions(Point a, Point control, Point b, float tolerance);

}  // namespace swf::render
