// The root's bottom layers drawn once and kept: while a movie changes only higher depths, each
// dirty area starts from a copy of these pixels instead of redrawing the layers beneath. When
// a kept layer changes, the kept pixels are redrawn in the frame's dirty areas only.
#pragma once

#include <vector>

#include "../bitmap.h"
#include "../renderer.h"
#include "area_bands.h"
#include "bitmap_cache.h"
#include "clip.h"

namespace swf {

// The lowest depth at or below `depth` that no mask of the root spans: the layers from it up
// need no mask from below.
int staticSplitDepth(const Clip& root, int depth);

class StaticLayers {
public:
    void clear();
    bool valid() const { return valid_; }
    int depth() const { return depth_; }  // the layers kept are those below it

    // Draws the root's layers below `depth` (under the root's colour transform, `rootLook`) over
    // the background into a canvas of `size` (through the host's threads when `bands` is given;
    // filtered objects from `cache` when given: a blurred backdrop the frame drew already is
    // not blurred again).
    void redraw(const Clip& root, const DisplayState& rootLook, const Matrix& toDevice, Quality quality,
                Rgba background, const Canvas& size, int depth, const BandRunner* bands = nullptr,
                BitmapCache* cache = nullptr, RendererScratchPool* scratch = nullptr);
    // The kept layers changed inside `areas` only (the frame's dirty areas): redraws them there.
    void update(const Clip& root, const DisplayState& rootLook, const Matrix& toDevice, Quality quality,
                Rgba background, const std::vector<IntRect>& areas, const BandRunner* bands = nullptr,
                BitmapCache* cache = nullptr, RendererScratchPool* scratch = nullptr);
    // Copies the kept pixels of `area` into `canvas` (of the same size).
    void copyTo(Canvas& canvas, const IntRect& area) const;

private:
    void drawLayers(const Clip& root, const DisplayState& rootLook, const Matrix& toDevice, Quality quality,
                    Rgba background, const std::vector<IntRect>& areas, const BandRunner* bands, BitmapCache* cache,
                    RendererScratchPool* scratch);

    bool valid_ = false;
    int depth_ = 0;
    Canvas pixels_;
};

}  // namespace swf
