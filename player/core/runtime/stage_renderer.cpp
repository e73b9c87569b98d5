#include "stage_renderer.h"

#include <vector>

namespace swf {
namespace {

// A placed bitmap draws as a rectangle filled with it, one bitmap pixel per 20 twips.
Shape bitmapShape(const BitmapCharacter& c) {
    Shape shape;
    if (!c.bitmap) return shape;
    float w = float(c.bitmap->width * kTwipsPerPixel);
    float h = float(c.bitmap->height * kTwipsPerPixel);
    shape.bounds = {0, int32_t(w), 0, int32_t(h)};
    ShapeLayer layer;
    FillStyle fill;
    fill.type = FillType::ClippedBitmap;
    fill.bitmapId = c.id;
    fill.bitmap = c.bitmap;
    fill.bitmapMatrix = Matrix::scale(kTwipsPerPixel, kTwipsPerPixel);
    layer.fills.push_back(fill);
    Point corners[4] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
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

void drawGlyphs(Renderer& r, const std::vector<PlacedGlyph>& glyphs, const Matrix& m, const ColorTransform& cx) {
    for (const PlacedGlyph& g : glyphs) r.drawShape(*g.shape, m * g.matrix, cx);
}

void drawObject(Renderer& r, const DisplayObject& obj, const Matrix& parent, const ColorTransform& parentCx,
                bool asMask) {
    if (!obj.character) return;
    Matrix m = parent * obj.matrix;
    ColorTransform cx = parentCx * obj.colorTransform;
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
        case CharacterKind::EditText: drawGlyphs(r, static_cast<const EditTextCharacter&>(*obj.character).glyphs, m, cx); break;
        case CharacterKind::Sprite:
        case CharacterKind::Button:
            if (obj.clip) drawClip(r, *obj.clip, m, cx, asMask);
            break;
        case CharacterKind::Font:
        case CharacterKind::Sound: break;
    }
}

void drawLayers(Renderer& r, const Clip& clip, const Matrix& toDevice, const ColorTransform& cx, bool asMask,
                int fromDepth, int toDepth) {
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
            drawObject(r, obj, toDevice, cx, true);
            r.endMask();
            masks.push_back(obj.clipDepth);
            continue;
        }
        drawObject(r, obj, toDevice, cx, asMask);
    }
    for (size_t i = 0; i < masks.size(); ++i) r.popMask();
}

}  // namespace

void drawClip(Renderer& r, const Clip& clip, const Matrix& toDevice, const ColorTransform& cx, bool asMask) {
    drawLayers(r, clip, toDevice, cx, asMask, 0, 0x10000);
}

void drawClipLayers(Renderer& r, const Clip& clip, const Matrix& toDevice, int fromDepth, int toDepth) {
    drawLayers(r, clip, toDevice, ColorTransform{}, false, fromDepth, toDepth);
}

}  // namespace swf
