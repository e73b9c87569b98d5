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
    IntRect bounds;      // device pixels, clipped to the canvas
    int rootDepth = 0;   // depth of the root's display object it belongs to
};

std::vector<DrawnItem> collectDrawnItems(const Clip& root, const Matrix& toDevice, int canvasWidth, int canvasHeight);

// Device box of one object drawn with `m` (filters' reach included), on a stage drawn with
// `toDevice`; empty when it draws nothing.
IntRect drawnBounds(const DisplayObject& obj, const Matrix& m, const Matrix& toDevice, int canvasWidth, int canvasHeight);

// A hash of everything that decides the object's pixels when drawn with `m` (colour
// transforms of ancestors aside): equal for two objects that draw the same.
uint64_t contentSignature(const DisplayObject& obj, const Matrix& m);

// Filter sizes from stage pixels to device pixels for a stage drawn with `toDevice`.
std::vector<Filter> deviceFilters(const std::vector<Filter>& filters, const Matrix& toDevice);

// What differs between two renders: the bounds of the items present in one list and not the
// other (by signature and bounds), and the lowest root depth among those items. Areas covering
// most of `canvas` become the whole canvas (see coversMostOf()).
struct Changes {
    std::vector<IntRect> areas;  // none when both lists draw the same things in the same order
    int lowestDepth = 0x10000;   // above every depth when nothing changed
};
Changes findChanges(const std::vector<DrawnItem>& before, const std::vector<DrawnItem>& after, const IntRect& canvas);

}  // namespace swf
