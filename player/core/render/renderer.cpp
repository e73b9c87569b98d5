// swf::Renderer: turns shape layers into segments and paints, runs the coverage rasterizer over
// them and composites the rows (see coverage_rasterizer.h for the algorithm).
//
// Where edges land (the original's placement, which its low-quality output shows pixel for
// pixel; every quality follows it):
// - Outlines go from twips through the object's and the stage's matrices to device pixels in
//   floating point; then every end point of a fill's outline (curves after flattening) snaps
//   to the lattice of the quality's samples: whole pixels at Low, halves at Medium,
//   quarters at High and Best, halves rounding upwards (floor(v * n + 0.5) / n).
// - Samples lie on that lattice, at the top left corners of the sample cells (x + i / n,
//   y + k / n), not at their centres. A sample exactly on an outline is inside when the outline
//   is a left or top edge there and outside when it is a right or bottom edge (half-open), so
//   neighbouring shapes share such samples without gaps or double coverage.
// - So at Low a pixel is drawn when its top left corner lies inside the snapped outline. An
//   edge along an axis at device coordinate v is the pixel boundary floor(v + 0.5): a rectangle
//   from x = 2.4 to 5.6 fills columns 2 to 5 (as a centre sample would), one from 2.5 to 5.5
//   columns 3 to 5 (a centre sample, which takes a centre on the left edge, would give 2 to 4).
//   Objects centred on their registration point with an odd size in pixels have such edges.
// - High counts the exact area of the quarter-snapped outline: for edges straight across a
//   pixel that is what its 4 x 4 samples count; slanted edges get the finer true area.
// - Strokes: the path's points (curves flattened) snap to the lattice, and the outline is
//   drawn at the stroke's exact width around them, not snapped again (a slanted one-pixel line
//   whose corners snapped could collapse to nothing). So at Low a 1-pixel line whose path lies
//   on row y fills row y, a 2-pixel one rows y - 1 and y, a 3-pixel one y - 1 to y + 1. Strokes
//   are never thinner than one pixel; one that thin is a hairline, whose horizontal and
//   vertical straight pieces then move onto the middle of their pixel row or column (a
//   hairline at y = 10.0 fills row 10 at every quality). Pixel hinting snaps every point to
//   pixel middles or corners instead (below).
// - Text: glyph outlines, from embedded and device fonts alike, are fills and follow the rule
//   above where the layout put them.
// - The stage: the movie's rectangle is scaled to the canvas and centred at whole pixels (halves
//   rounding upwards, stage_view), so that the stage's own edges and whole-pixel positions on it
//   stay on the pixel grid at 1:1; objects' translations stay fractional until the snap above.
// - Bitmaps drawn at their own size without rotation land on whole pixels (the caller rounds
//   the translation, halves upwards), so each bitmap pixel covers exactly one device pixel;
//   bitmap pixels are looked up at device pixel centres. Cached and filtered layers are put
//   down at whole pixels the same way.
//
// Decisions worth knowing:
// - Fills: a layer's fills are one rasterizer pass; edges bound fill1 as stored and fill0
//   reversed, so windings stay consistent whatever order and direction the file used.
// - Strokes: each line style of a layer is its own pass, in style order, over the fills.
//   Width = twips x the matrix's mean scale; with both no-scale flags width / 20 device pixels,
//   with one of them the scale of the other axis; never under one device pixel; pixel hinting
//   rounds the width and snaps the path's points (curves after flattening) to the pixel grid. A miter reaching further than miterLimit x width from the joint is cut
//   off square at that distance.
// - A gradient without records and a bitmap fill without a usable bitmap draw nothing.
// - A shape whose declared bounds (plus 2 pixels) miss the clip rectangle is skipped; empty
//   bounds never cull.
// - Layers: canvas-sized scratch canvases from a pool, cleared and drawn only over the layer's
//   area; masks stay in device space and apply while drawing into a layer. Filters run over
//   the area (filters.h), then the blend mode lands it inside the clip of the moment the layer
//   began (blend_modes.h). The caller widens the area by the filters' reach, so a pixel of the
//   clip gets the same value however small the clip is (changed areas, bands).
#include "renderer.h"

#include <algorithm>
#include <cmath>

#include "blend_modes.h"
#include "coverage_rasterizer.h"
#include "filters.h"
#include "mask_stack.h"
#include "paint.h"
#include "pixel_math.h"
#include "row_compositor.h"
#include "segment.h"
#include "stroker.h"

namespace swf {

using namespace render;

namespace {

int samplesFor(Quality quality) {
    switch (quality) {
        case Quality::Low: return 1;
        case Quality::Medium: return 2;
        default: return 0;
    }
}

// The lattice outlines snap to: one cell per sample.
int gridFor(Quality quality) {
    switch (quality) {
        case Quality::Low: return 1;
        case Quality::Medium: return 2;
        default: return 4;
    }
}

bool isFiniteMatrix(const Matrix& m) {
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

// Largest stroke we draw, in device pixels: wider only costs time, the screen is covered anyway.
constexpr float kMaxStrokeWidth = 1 << 14;

float strokeWidth(const LineStyle& style, const Matrix& m) {
    if (style.width == 0) return 1;
    float sx = std::sqrt(m.a * m.a + m.b * m.b);
    float sy = std::sqrt(m.c * m.c + m.d * m.d);
    float width;
    if (style.noHScale && style.noVScale) {
        width = float(style.width) / kTwipsPerPixel;
    } else if (style.noHScale) {
        width = float(style.width) * sy;
    } else if (style.noVScale) {
        width = float(style.width) * sx;
    } else {
        width = float(style.width) * (sx + sy) * 0.5f;
    }
    if (!(width >= 1)) width = 1;  // also NaN
    return std::min(width, kMaxStrokeWidth);
}

// Pixel hinting: anchors move so that the stroke's sides fall on pixel boundaries (pixel
// centres for odd widths, pixel corners for even ones), for crisp one-pixel lines.
void snapToPixels(std::vector<StrokePoint>& path, float width) {
    const bool odd = int(width) % 2 == 1;
    auto snap = [odd](float v) { return odd ? std::floor(v) + 0.5f : std::floor(v + 0.5f); };
    for (StrokePoint& sp : path) {
        if (isFinite(sp.p) && std::fabs(sp.p.x) < kMaxDeviceCoordinate && std::fabs(sp.p.y) < kMaxDeviceCoordinate) {
            sp.p = {snap(sp.p.x), snap(sp.p.y)};
        }
    }
}

// Hairlines (strokes no wider than a pixel, drawn one pixel wide) are hinted where they run
// straight across or down: such a piece moves onto the middle of the pixel row or column it
// starts in, so it fills exactly that row or column whatever the quality (a 1-pixel border of
// a rectangle at whole pixels is crisp, not two half-covered rows). Curves and slanted pieces
// keep their place. Each decision reads the unhinted path.
void hintHairline(std::vector<StrokePoint>& path) {
    const size_t n = path.size();
    std::vector<float> xs(n), ys(n);
    for (size_t i = 0; i < n; ++i) {
        xs[i] = path[i].p.x;
        ys[i] = path[i].p.y;
    }
    auto centre = [](float v) { return std::floor(v) + 0.5f; };
    for (size_t i = 0; i + 1 < n; ++i) {
        const StrokePoint &a = path[i], &b = path[i + 1];
        if (a.smooth || b.smooth || !isFinite(a.p) || !isFinite(b.p)) continue;
        if (std::fabs(a.p.x) > kMaxDeviceCoordinate || std::fabs(a.p.y) > kMaxDeviceCoordinate) continue;
        if (a.p.y == b.p.y && a.p.x != b.p.x) ys[i] = ys[i + 1] = centre(a.p.y);
        if (a.p.x == b.p.x && a.p.y != b.p.y) xs[i] = xs[i + 1] = centre(a.p.x);
    }
    // A closed path's first and last points are one corner: it takes what either piece moved.
    if (n > 2 && path.front().p == path.back().p) {
        for (std::vector<float>* v : {&xs, &ys}) {
            const float original = v == &xs ? path.front().p.x : path.front().p.y;
            if ((*v)[0] != original) (*v)[n - 1] = (*v)[0];
            else (*v)[0] = (*v)[n - 1];
        }
    }
    for (size_t i = 0; i < n; ++i) path[i].p = {xs[i], ys[i]};
}

// A run of consecutive edges of one line style, each starting where the previous one ended.
struct StrokeRun {
    uint16_t line;
    size_t first, count;  // into the layer's edges
};

}  // namespace

// What a renderer draws with that is worth keeping from one renderer to the next.
struct RendererScratchPool::Set {
    std::vector<Canvas> sparePixels;  // scratch canvases of one size (the target's when taken)
    MaskStack masks;
    FilterScratch filterScratch;
    SegmentList segments;
};

RendererScratchPool::RendererScratchPool() = default;
RendererScratchPool::~RendererScratchPool() = default;

std::unique_ptr<RendererScratchPool::Set> RendererScratchPool::take() {
    std::lock_guard<std::mutex> hold(lock_);
    if (free_.empty()) return std::make_unique<Set>();
    std::unique_ptr<Set> set = std::move(free_.back());
    free_.pop_back();
    return set;
}

void RendererScratchPool::give(std::unique_ptr<Set> set) {
    if (set->sparePixels.size() > kMaxSpareLayers) set->sparePixels.resize(kMaxSpareLayers);
    std::lock_guard<std::mutex> hold(lock_);
    if (free_.size() < kMaxSets) free_.push_back(std::move(set));
}

size_t RendererScratchPool::setsKept() {
    std::lock_guard<std::mutex> hold(lock_);
    return free_.size();
}

// A layer being drawn: its pixels, and what to restore when it ends.
struct OpenLayer {
    Canvas pixels;       // canvas-sized; only `area` is cleared and meaningful
    IntRect area;        // where drawing into it went
    IntRect outerClip;   // the clip of the moment it began: where it lands
    bool passThrough;    // too deep: drawing went straight to `below`
};

struct Renderer::Impl {
    Impl(Canvas& target, Quality q, RendererScratchPool* pool)
        : target(target), quality(q), rasterizer(samplesFor(q)), pool(pool),
          scratch(pool ? pool->take() : std::make_unique<RendererScratchPool::Set>()), masks(scratch->masks),
          segments(scratch->segments), sparePixels(scratch->sparePixels), filterScratch(scratch->filterScratch) {
        bool valid = target.width > 0 && target.height > 0 &&
                     target.pixels.size() >= size_t(target.width) * size_t(target.height);
        bounds = valid ? IntRect{0, 0, target.width, target.height} : IntRect{};
        clip = bounds;
        masks.reset();
        masks.setSize(bounds.x1, bounds.y1);
        segments.clear();
        // Canvases kept from a target of another size do not fit this one.
        sparePixels.erase(std::remove_if(sparePixels.begin(), sparePixels.end(),
                                         [&](const Canvas& c) { return c.width != bounds.x1 || c.height != bounds.y1; }),
                          sparePixels.end());
    }
    ~Impl() {
        // Layers left open (a caller that did not end them) hand their canvases back too.
        for (OpenLayer& layer : layers)
            if (!layer.passThrough) sparePixels.push_back(std::move(layer.pixels));
        if (pool) pool->give(std::move(scratch));
    }

    // Flattening tolerance in device pixels: a chord loses at most 2/3 of it in area, so the
    // exact-area level needs it fine to keep curved edges as sharp as straight ones.
    float tolerance() const { return quality == Quality::High ? 0.1f : 0.3f; }

    void drawShape(const Shape& shape, const Matrix& toDevice, const ColorTransform& cx);
    void drawFills(const ShapeLayer& layer, FillRule rule, const Matrix& m, const ColorTransform& cx);
    void drawStrokes(const ShapeLayer& layer, const Matrix& m, const ColorTransform& cx);
    void addEdge(const Edge& e, const Matrix& m, bool reversed, uint16_t item);
    void run();
    void beginLayer(IntRect area);
    void endLayer(BlendMode mode, const std::vector<Filter>& filters, Bitmap* keep);
    void drawKeptLayer(const Bitmap& pixels, int x, int y, BlendMode mode);

    // Where drawing goes: the innermost layer drawn offscreen, or the target.
    Canvas& canvas() {
        for (auto it = layers.rbegin(); it != layers.rend(); ++it) {
            if (!it->passThrough) return it->pixels;
        }
        return target;
    }

    Canvas& target;
    Quality quality;
    IntRect bounds, clip;
    bool reference = false;
    CoverageRasterizer rasterizer;
    RendererScratchPool* pool;
    std::unique_ptr<RendererScratchPool::Set> scratch;
    MaskStack& masks;
    SegmentList& segments;
    std::vector<Paint> paints;
    std::vector<FillRule> rules;
    std::vector<StrokeRun> runs;
    std::vector<StrokePoint> path;
    std::vector<OpenLayer> layers;
    std::vector<Canvas>& sparePixels;  // scratch canvases of the target's size
    FilterScratch& filterScratch;
};

void Renderer::Impl::beginLayer(IntRect area) {
    OpenLayer layer;
    layer.outerClip = clip;
    layer.area = intersect(area, bounds);
    layer.passThrough = layers.size() >= size_t(kMaxLayers) || bounds.empty();
    if (!layer.passThrough) {
        if (!sparePixels.empty()) {
            layer.pixels = std::move(sparePixels.back());
            sparePixels.pop_back();
        } else {
            layer.pixels = Canvas(bounds.x1, bounds.y1);
        }
        for (int y = layer.area.y0; y < layer.area.y1; ++y) {
            uint32_t* row = layer.pixels.row(y);
            std::fill(row + layer.area.x0, row + layer.area.x1, 0u);
        }
        clip = layer.area;
    }
    layers.push_back(std::move(layer));
}

void Renderer::Impl::endLayer(BlendMode mode, const std::vector<Filter>& filters, Bitmap* keep) {
    if (layers.empty()) return;
    OpenLayer layer = std::move(layers.back());
    layers.pop_back();
    clip = layer.outerClip;
    if (layer.passThrough) return;
    for (const Filter& f : filters) applyFilter(f, layer.pixels, layer.area, filterScratch, reference);
    if (keep) {
        const IntRect& a = layer.area;
        *keep = a.empty() ? Bitmap() : Bitmap(a.x1 - a.x0, a.y1 - a.y0);
        for (int y = a.y0; y < a.y1; ++y) std::copy(layer.pixels.row(y) + a.x0, layer.pixels.row(y) + a.x1, keep->row(y - a.y0));
    }
    const IntRect land = intersect(layer.area, clip);
    Canvas& below = canvas();
    for (int y = land.y0; y < land.y1; ++y) {
        blendRow(mode, layer.pixels.row(y) + land.x0, below.row(y) + land.x0, land.x1 - land.x0);
    }
    sparePixels.push_back(std::move(layer.pixels));
}

void Renderer::Impl::addEdge(const Edge& e, const Matrix& m, bool reversed, uint16_t item) {
    Point a = m.apply(e.from), b = m.apply(e.to);
    if (reversed) std::swap(a, b);
    if (e.curved) {
        segments.addQuad(a, m.apply(e.control), b, item, tolerance());
    } else {
        segments.addLine(a, b, item);
    }
}

void Renderer::Impl::drawKeptLayer(const Bitmap& pixels, int x, int y, BlendMode mode) {
    if (pixels.pixels.size() < size_t(pixels.width) * size_t(pixels.height)) return;
    const IntRect land = intersect(IntRect{x, y, x + pixels.width, y + pixels.height}, clip);
    Canvas& below = canvas();
    for (int row = land.y0; row < land.y1; ++row) {
        blendRow(mode, pixels.row(row - y) + (land.x0 - x), below.row(row) + land.x0, land.x1 - land.x0);
    }
}

void Renderer::Impl::run() {
    if (segments.size() == 0) return;
    if (masks.building()) {
        uint8_t* plane = masks.buildingPlane();
        if (!plane) return;
        const MaskStack::NestedMask nested = masks.nestedInBuilding();
        if (nested.hidden) return;
        IntRect area = intersect(clip, masks.buildingArea());
        if (nested.plane) area = intersect(area, nested.area);
        if (area.empty()) return;
        MaskCompositor sink(plane, masks.width(), nested.plane);
        rasterizer.rasterize(segments.segments(), rules, area, sink);
        masks.markInked(sink.inked());
        return;
    }
    IntRect area = clip;
    if (masks.active()) area = intersect(area, masks.activeArea());
    if (area.empty()) return;
    for (Paint& p : paints) p.setReferenceMode(reference);
    PaintCompositor sink(canvas(), paints, masks.activePlane(), reference);
    rasterizer.rasterize(segments.segments(), rules, area, sink);
}

void Renderer::Impl::drawFills(const ShapeLayer& layer, FillRule rule, const Matrix& m,
                               const ColorTransform& cx) {
    const size_t fillCount = std::min<size_t>(layer.fills.size(), UINT16_MAX);
    if (fillCount == 0) return;
    segments.clear();
    segments.setGrid(gridFor(quality));
    for (const Edge& e : layer.edges) {
        if (e.fill0 == e.fill1) continue;  // the same fill on both sides bounds nothing
        if (e.fill1 != 0 && e.fill1 <= fillCount) addEdge(e, m, false, uint16_t(e.fill1 - 1));
        if (e.fill0 != 0 && e.fill0 <= fillCount) addEdge(e, m, true, uint16_t(e.fill0 - 1));
    }
    if (segments.size() == 0) return;
    rules.assign(fillCount, rule);
    paints.clear();
    if (!masks.building()) {
        const bool smoothing = quality != Quality::Low;
        for (size_t i = 0; i < fillCount; ++i) paints.push_back(Paint::make(layer.fills[i], m, cx, smoothing));
    }
    run();
}

void Renderer::Impl::drawStrokes(const ShapeLayer& layer, const Matrix& m, const ColorTransform& cx) {
    const size_t lineCount = layer.lines.size();
    if (lineCount == 0) return;
    runs.clear();
    for (size_t i = 0; i < layer.edges.size(); ++i) {
        const Edge& e = layer.edges[i];
        if (e.line == 0 || e.line > lineCount) continue;
        if (!runs.empty()) {
            StrokeRun& last = runs.back();
            const Edge& previous = layer.edges[last.first + last.count - 1];
            if (last.line == e.line && last.first + last.count == i && previous.to == e.from) {
                ++last.count;
                continue;
            }
        }
        runs.push_back({e.line, i, 1});
    }
    std::stable_sort(runs.begin(), runs.end(), [](const StrokeRun& a, const StrokeRun& b) { return a.line < b.line; });

    const bool smoothing = quality != Quality::Low;
    for (size_t r = 0; r < runs.size();) {
        const uint16_t line = runs[r].line;
        const LineStyle& style = layer.lines[line - 1];
        StrokeStyle stroke;
        float width = strokeWidth(style, m);
        if (style.pixelHinting) width = std::round(width);
        stroke.halfWidth = width * 0.5f;
        stroke.startCap = style.startCap;
        stroke.endCap = style.endCap;
        stroke.join = style.join;
        stroke.miterLimit = std::isnan(style.miterLimit) ? 3.0f : style.miterLimit;
        segments.clear();
        // The path is on the lattice already; its outline keeps the stroke's exact width (a
        // slanted one-pixel line snapped again could collapse to nothing).
        segments.setGrid(0);
        Stroker stroker(segments, 0, tolerance());
        for (; r < runs.size() && runs[r].line == line; ++r) {
            if (segments.overflowed()) continue;
            const StrokeRun& strokeRun = runs[r];
            const Edge& first = layer.edges[strokeRun.first];
            const Edge& last = layer.edges[strokeRun.first + strokeRun.count - 1];
            path.clear();
            path.push_back({m.apply(first.from), false});
            for (size_t i = strokeRun.first; i < strokeRun.first + strokeRun.count; ++i) {
                // A run of a million curves must not become a hundred million points.
                if (path.size() > SegmentList::kMaxSegments / 4) break;
                const Edge& e = layer.edges[i];
                Point a = m.apply(e.from), b = m.apply(e.to);
                if (e.curved) {
                    Point c = m.apply(e.control);
                    int pieces = isFinite(a) && isFinite(b) && isFinite(c) ? quadSubdivisions(a, c, b, tolerance()) : 1;
                    for (int k = 1; k < pieces; ++k) {
                        float t = float(k) / float(pieces), u = 1 - t;
                        path.push_back({{u * u * a.x + 2 * u * t * c.x + t * t * b.x,
                                         u * u * a.y + 2 * u * t * c.y + t * t * b.y},
                                        true});
                    }
                }
                path.push_back({b, false});
            }
            if (style.pixelHinting) {
                snapToPixels(path, stroke.halfWidth * 2);
            } else {
                for (StrokePoint& sp : path) sp.p = snapToLattice(sp.p, float(gridFor(quality)));
                if (width <= 1) hintHairline(path);
            }
            bool closed = !style.noClose && first.from == last.to;
            stroker.stroke(path, closed, stroke);
        }
        if (segments.size() == 0) continue;
        rules.assign(1, FillRule::NonZero);
        paints.clear();
        if (!masks.building()) {
            paints.push_back(style.hasFill ? Paint::make(style.fill, m, cx, smoothing)
                                           : Paint::solid(premultiply(cx.apply(style.color))));
        }
        run();
    }
}

// True when the shape's declared bounds, mapped to the device, miss `area` entirely. Empty
// bounds (a shape built without them) are never trusted to cull.
bool boundsMiss(const Rect& bounds, const Matrix& m, IntRect area) {
    if (bounds.empty()) return false;
    const Point corners[4] = {m.apply({float(bounds.xMin), float(bounds.yMin)}), m.apply({float(bounds.xMax), float(bounds.yMin)}),
                              m.apply({float(bounds.xMin), float(bounds.yMax)}), m.apply({float(bounds.xMax), float(bounds.yMax)})};
    float x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (const Point& p : corners) {
        if (!isFinite(p)) return false;
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    // Hairlines and the one-pixel minimum width may reach past bounds drawn at a small scale.
    constexpr float kMargin = 2;
    return x1 + kMargin < float(area.x0) || x0 - kMargin > float(area.x1) || y1 + kMargin < float(area.y0) ||
           y0 - kMargin > float(area.y1);
}

void Renderer::Impl::drawShape(const Shape& shape, const Matrix& toDevice, const ColorTransform& cx) {
    if (clip.empty() || !isFiniteMatrix(toDevice)) return;
    // Most shapes of a frame lie outside a small dirty rectangle: skip them before flattening.
    if (boundsMiss(shape.bounds, toDevice, clip)) return;
    if (!masks.building() && masks.active() && masks.activeArea().empty()) return;
    const FillRule rule = shape.nonZeroWinding ? FillRule::NonZero : FillRule::EvenOdd;
    for (const ShapeLayer& layer : shape.layers) {
        drawFills(layer, rule, toDevice, cx);
        drawStrokes(layer, toDevice, cx);
    }
}

Renderer::Renderer(Canvas& target, Quality quality, RendererScratchPool* scratch)
    : impl_(std::make_unique<Impl>(target, quality, scratch)) {}
Renderer::~Renderer() = default;

void Renderer::setClipRect(IntRect rect) {
    const IntRect& b = impl_->bounds;
    IntRect c{std::max(rect.x0, b.x0), std::max(rect.y0, b.y0), std::min(rect.x1, b.x1), std::min(rect.y1, b.y1)};
    impl_->clip = c.empty() ? IntRect{} : c;
}

void Renderer::clear(Rgba background) {
    const IntRect& c = impl_->clip;
    if (c.empty()) return;
    background.a = 255;
    const uint32_t color = premultiply(background);
    for (int y = c.y0; y < c.y1; ++y) {
        uint32_t* row = impl_->canvas().row(y);
        std::fill(row + c.x0, row + c.x1, color);
    }
}

void Renderer::drawShape(const Shape& shape, const Matrix& toDevice, const ColorTransform& cx) {
    impl_->drawShape(shape, toDevice, cx);
}

void Renderer::beginMask() { impl_->masks.begin(impl_->clip); }
void Renderer::endMask() { impl_->masks.end(); }
void Renderer::popMask() { impl_->masks.pop(); }
void Renderer::beginLayer(IntRect area) { impl_->beginLayer(area); }
void Renderer::endLayer(BlendMode mode, const std::vector<Filter>& filters, Bitmap* keep) {
    if (keep) *keep = Bitmap();
    impl_->endLayer(mode, filters, keep);
}
void Renderer::drawKeptLayer(const Bitmap& pixels, int x, int y, BlendMode mode) { impl_->drawKeptLayer(pixels, x, y, mode); }
bool Renderer::masked() const { return impl_->masks.active() || impl_->masks.building(); }
bool Renderer::buildingMask() const { return impl_->masks.building(); }
IntRect Renderer::clipRect() const { return impl_->clip; }
IntRect Renderer::canvasRect() const { return impl_->bounds; }
void Renderer::setReferencePaths(bool on) {
    impl_->reference = on;
    impl_->rasterizer.setReferenceMode(on);
}

}  // namespace swf
