// The areas a frame redraws: the changed objects' rectangles merged into a short list. Each
// rectangle costs a pass over the display list, each pixel a repaint, so two rectangles are
// merged when their common bounding box adds little area, and the list is capped.
#pragma once

#include <cstddef>
#include <vector>

#include "../renderer.h"

namespace swf {

constexpr size_t kMaxDirtyRects = 16;
// A merge that adds at most this many pixels is always taken (about a 64 x 64 square).
constexpr long long kFreeMergeArea = 4096;

// Rectangles covering every input pixel, none overlapping another, at most `maxCount`.
std::vector<IntRect> mergeDirtyRects(std::vector<IntRect> rects, size_t maxCount = kMaxDirtyRects,
                                     long long freeMergeArea = kFreeMergeArea);

// Share of the canvas from which changed areas are drawn as the whole canvas (at a half,
// Default.swf drew some frames whole and cost a third more).
constexpr int kWholeCanvasNumerator = 3, kWholeCanvasDenominator = 4;

// True when the areas (overlapping or not) cover so much of `canvas` that one pass over all of
// it is cheaper than one pass per area. Counted in cells of kCoverageCell pixels, a cell
// touched counting whole: the estimate errs towards drawing the canvas whole.
constexpr int kCoverageCell = 8;
bool coversMostOf(const std::vector<IntRect>& areas, const IntRect& canvas);

// The smallest rectangle holding both (an empty one holds nothing).
IntRect unite(const IntRect& a, const IntRect& b);
// The common part of a and b; empty when they do not meet.
IntRect intersect(const IntRect& a, const IntRect& b);
long long area(const IntRect& r);

}  // namespace swf
