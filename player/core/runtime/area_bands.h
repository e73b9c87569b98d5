// Drawing disjoint areas of a canvas through a host's threads.
#pragma once

#include <functional>
#include <vector>

#include "../renderer.h"

namespace swf {

// A host's threads: runs draw(y0, y1) for bands of rows covering [0, rows), in any order and
// possibly at once, and returns when every band is drawn.
using BandRunner = std::function<void(int rows, const std::function<void(int y0, int y1)>& draw)>;

// Calls drawPart for pieces of the areas that together cover each area once. With `bands`, the
// areas' rows one after another make one run through the host's threads: one wait per call
// rather than one per area, short areas drawn beside tall ones, and a thread done with its
// rows of one area goes on with the next. Fewer rows than kMinBandedRows in all are drawn on
// the calling thread, area by area: handing them out would cost more than it saves.
void drawAreasInBands(const std::vector<IntRect>& areas, const BandRunner* bands,
                      const std::function<void(const IntRect& part)>& drawPart);
constexpr int kMinBandedRows = 64;

}  // namespace swf
