#include "stage_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "display/rectangle_shape.h"
#include "clip_bounds.h"
#include "drawn_items.h"

namespace swf {
namespace {

// What every level of the tree needs to know about the drawing as a whole.
struct Stage {
    Matrix toDevice;           // root twips to device pixels: the zoom that filters follow
    BitmapCache* cache = nullptr;
    bool insideLayer = false;  // an ancestor draws offscreen (alpha and erase act on it)
};

uint64_t mix(uint64_t h, uint64_t v) { return (h ^ v) * 1099511628211ull; }

uint64_t floatBits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

// What decides a kept layer's pixels: the content drawn without its translation, the filters
// at their device sizes, and where the (canvas-cut) box lies relative to the translation.
uint64_t layerKey(const DisplayObject& obj, const Matrix& m, const std::vector<Filter>& filters, const IntRect& box,
                  const ColorTransform& cx) {
    Matrix origin = m;
    origin.tx = origin.ty = 0;
    uint64_t h = contentSignature(obj, origin);
    for (const Filter& f : filters) {
        h = mix(h, uint64_t(f.kind));
        for (float v : {f.blurX, f.blurY, float(f.angle), f.distance, f.strength, f.divisor, f.bias, f.scaleX, f.scaleY}) h = mix(h, floatBits(v));
        for (float v : f.matrix) h = mix(h, floatBits(v));
        for (float v : f.kernel) h = mix(h, floatBits(v));
        for (const GradientRecord& g : f.gradient) h = mix(h, premultiply(g.color) ^ (uint64_t(g.ratio) << 32));
        h = mix(h, premultiply(f.color) ^ (uint64_t(premultiply(f.highlight)) << 32));
        h = mix(h, uint64_t(f.passes) | uint64_t(f.inner) << 8 | uint64_t(f.knockout) << 9 | uint64_t(f.hideObject) << 10 |
                       uint64_t(f.onTop) << 11 | uint64_t(f.preserveAlpha) << 12 | uint64_t(f.clamp) << 13);
        h = mix(h, uint64_t(f.columns) | uint64_t(f.rows) << 16 | uint64_t(reinterpret_cast<uintptr_t>(f.map.get())) << 32);
    }
    if (obj.state().opaqueBackground) h = mix(h, premultiply(*obj.state().opaqueBackground) | (uint64_t(1) << 40));
    h = mix(h, uint64_t(uint32_t(box.x0 - int(m.tx))) | uint64_t(uint32_t(box.y0 - int(m.ty))) << 32);
    h = mix(h, uint64_t(uint32_t(box.x1 - box.x0)) | uint64_t(uint32_t(box.y1 - box.y0)) << 32);
    for (float v : {cx.rMul, cx.gMul, cx.bMul, cx.aMul, cx.rAdd, cx.gAdd, cx.bAdd, cx.aAdd}) h = mix(h, floatBits(float(v)));
    return h;
}

// Halves round upwards, as the renderer snaps outlines (std::round would take -2.5 to -3).
float roundHalfUp(float v) { return std::floor(v + 0.5f); }

void drawLayers(Renderer& r, const Stage& stage, const Clip& clip, const Matrix& toDevice, const ColorTransform& cx,
                bool asMask, int fromDepth, int toDepth);

void drawUnscrolled(Renderer& r, const Stage& stage, const DisplayObject& obj, const Matrix& m, const ColorTransform& cx,
                    bool asMask) {
    if (const Clip* child = obj.clip()) {
        drawLayers(r, stage, *child, m, cx, asMask, 0, kDepthEnd);
        return;
    }
    obj.draw(r, m, cx);
}

// A scroll rectangle shows the part of the object's content inside it, moved so that its top
// left corner sits at the object's origin: the content is drawn through a mask of the window
// (0, 0, width, height), which follows the object's matrix like any shape (so a rotated
// object's window turns with it). A mask being drawn cannot hold another one: there the
// content is moved but not cut.
void drawContent(Renderer& r, const Stage& stage, const DisplayObject& obj, const Matrix& m, const ColorTransform& cx,
                 bool asMask) {
    const std::optional<Rect>& scroll = obj.state().scrollRect;
    if (!scroll) {
        drawUnscrolled(r, stage, obj, m, cx, asMask);
        return;
    }
    if (scroll->width() <= 0 || scroll->height() <= 0) return;
    const Matrix inner = m * Matrix::translate(-float(scroll->xMin), -float(scroll->yMin));
    if (asMask) {
        drawUnscrolled(r, stage, obj, inner, cx, asMask);
        return;
    }
    r.beginMask();
    r.drawShape(rectangleShape(Rect{0, scroll->width(), 0, scroll->height()}, FillStyle{}), m, ColorTransform{});
    r.endMask();
    drawUnscrolled(r, stage, obj, inner, cx, asMask);
    r.popMask();
}

// The object's box filled with its opaque background colour.
Shape backgroundShape(const DisplayObject& obj, Rgba color) {
    const Rect box = obj.opaqueBackgroundBox();
    if (box.empty()) return Shape{};
    FillStyle fill;
    fill.color = color;
    fill.color.a = 255;
    return rectangleShape(box, fill);
}

// Filters, blend modes, cached bitmaps: the object drawn into a layer of its own, which the
// filters then spread and the blend mode puts down. Only the part of the layer that can reach
// the clip rectangle is drawn: the clip widened by the filters' reach, within the object's box.
void drawWithEffects(Renderer& r, const Stage& stage, const DisplayObject& obj, Matrix m, const ColorTransform& cx) {
    const DisplayState& state = obj.state();
    BlendMode mode = state.blendMode;
    // Alpha and erase act on the layer of an ancestor; with none there is nothing to act on
    // and the object is not drawn (drawn normally it would show where it should cut).
    if ((mode == BlendMode::Alpha || mode == BlendMode::Erase) && !stage.insideLayer) return;
    // Drawn as a bitmap, at whole device pixels: so it can be put down again when it moves.
    m.tx = roundHalfUp(m.tx);
    m.ty = roundHalfUp(m.ty);
    if (!std::isfinite(m.tx) || !std::isfinite(m.ty) || std::fabs(m.tx) > 1e8f || std::fabs(m.ty) > 1e8f) return;
    const std::vector<Filter> filters = deviceFilters(state.filters, stage.toDevice);
    const FilterReach reach = filterReach(filters);
    const IntRect clip = r.clipRect(), canvas = r.canvasRect();
    if (clip.empty()) return;
    Stage inner = stage;
    inner.insideLayer = true;
    if (stage.cache && !r.masked()) {
        // Kept whole (not just the part reaching the clip), to serve later frames too; while
        // another band draws it whole, this one draws its own part below.
        const IntRect box = drawnBounds(obj, m, stage.toDevice, canvas.x1, canvas.y1);
        if (box.empty()) return;
        const uint64_t key = layerKey(obj, m, filters, box, cx);
        if (const Bitmap* kept = stage.cache->find(key)) {
            r.drawKeptLayer(*kept, box.x0, box.y0, mode);
            return;
        }
        if (stage.cache->claim(key)) {
            r.beginLayer(box);
            if (state.opaqueBackground) r.drawShape(backgroundShape(obj, *state.opaqueBackground), m, cx);
            drawContent(r, inner, obj, m, cx, false);
            Bitmap keep;
            r.endLayer(mode, filters, &keep);
            stage.cache->store(key, std::move(keep));
            return;
        }
    }
    const int spreadX = std::max(reach.left, reach.right), spreadY = std::max(reach.top, reach.bottom);
    const IntRect widened{clip.x0 - spreadX, clip.y0 - spreadY, clip.x1 + spreadX, clip.y1 + spreadY};
    const IntRect box = drawnBounds(obj, m, stage.toDevice, canvas.x1, canvas.y1);
    const IntRect area{std::max(widened.x0, box.x0), std::max(widened.y0, box.y0), std::min(widened.x1, box.x1),
                       std::min(widened.y1, box.y1)};
    if (area.empty()) return;
    r.beginLayer(area);
    if (state.opaqueBackground) r.drawShape(backgroundShape(obj, *state.opaqueBackground), m, cx);
    drawContent(r, inner, obj, m, cx, false);
    r.endLayer(mode, filters);
}

void drawObjectUnmasked(Renderer& r, const Stage& stage, const DisplayObject& obj, const Matrix& parent,
                        const ColorTransform& parentCx, bool asMask);

// A clip setMask gave a mask shows only where that mask's shapes are, wherever the mask is.
void drawObject(Renderer& r, const Stage& stage, const DisplayObject& obj, const Matrix& parent,
                const ColorTransform& parentCx, bool asMask) {
    const Clip* mask = obj.clip() && !asMask ? liveMask(*obj.clip()) : nullptr;
    if (!mask) {
        drawObjectUnmasked(r, stage, obj, parent, parentCx, asMask);
        return;
    }
    r.beginMask();
    drawLayers(r, stage, *mask, stage.toDevice * clipToRoot(*mask), ColorTransform{}, true, 0, kDepthEnd);
    r.endMask();
    drawObjectUnmasked(r, stage, obj, parent, parentCx, asMask);
    r.popMask();
}

void drawObjectUnmasked(Renderer& r, const Stage& stage, const DisplayObject& obj, const Matrix& parent,
                        const ColorTransform& parentCx, bool asMask) {
    const DisplayState& state = obj.state();
    Matrix m = parent * state.matrix;
    ColorTransform cx = parentCx * state.colorTransform;
    // A mask uses the shapes' coverage only: effects do not apply.
    if (!asMask && state.hasEffects()) {
        drawWithEffects(r, stage, obj, m, cx);
        return;
    }
    drawContent(r, stage, obj, m, cx, asMask);
}

void drawLayers(Renderer& r, const Stage& stage, const Clip& clip, const Matrix& toDevice, const ColorTransform& cx,
                bool asMask, int fromDepth, int toDepth) {
    // The drawing API's content lies under every child.
    if (fromDepth <= 0 && clip.drawing()) r.drawShape(clip.drawing()->builtShape(), toDevice, cx);
    std::vector<Depth> masks;  // clip depths of the masks in force, innermost last
    for (const auto& [depth, obj] : clip.displayList()) {
        if (depth < fromDepth || depth >= toDepth) continue;
        while (!masks.empty() && masks.back() < depth) {
            r.popMask();
            masks.pop_back();
        }
        const Depth clipDepth = obj->state().clipDepth;
        if (clipDepth > 0) {
            // A mask inside a mask's content limits what that content adds to the outer mask.
            if (clipDepth <= depth) continue;
            r.beginMask();
            drawObject(r, stage, *obj, toDevice, cx, true);
            r.endMask();
            masks.push_back(clipDepth);
            continue;
        }
        if (obj->state().visible && !(obj->clip() && isScriptMask(*obj->clip()))) drawObject(r, stage, *obj, toDevice, cx, asMask);
    }
    for (size_t i = 0; i < masks.size(); ++i) r.popMask();
}

}  // namespace

void drawClip(Renderer& r, const Clip& clip, const Matrix& toDevice, const ColorTransform& cx, bool asMask,
              BitmapCache* cache) {
    drawLayers(r, Stage{toDevice, cache}, clip, toDevice, cx, asMask, 0, kDepthEnd);
}

void drawClipLayers(Renderer& r, const Clip& clip, const Matrix& toDevice, int fromDepth, int toDepth, BitmapCache* cache) {
    drawLayers(r, Stage{toDevice, cache}, clip, toDevice, ColorTransform{}, false, fromDepth, toDepth);
}

bool rootNeedsLayer(const DisplayState& look) { return !look.filters.empty() || look.blendMode != BlendMode::Normal; }

void drawRoot(Renderer& r, const Clip& root, const DisplayState& look, const Matrix& toDevice, BitmapCache* cache,
              int fromDepth, int toDepth) {
    const Stage stage{toDevice, cache};
    const ColorTransform& cx = look.colorTransform;
    if (!rootNeedsLayer(look)) {
        drawLayers(r, stage, root, toDevice, cx, false, fromDepth, toDepth);
        return;
    }
    // Alpha and erase act on an ancestor's layer: a root has none, so it shows nothing.
    if (look.blendMode == BlendMode::Alpha || look.blendMode == BlendMode::Erase) return;
    const std::vector<Filter> filters = deviceFilters(look.filters, toDevice);
    const FilterReach reach = filterReach(filters);
    const IntRect clip = r.clipRect();
    if (clip.empty()) return;
    const int spreadX = std::max(reach.left, reach.right), spreadY = std::max(reach.top, reach.bottom);
    r.beginLayer({clip.x0 - spreadX, clip.y0 - spreadY, clip.x1 + spreadX, clip.y1 + spreadY});
    Stage inner = stage;
    inner.insideLayer = true;
    drawLayers(r, inner, root, toDevice, cx, false, 0, kDepthEnd);
    r.endLayer(look.blendMode, filters);
}

}  // namespace swf
