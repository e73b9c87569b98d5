#include "tags.h"

#include "bit_writer.h"

#include <cmath>
#include <cstring>
#include "records.h"

namespace swfw {

Tag setBackgroundColor(swf::Rgba c) {
    BitWriter w;
    writeColor(w, c, false);
    return {9, w.take()};
}

Tag frameLabel(const std::string& name) {
    BitWriter w;
    w.cstring(name);
    return {43, w.take()};
}

Tag doAction(const ActionWriter& actions) { return {12, actions.build()}; }

Tag doInitAction(uint16_t spriteId, const ActionWriter& actions) {
    std::vector<uint8_t> body = actions.build();
    body.insert(body.begin(), {uint8_t(spriteId), uint8_t(spriteId >> 8)});
    return {59, body};
}

Tag scriptLimits(uint16_t maxRecursion, uint16_t timeoutSeconds) {
    return {65, {uint8_t(maxRecursion), uint8_t(maxRecursion >> 8), uint8_t(timeoutSeconds), uint8_t(timeoutSeconds >> 8)}};
}

Tag defineShape(uint16_t id, int version, const swf::Rect& bounds, const ShapeWriter& shape, bool nonZeroWinding) {
    static const uint16_t codes[] = {2, 2, 22, 32, 83};
    BitWriter w;
    w.u16(id);
    writeRect(w, bounds);
    if (version >= 4) {
        writeRect(w, bounds);
        w.u8(nonZeroWinding ? 0x04 : 0);
    }
    w.bytes(shape.shapeWithStyle());
    return {codes[version], w.take()};
}

namespace {

void writePlaceBody(BitWriter& w, const Place& p) {
    if (p.character) w.u16(*p.character);
    if (p.matrix) writeMatrix(w, *p.matrix);
    if (p.colorTransform) writeColorTransform(w, *p.colorTransform, true);
    if (p.ratio) w.u16(*p.ratio);
    if (p.name) w.cstring(*p.name);
    if (p.clipDepth) w.u16(*p.clipDepth);
}

uint8_t placeFlags(const Place& p) {
    return uint8_t((p.clipDepth ? 0x40 : 0) | (p.name ? 0x20 : 0) | (p.ratio ? 0x10 : 0) |
                   (p.colorTransform ? 0x08 : 0) | (p.matrix ? 0x04 : 0) | (p.character ? 0x02 : 0) |
                   (p.move ? 0x01 : 0));
}

}  // namespace

Tag placeObject(uint16_t character, uint16_t depth, const swf::Matrix& m, const std::optional<swf::ColorTransform>& cx) {
    BitWriter w;
    w.u16(character);
    w.u16(depth);
    writeMatrix(w, m);
    if (cx) writeColorTransform(w, *cx, false);
    return {4, w.take()};
}

Tag placeObject2(const Place& p) {
    BitWriter w;
    w.u8(placeFlags(p));
    w.u16(p.depth);
    writePlaceBody(w, p);
    return {26, w.take()};
}

Tag placeObject2(const Place& p, const std::vector<ClipAction>& handlers, int swfVersion) {
    BitWriter w;
    w.u8(uint8_t(placeFlags(p) | 0x80));
    w.u16(p.depth);
    writePlaceBody(w, p);
    auto flags = [&](uint32_t v) {
        if (swfVersion >= 6) w.u32(v);
        else w.u16(uint16_t(v));
    };
    uint32_t all = 0;
    for (const ClipAction& h : handlers) all |= h.events;
    w.u16(0);
    flags(all);
    for (const ClipAction& h : handlers) {
        std::vector<uint8_t> body = h.actions.build();
        flags(h.events);
        w.u32(uint32_t(body.size()));
        for (uint8_t b : body) w.u8(b);
    }
    flags(0);
    return {26, w.take()};
}

Tag exportAssets(const std::vector<std::pair<uint16_t, std::string>>& names) {
    BitWriter w;
    w.u16(uint16_t(names.size()));
    for (const auto& [id, name] : names) {
        w.u16(id);
        w.cstring(name);
    }
    return {56, w.take()};
}

namespace {

void fixed16(BitWriter& w, float v) { w.u32(uint32_t(int32_t(std::lround(v * 65536)))); }
void f32(BitWriter& w, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    w.u32(bits);
}

// Inner, knockout, composite source (the object shown), then on top and the passes.
void effectFlags(BitWriter& w, const swf::Filter& f, bool hasOnTop) {
    uint32_t flags = (f.inner ? 0x80 : 0) | (f.knockout ? 0x40 : 0) | (f.hideObject ? 0 : 0x20);
    if (hasOnTop) {
        flags |= (f.onTop ? 0x10 : 0) | (uint32_t(f.passes) & 0x0f);
    } else {
        flags |= uint32_t(f.passes) & 0x1f;
    }
    w.u8(flags);
}

// Blur, angle, distance and strength, in the order of the shadow, bevel and gradient filters.
void shadowGeometry(BitWriter& w, const swf::Filter& f) {
    fixed16(w, f.blurX);
    fixed16(w, f.blurY);
    fixed16(w, float(f.angle));
    fixed16(w, f.distance);
    w.fixed8(f.strength);
}

void writeFilter(BitWriter& w, const swf::Filter& f) {
    using swf::FilterKind;
    switch (f.kind) {
        case FilterKind::DropShadow:
            w.u8(0);
            writeColor(w, f.color, true);
            shadowGeometry(w, f);
            effectFlags(w, f, false);
            break;
        case FilterKind::Blur:
            w.u8(1);
            fixed16(w, f.blurX);
            fixed16(w, f.blurY);
            w.u8(uint32_t(f.passes) << 3);
            break;
        case FilterKind::Glow:
            w.u8(2);
            writeColor(w, f.color, true);
            fixed16(w, f.blurX);
            fixed16(w, f.blurY);
            w.fixed8(f.strength);
            effectFlags(w, f, false);
            break;
        case FilterKind::Bevel:
            w.u8(3);
            writeColor(w, f.highlight, true);  // the lit side first, whatever the format's documentation says
            writeColor(w, f.color, true);
            shadowGeometry(w, f);
            effectFlags(w, f, true);
            break;
        case FilterKind::GradientGlow:
        case FilterKind::GradientBevel:
            w.u8(f.kind == FilterKind::GradientGlow ? 4 : 7);
            w.u8(uint32_t(f.gradient.size()));
            for (const swf::GradientRecord& g : f.gradient) writeColor(w, g.color, true);
            for (const swf::GradientRecord& g : f.gradient) w.u8(g.ratio);
            shadowGeometry(w, f);
            effectFlags(w, f, true);
            break;
        case FilterKind::Convolution:
            w.u8(5);
            w.u8(uint32_t(f.columns));
            w.u8(uint32_t(f.rows));
            f32(w, f.divisor);
            f32(w, f.bias);
            for (int i = 0; i < f.columns * f.rows; ++i) f32(w, i < int(f.kernel.size()) ? f.kernel[size_t(i)] : 0);
            writeColor(w, f.defaultColor, true);
            w.u8((f.clamp ? 0x02 : 0) | (f.preserveAlpha ? 0x01 : 0));
            break;
        case FilterKind::ColorMatrix:
            w.u8(6);
            for (float v : f.matrix) f32(w, v);
            break;
        case FilterKind::DisplacementMap: break;  // scripts only: no record in the file
    }
}

}  // namespace

void writeFilterList(BitWriter& w, const std::vector<swf::Filter>& filters) {
    size_t count = 0;
    for (const swf::Filter& f : filters) count += f.kind != swf::FilterKind::DisplacementMap;
    w.u8(uint32_t(count));
    for (const swf::Filter& f : filters) writeFilter(w, f);
}

Tag placeObject3(const Place& p, const PlaceEffects& effects) {
    BitWriter w;
    w.u8(placeFlags(p));
    w.u8((effects.filters.empty() ? 0 : 0x01) | (effects.blendMode ? 0x02 : 0) | (effects.cacheAsBitmap ? 0x04 : 0) |
         (effects.opaqueBackground ? 0x40 : 0));
    w.u16(p.depth);
    writePlaceBody(w, p);
    if (!effects.filters.empty()) writeFilterList(w, effects.filters);
    if (effects.blendMode) w.u8(*effects.blendMode);
    if (effects.cacheAsBitmap) w.u8(*effects.cacheAsBitmap ? 1 : 0);
    if (effects.opaqueBackground) writeColor(w, *effects.opaqueBackground, true);
    return {70, w.take()};
}

Tag removeObject(uint16_t character, uint16_t depth) {
    BitWriter w;
    w.u16(character);
    w.u16(depth);
    return {5, w.take()};
}

Tag removeObject2(uint16_t depth) {
    BitWriter w;
    w.u16(depth);
    return {28, w.take()};
}

Tag defineSprite(uint16_t id, int frameCount, const std::vector<Tag>& tags) {
    BitWriter w;
    w.u16(id);
    w.u16(uint32_t(frameCount));
    for (const Tag& t : tags) w.bytes(encodeTag(t));
    w.bytes(encodeTag(Tag{0, {}}));
    return {39, w.take()};
}

Tag defineBitsLossless(uint16_t id, int version, int format, int width, int height, int paletteSize,
                       const std::vector<uint8_t>& raw) {
    BitWriter w;
    w.u16(id);
    w.u8(uint32_t(format));
    w.u16(uint32_t(width));
    w.u16(uint32_t(height));
    if (format == 3) w.u8(uint32_t(paletteSize - 1));
    w.bytes(deflateBytes(raw));
    return {uint16_t(version == 2 ? 36 : 20), w.take()};
}

Tag defineBitsJpeg2(uint16_t id, const std::vector<uint8_t>& image) {
    BitWriter w;
    w.u16(id);
    w.bytes(image);
    return {21, w.take()};
}

Tag defineBitsJpeg3(uint16_t id, const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& alpha) {
    BitWriter w;
    w.u16(id);
    w.u32(uint32_t(jpeg.size()));
    w.bytes(jpeg);
    w.bytes(deflateBytes(alpha));
    return {35, w.take()};
}

Tag defineBits(uint16_t id, const std::vector<uint8_t>& jpeg) {
    BitWriter w;
    w.u16(id);
    w.bytes(jpeg);
    return {6, w.take()};
}

Tag jpegTables(const std::vector<uint8_t>& tables) { return {8, tables}; }

Tag defineMorphShape(uint16_t id, const swf::Rect& startBounds, const swf::Rect& endBounds,
                     const std::vector<MorphFillPair>& fills, const std::vector<MorphLinePair>& lines,
                     const ShapeWriter& start, const ShapeWriter& end, int version) {
    BitWriter styles;
    styles.u8(uint32_t(fills.size()));
    for (const MorphFillPair& f : fills) {
        styles.u8(uint8_t(f.start.type));
        if (f.start.type == swf::FillType::Solid) {
            writeColor(styles, f.start.color, true);
            writeColor(styles, f.end.color, true);
        } else {
            writeMatrix(styles, f.start.gradient.matrix);
            writeMatrix(styles, f.end.gradient.matrix);
            styles.u8(uint32_t(f.start.gradient.records.size()));
            for (size_t i = 0; i < f.start.gradient.records.size(); ++i) {
                styles.u8(f.start.gradient.records[i].ratio);
                writeColor(styles, f.start.gradient.records[i].color, true);
                styles.u8(f.end.gradient.records[i].ratio);
                writeColor(styles, f.end.gradient.records[i].color, true);
            }
        }
    }
    styles.u8(uint32_t(lines.size()));
    for (const MorphLinePair& l : lines) {
        styles.u16(l.startWidth);
        styles.u16(l.endWidth);
        if (version == 2) styles.u16(0);  // round caps and joins, no fill, scaling strokes
        writeColor(styles, l.startColor, true);
        writeColor(styles, l.endColor, true);
    }
    std::vector<uint8_t> startEdges = start.shapeOnly();
    std::vector<uint8_t> styleBytes = styles.take();

    BitWriter w;
    w.u16(id);
    writeRect(w, startBounds);
    writeRect(w, endBounds);
    if (version == 2) {
        writeRect(w, startBounds);
        writeRect(w, endBounds);
        w.u8(0x01);  // uses scaling strokes
    }
    w.u32(uint32_t(styleBytes.size() + startEdges.size()));
    w.bytes(styleBytes);
    w.bytes(startEdges);
    w.bytes(end.shapeOnly());
    return {uint16_t(version == 2 ? 84 : 46), w.take()};
}

Tag defineFont(uint16_t id, const std::vector<FontGlyph>& glyphs) {
    std::vector<std::vector<uint8_t>> shapes;
    for (const FontGlyph& g : glyphs) shapes.push_back(g.shape.shapeOnly());
    BitWriter w;
    w.u16(id);
    size_t offset = glyphs.size() * 2;
    for (const auto& s : shapes) {
        w.u16(uint32_t(offset));
        offset += s.size();
    }
    for (const auto& s : shapes) w.bytes(s);
    return {10, w.take()};
}

Tag defineFontInfo(uint16_t fontId, const std::string& name, const std::vector<FontGlyph>& glyphs) {
    BitWriter w;
    w.u16(fontId);
    w.u8(uint32_t(name.size()));
    for (char c : name) w.u8(uint8_t(c));
    w.u8(0x01);  // wide codes
    for (const FontGlyph& g : glyphs) w.u16(g.code);
    return {13, w.take()};
}

Tag defineFont2(uint16_t id, const std::string& name, const std::vector<FontGlyph>& glyphs, int16_t ascent,
                int16_t descent, int version, const std::vector<KerningPair>& kerning) {
    std::vector<std::vector<uint8_t>> shapes;
    for (const FontGlyph& g : glyphs) shapes.push_back(g.shape.shapeOnly());
    BitWriter w;
    w.u16(id);
    w.u8(0x80 | 0x08 | 0x04);  // layout, wide offsets, wide codes
    w.u8(1);                   // language
    w.u8(uint32_t(name.size()));
    for (char c : name) w.u8(uint8_t(c));
    w.u16(uint32_t(glyphs.size()));
    size_t offset = glyphs.size() * 4 + 4;
    for (const auto& s : shapes) {
        w.u32(uint32_t(offset));
        offset += s.size();
    }
    w.u32(uint32_t(offset));  // code table
    for (const auto& s : shapes) w.bytes(s);
    for (const FontGlyph& g : glyphs) w.u16(g.code);
    w.u16(uint16_t(ascent));
    w.u16(uint16_t(descent));
    w.s16(0);  // leading
    for (const FontGlyph& g : glyphs) w.s16(g.advance);
    for (size_t i = 0; i < glyphs.size(); ++i) writeRect(w, swf::Rect{});
    w.u16(uint32_t(kerning.size()));
    for (const KerningPair& k : kerning) {
        w.u16(k.left);
        w.u16(k.right);
        w.s16(k.adjustment);
    }
    return {uint16_t(version == 3 ? 75 : 48), w.take()};
}

Tag defineText(uint16_t id, int version, const swf::Rect& bounds, const swf::Matrix& m,
               const std::vector<TextRecord>& records) {
    int glyphBits = 1, advanceBits = 1;
    for (const TextRecord& r : records)
        for (auto [g, a] : r.glyphs) {
            glyphBits = std::max(glyphBits, BitWriter::unsignedBits(g));
            advanceBits = std::max(advanceBits, BitWriter::signedBits(a));
        }
    BitWriter w;
    w.u16(id);
    writeRect(w, bounds);
    writeMatrix(w, m);
    w.u8(uint32_t(glyphBits));
    w.u8(uint32_t(advanceBits));
    for (const TextRecord& r : records) {
        w.u8(0x80 | (r.font ? 0x08 : 0) | (r.color ? 0x04 : 0) | (r.y ? 0x02 : 0) | (r.x ? 0x01 : 0));
        if (r.font) w.u16(*r.font);
        if (r.color) writeColor(w, *r.color, version == 2);
        if (r.x) w.s16(*r.x);
        if (r.y) w.s16(*r.y);
        if (r.font) w.u16(r.height);
        w.u8(uint32_t(r.glyphs.size()));
        for (auto [g, a] : r.glyphs) {
            w.ubits(g, glyphBits);
            w.sbits(a, advanceBits);
        }
        w.align();
    }
    w.u8(0);
    return {uint16_t(version == 2 ? 33 : 11), w.take()};
}

Tag defineEditText(uint16_t id, const EditText& e) {
    BitWriter w;
    w.u16(id);
    writeRect(w, e.bounds);
    w.u8((e.text ? 0x80 : 0) | (e.wordWrap ? 0x40 : 0) | (e.multiline ? 0x20 : 0) | (e.password ? 0x10 : 0) | (e.readOnly ? 0x08 : 0) |
         0x04 | (e.font ? 0x01 : 0));
    w.u8((e.autoSize ? 0x40 : 0) | 0x20 | (e.selectable ? 0 : 0x10) | (e.border ? 0x08 : 0) | (e.html ? 0x02 : 0) | (e.useOutlines ? 0x01 : 0));
    if (e.font) {
        w.u16(*e.font);
        w.u16(e.height);
    }
    writeColor(w, e.color, true);
    w.u8(e.align);
    w.u16(e.leftMargin);
    w.u16(e.rightMargin);
    w.s16(e.indent);
    w.s16(e.leading);
    w.cstring(e.variable);
    if (e.text) w.cstring(*e.text);
    return {37, w.take()};
}

namespace {

Tag button(uint16_t id, const std::vector<ButtonPart>& parts, int version, const std::vector<ButtonActions>& actions,
           bool trackAsMenu) {
    BitWriter w;
    w.u16(id);
    const size_t offsetAt = 3;  // after the id and the flags
    if (version == 2) {
        w.u8(trackAsMenu ? 1 : 0);
        w.u16(0);  // the actions' offset, patched below
    }
    for (const ButtonPart& p : parts) {
        w.u8(p.states);
        w.u16(p.character);
        w.u16(p.depth);
        writeMatrix(w, p.matrix);
        if (version == 2) writeColorTransform(w, p.colorTransform, true);
    }
    w.u8(0);
    std::vector<uint8_t> body = w.take();
    if (version == 1) {
        std::vector<uint8_t> list = actions.empty() ? std::vector<uint8_t>{0} : actions[0].actions.build();
        body.insert(body.end(), list.begin(), list.end());
        return {7, body};
    }
    if (!actions.empty()) {
        const size_t offset = body.size() - offsetAt;
        body[offsetAt] = uint8_t(offset);
        body[offsetAt + 1] = uint8_t(offset >> 8);
    }
    for (size_t i = 0; i < actions.size(); ++i) {
        std::vector<uint8_t> list = actions[i].actions.build();
        const size_t size = i + 1 == actions.size() ? 0 : list.size() + 4;
        const uint16_t conditions = uint16_t(actions[i].conditions | actions[i].keyCode << 9);
        body.insert(body.end(), {uint8_t(size), uint8_t(size >> 8), uint8_t(conditions), uint8_t(conditions >> 8)});
        body.insert(body.end(), list.begin(), list.end());
    }
    return {34, body};
}

}  // namespace

Tag defineButton(uint16_t id, const std::vector<ButtonPart>& parts, const ActionWriter& onRelease) {
    return button(id, parts, 1, {ButtonActions{0, 0, onRelease}}, false);
}
Tag defineButton2(uint16_t id, const std::vector<ButtonPart>& parts, const std::vector<ButtonActions>& actions,
                  bool trackAsMenu) {
    return button(id, parts, 2, actions, trackAsMenu);
}

}  // namespace swfw
