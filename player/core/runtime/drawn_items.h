// What a render put where: one entry per drawn object with a signature of everything that
// decides its pixels and its device bounds. Two such lists give the area that changed.
#pragma once

#include <cstdint>
#include <vector>

#include "../renderer.h"
#include "clip.h"

namespace swf {

struct DrawnItem {
    uint64_t signature = 0;
    IntRect bounds;  // device pixels, clipped to the canvas
};

std::vector<DrawnItem> collectDrawnItems(const Clip& root, const Matrix& toDevice, int canvasWidth, int canvasHeight);

// The union of the bounds of items present in one list and not the other (by signature and
// bounds); empty when both lists draw the same things in the same order.
IntRect changedArea(const std::vector<DrawnItem>& before, const std::vector<DrawnItem>& after);

}  // namespace swf
