// The renderer draws shapes into a canvas. One instance per frame being drawn (it keeps the mask
// stack and the clip rectangle); it allocates scratch memory that it reuses between calls.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "bitmap.h"
#include "filter.h"
#include "geometry.h"
#include "shape.h"

namespace swf {

// Anti-aliasing levels of the original player: Low draws aliased and samples bitmaps without
// smoothing, Medium uses 2 x 2 samples per pixel, High 4 x 4 (drawn as the exact area of the
// outline snapped to the quarter-pixel lattice, which is what 4 x 4 samples on that lattice
// count for every edge that is straight across a pixel). Best places edges as High does; it
// differs in the original only by smoothing bitmaps while they move, which this renderer does
// at High too. Where edges land: see renderer.cpp.
enum class Quality : uint8_t { Low, Medium, High, Best };

struct IntRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // x1, y1 exclusive
    bool empty() const { return x1 <= x0 || y1 <= y0; }
};

// Scratch memory that renderers draw with (layer canvases, mask planes, filter planes), kept
// from one renderer to the next: a host drawing each frame as bands or changed areas would
// otherwise allocate and fault in canvas-sized buffers for every band of every frame.
// Renderers on several threads may share a pool: each takes a set of its own while it lives.
class RendererScratchPool {
public:
    RendererScratchPool();
    ~RendererScratchPool();
    RendererScratchPool(const RendererScratchPool&) = delete;
    RendererScratchPool& operator=(const RendererScratchPool&) = delete;

    // Sets kept (one per thread drawing at once) and layer canvases kept in each: a movie that
    // nests layers deeper keeps no more than this between renderers.
    static constexpr size_t kMaxSets = 16;
    static constexpr size_t kMaxSpareLayers = 4;
    size_t setsKept();

    struct Set;

private:
    friend class Renderer;
    std::unique_ptr<Set> take();
    void give(std::unique_ptr<Set> set);

    std::mutex lock_;
    std::vector<std::unique_ptr<Set>> free_;
};

class Renderer {
public:
    // With `scratch`, the renderer borrows its scratch memory from the pool and gives it back
    // when destroyed.
    Renderer(Canvas& target, Quality quality, RendererScratchPool* scratch = nullptr);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Limits every later operation to this rectangle of the canvas (the dirty region).
    // Default: the whole canvas.
    void setClipRect(IntRect rect);

    // Fills the clip rectangle with an opaque colour (the stage background).
    void clear(Rgba background);

    // Draws the shape with `toDevice` mapping shape twips to canvas pixels and the colour
    // transform applied to every fill, gradient stop, bitmap pixel and stroke. The fills of a
    // layer are composited in one pass, so neighbouring fills leave no seam between them.
    void drawShape(const Shape& shape, const Matrix& toDevice, const ColorTransform& cx);

    // Masks (clip layers). Between beginMask() and endMask() drawShape() adds the shapes'
    // covered area (colours ignored) to a new mask instead of drawing; endMask() pushes it,
    // intersected with the mask already in force. popMask() drops the innermost one.
    void beginMask();
    void endMask();
    void popMask();

    // Offscreen layers. beginLayer() sends later drawing into a transparent scratch canvas (from
    // a pool kept by this renderer) limited to `area` cut to the canvas; filters reading
    // neighbours need the clip rectangle widened by their reach (filterReach()). endLayer()
    // applies the filters in order over that area, composites the layer onto what lies beneath
    // with `mode` inside the clip rectangle in force at beginLayer(), and restores that clip.
    // Nesting deeper than kMaxLayers draws straight through (normal, unfiltered).
    static constexpr int kMaxLayers = 16;
    void beginLayer(IntRect area);
    // `keep`, when given, receives the filtered layer (the area's pixels) before it lands; it
    // is left empty when the layer drew straight through.
    void endLayer(BlendMode mode, const std::vector<Filter>& filters = {}, Bitmap* keep = nullptr);
    // Puts a kept layer down again with its top left at (x, y), inside the clip rectangle.
    void drawKeptLayer(const Bitmap& pixels, int x, int y, BlendMode mode);
    bool masked() const;  // a mask is in force or being drawn
    bool buildingMask() const;  // between beginMask() and endMask()
    IntRect clipRect() const;
    IntRect canvasRect() const;  // the whole target; empty when it is unusable

    // Draws every pixel through the plain general paths instead of the fast ones (single-fill
    // rows, opaque runs, specialised gradient and bitmap loops). Output must be byte-identical;
    // the renderer's tests compare the two.
    void setReferencePaths(bool on);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace swf
