#include "stage_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "drawn_items.h"
#include "text_field.h"

namespace swf {
namespace {

// What every level of the tree needs to know about the drawing as a whole.
struct Stage {
    Matrix toDevice;           // stage twips to device pixels: the zoom that filters follow
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
        for (float v : {f.blurX, f.blurY, f.angle, f.distance, f.strength, f.divisor, f.bias, f.scaleX, f.scaleY}) h = mix(h, floatBits(v));
        for (float v : f.matrix) h = mix(h, floatBits(v));
        for (float v : f.kernel) h = mix(h, floatBits(v));
        for (const GradientRecord& g : f.gradient) h = mix(h, premultiply(g.color) ^ (uint64_t(g.ratio) << 32));
        h = mix(h, premultiply(f.color) ^ (uint64_t(premultiply(f.highlight)) << 32));
        h = mix(h, uint64_t(f.passes) | uint64_t(f.inner) << 8 | uint64_t(f.knockout) << 9 | uint64_t(f.hideObject) << 10 |
                       uint64_t(f.onTop) << 11 | uint64_t(f.preserveAlpha) << 12 | uint64_t(f.clamp) << 13);
        h = mix(h, uint64_t(f.columns) | uint64_t(f.rows) << 16 | uint64_t(reinterpret_cast<uintptr_t>(f.map.get())) << 32);
    }
    if (obj.opaqueBackground) h = mix(h, premultiply(*obj.opaqueBackground) | (uint64_t(1) << 40));
    h = mix(h, uint64_t(uint32_t(box.x0 - int(m.tx))) | uint64_t(uint32_t(box.y0 - int(m.ty))) << 32);
    h = mix(h, uint64_t(uint32_t(box.x1 - box.x0)) | uint64_t(uint32_t(box.y1 - box.y0)) << 32);
    for (float v : {cx.rMul, cx.gMul, cx.bMul, cx.aMul, cx.rAdd, cx.gAdd, cx.bAdd, cx.aAdd}) h = mix(h, floatBits(float(v)));
    return h;
}

// A rectangle of the given twips filled with `fill` (fill on the right of a clockwise outline).
Shape rectangleShape(const Rect& b, const FillStyle& fill) {
    Shape shape;
    shape.bounds = b;
    ShapeLayer layer;
    layer.fills.push_back(fill);
    const Point corners[4] = {{float(b.xMin), float(b.yMin)}, {float(b.xMax), float(b.yMin)}, {float(b.xMax), float(b.yMax)},
                              {float(b.xMin), float(b.yMax)}};
    for (int i = 0; i < 4; ++i) {
        Edge e;
        e.from = corners[i];
        e.to = corners[(i + 1) % 4];
        e.fill1 = 1;
        layer.edges.push_back(e);
    }
    shape.layers.push_back(std::move(layer));
    return shape;
}

// A placed bitmap draws as a rectangle filled with it, one bitmap pixel per 20 twips.
Shape bitmapShape(const BitmapCharacter& c) {
    if (!c.bitmap) return Shape{};
    FillStyle fill;
    fill.type = FillType::ClippedBitmap;
    fill.bitmapId = c.id;
    fill.bitmap = c.bitmap;
    fill.bitmapMatrix = Matrix::scale(kTwipsPerPixel, kTwipsPerPixel);
    return rectangleShape(Rect{0, c.bitmap->width * kTwipsPerPixel, 0, c.bitmap->height * kTwipsPerPixel}, fill);
}

void drawGlyphs(Renderer& r, const std::vector<PlacedGlyph>& glyphs, const Matrix& m, const ColorTransform& cx) {
    for (const PlacedGlyph& g : glyphs) r.drawShape(*g.shape, m * g.matrix, cx);
}

void drawLayers(Renderer& r, const Stage& stage, const Clip& clip, const Matrix& toDevice, const ColorTransform& cx,
                bool asMask, int fromDepth, int toDepth);

// A field shows its text within its rectangle: lines longer or lower than it are cut there.
// (A field drawn as a mask is not cut: masks inside masks are not supported.)
void drawEditText(Renderer& r, const DisplayObject& obj, const Matrix& m, const ColorTransform& cx, bool asMask) {
    if (!obj.text) {
        drawGlyphs(r, static_cast<const EditTextCharacter&>(*obj.character).glyphs, m, cx);
        return;
    }
    const bool cut = obj.text->overflows() && !asMask;
    if (cut) {
        FillStyle solid;
        r.beginMask();
        r.drawShape(rectangleShape(obj.text->bounds, solid), m, cx);
        r.endMask();
    }
    drawGlyphs(r, obj.text->glyphs(), m, cx);
    if (cut) r.popMask();
}

void drawContent(Renderer& r, const Stage& stage, const DisplayObject& obj, const Matrix& m, const ColorTransform& cx,
                 bool asMask) {
    switch (obj.character->kind) {
        case CharacterKind::Shape: r.drawShape(static_cast<const ShapeCharacter&>(*obj.character).shape, m, cx); break;
        case CharacterKind::Morph:
            if (obj.morphShape) r.drawShape(*obj.morphShape, m, cx);
            break;
        case CharacterKind::Bitmap: r.drawShape(bitmapShape(static_cast<const BitmapCharacter&>(*obj.character)), m, cx); break;
        case CharacterKind::Text: {
            const auto& text = static_cast<const TextCharacter&>(*obj.character);
            drawGlyphs(r, text.glyphs, m * text.matrix, cx);
            break;
        }
        case CharacterKind::EditText: drawEditText(r, obj, m, cx, asMask); break;
        case CharacterKind::Sprite:
        case CharacterKind::Button:
            if (obj.clip) drawLayers(r, stage, *obj.clip, m, cx, asMask, 0, 0x10000);
            break;
        case CharacterKind::Font:
        case CharacterKind::Sound: break;
    }
}

// The object's local bounds as a filled rectangle: its opaque background.
Shape backgroundShape(const DisplayObject& obj, Rgba color) {
    Rect b;
    if (obj.character->kind == CharacterKind::Shape) b = static_cast<const ShapeCharacter&>(*obj.character).shape.bounds;
    if (obj.character->kind == CharacterKind::Bitmap) {
        const auto& bitmap = static_cast<const BitmapCharacter&>(*obj.character);
        if (bitmap.bitmap) b = {0, bitmap.bitmap->width * kTwipsPerPixel, 0, bitmap.bitmap->height * kTwipsPerPixel};
    }
    if (b.empty()) return Shape{};
    FillStyle fill;
    fill.color = color;
    fill.color.a = 255;
    return rectangleShape(b, fill);
}

// Filters, blend modes, cached bitmaps: the object drawn into a layer of its own, which the
// filters then spread and the blend mode puts down. Only the part of the layer that can reach
// the clip rectangle is drawn: the clip widened by the filters' reach, within the object's box.
void drawWithEffects(Renderer& r, const Stage& stage, const DisplayObject& obj, Matrix m, const ColorTransform& cx) {
    BlendMode mode = obj.blendMode;
    // Alpha and erase act on the layer of an ancestor; with none there is nothing to act on
    // and the object is not drawn (drawn normally it would show where it should cut).
    if ((mode == BlendMode::Alpha || mode == BlendMode::Erase) && !stage.insideLayer) return;
    // Drawn as a bitmap, at whole device pixels: so it can be put down again when it moves.
    m.tx = std::round(m.tx);
    m.ty = std::round(m.ty);
    if (!std::isfinite(m.tx) || !std::isfinite(m.ty) || std::fabs(m.tx) > 1e8f || std::fabs(m.ty) > 1e8f) return;
    const std::vector<Filter> filters = deviceFilters(obj.filters, stage.toDevice);
    const FilterReach reach = filterReach(filters);
    const IntRect clip = r.clipRect(), canvas = r.canvasRect();
    if (clip.empty()) return;
    Stage inner = stage;
    inner.insideLayer = true;
    if (stage.cache && !r.masked()) {
        // Kept whole (not just the part reaching the clip), to serve later frames too.
        const IntRect box = drawnBounds(obj, m, stage.toDevice, canvas.x1, canvas.y1);
        if (box.empty()) return;
        const uint64_t key = layerKey(obj, m, filters, box, cx);
        if (const Bitmap* kept = stage.cache->find(key)) {
            r.drawKeptLayer(*kept, box.x0, box.y0, mode);
            return;
        }
        r.beginLayer(box);
        if (obj.opaqueBackground) r.drawShape(backgroundShape(obj, *obj.opaqueBackground), m, cx);
        drawContent(r, inner, obj, m, cx, false);
        Bitmap keep;
        r.endLayer(mode, filters, &keep);
        stage.cache->store(key, std::move(keep));
        return;
    }
    const int spreadX = std::max(reach.left, reach.right), spreadY = std::max(reach.top, reach.bottom);
    const IntRect widened{clip.x0 - spreadX, clip.y0 - spreadY, clip.x1 + spreadX, clip.y1 + spreadY};
    const IntRect box = drawnBounds(obj, m, stage.toDevice, canvas.x1, canvas.y1);
    const IntRect area{std::max(widened.x0, box.x0), std::max(widened.y0, box.y0), std::min(widened.x1, box.x1),
                       std::min(widened.y1, box.y1)};
    if (area.empty()) return;
    r.beginLayer(area);
    if (obj.opaqueBackground) r.drawShape(backgroundShape(obj, *obj.opaqueBackground), m, cx);
    drawContent(r, inner, obj, m, cx, false);
    r.endLayer(mode, filters);
}

void drawObject(Renderer& r, const Stage& stage, const DisplayObject& obj, const Matrix& parent,
                const ColorTransform& parentCx, bool asMask) {
    if (!obj.character) return;
    Matrix m = parent * obj.matrix;
    ColorTransform cx = parentCx * obj.colorTransform;
    // A mask uses the shapes' coverage only: effects do not apply.
    if (!asMask && hasEffects(obj)) {
        drawWithEffects(r, stage, obj, m, cx);
        return;
    }
    drawContent(r, stage, obj, m, cx, asMask);
}

void drawLayers(Renderer& r, const Stage& stage, const Clip& clip, const Matrix& toDevice, const ColorTransform& cx,
                bool asMask, int fromDepth, int toDepth) {
    std::vector<uint16_t> masks;  // clip depths of the masks in force, innermost last
    for (const auto& [depth, obj] : clip.displayList()) {
        if (depth < fromDepth || depth >= toDepth) continue;
        while (!masks.empty() && masks.back() < depth) {
            r.popMask();
            masks.pop_back();
        }
        if (obj.clipDepth > 0) {
            // Masks inside a mask are not supported by the renderer's model; they are skipped.
            if (asMask || obj.clipDepth <= depth) continue;
            r.beginMask();
            drawObject(r, stage, obj, toDevice, cx, true);
            r.endMask();
            masks.push_back(obj.clipDepth);
            continue;
        }
        drawObject(r, stage, obj, toDevice, cx, asMask);
    }
    for (size_t i = 0; i < masks.size(); ++i) r.popMask();
}

}  // namespace

void drawClip(Renderer& r, const Clip& clip, const Matrix& toDevice, const ColorTransform& cx, bool asMask,
              BitmapCache* cache) {
    drawLayers(r, Stage{toDevice, cache}, clip, toDevice, cx, asMask, 0, 0x10000);
}

void drawClipLayers(Renderer& r, const Clip& clip, const Matrix& toDevice, int fromDepth, int toDepth, BitmapCache* cache) {
    drawLayers(r, Stage{toDevice, cache}, clip, toDevice, ColorTransform{}, false, fromDepth, toDepth);
}

}  // namespace swf
