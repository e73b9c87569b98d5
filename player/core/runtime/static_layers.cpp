#include "static_layers.h"

#include <algorithm>

#include "stage_renderer.h"

namespace swf {

int staticSplitDepth(const Clip& root, int depth) {
    int split = depth;
    for (bool lowered = true; lowered;) {
        lowered = false;
        for (const auto& [d, obj] : root.displayList()) {
            if (d >= split) break;
            if (obj->state().clipDepth >= split) {
                split = d;
                lowered = true;
                break;
            }
        }
    }
    return split;
}

void StaticLayers::clear() {
    valid_ = false;
    pixels_ = Canvas();
}

void StaticLayers::drawLayers(const Clip& root, const DisplayState& rootLook, const Matrix& toDevice, Quality quality,
                              Rgba background, const std::vector<IntRect>& areas, const BandRunner* bands, BitmapCache* cache,
                              RendererScratchPool* scratch) {
    background.a = 255;
    drawAreasInBands(areas, bands, [&](const IntRect& part) {
        Renderer renderer(pixels_, quality, scratch);
        renderer.setClipRect(part);
        renderer.clear(background);
        drawRoot(renderer, root, rootLook, toDevice, cache, 0, depth_);
    });
}

void StaticLayers::redraw(const Clip& root, const DisplayState& rootLook, const Matrix& toDevice, Quality quality,
                          Rgba background, const Canvas& size, int depth, const BandRunner* bands, BitmapCache* cache,
                          RendererScratchPool* scratch) {
    if (pixels_.width != size.width || pixels_.height != size.height) pixels_ = Canvas(size.width, size.height);
    depth_ = depth;
    drawLayers(root, rootLook, toDevice, quality, background, {IntRect{0, 0, size.width, size.height}}, bands, cache,
               scratch);
    valid_ = true;
}

void StaticLayers::update(const Clip& root, const DisplayState& rootLook, const Matrix& toDevice, Quality quality,
                          Rgba background, const std::vector<IntRect>& areas, const BandRunner* bands, BitmapCache* cache,
                          RendererScratchPool* scratch) {
    if (valid_) drawLayers(root, rootLook, toDevice, quality, background, areas, bands, cache, scratch);
}

void StaticLayers::copyTo(Canvas& canvas, const IntRect& area) const {
    for (int y = area.y0; y < area.y1; ++y) {
        std::copy(pixels_.row(y) + area.x0, pixels_.row(y) + area.x1, canvas.row(y) + area.x0);
    }
}

}  // namespace swf
