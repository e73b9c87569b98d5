#include "load_context.h"
#include "records.h"

namespace swf {
namespace {

size_t readCount(Reader& r) {
    size_t count = r.u8();
    if (count == 0xff) count = r.u16();
    return count;
}

// A morph fill is two fill styles sharing the type byte; colours are always RGBA.
MorphFill readMorphFill(Reader& r, const BitmapLookup& bitmaps) {
    MorphFill f;
    uint8_t type = r.u8();
    switch (type) {
        case 0x00:
            f.start.color = readRgba(r);
            f.end.color = readRgba(r);
            break;
        case 0x10:
        case 0x12:
        case 0x13: {
            f.start.gradient.matrix = readMatrix(r);
            f.end.gradient.matrix = readMatrix(r);
            r.align();
            uint32_t spread = r.ubits(2);
            uint32_t interpolation = r.ubits(2);
            uint32_t count = r.ubits(4);
            for (Gradient* g : {&f.start.gradient, &f.end.gradient}) {
                g->spread = spread <= 2 ? SpreadMode(spread) : SpreadMode::Pad;
                g->interpolation = interpolation == 1 ? InterpolationMode::LinearRgb : InterpolationMode::Normal;
            }
            for (uint32_t i = 0; i < count; ++i) {
                GradientRecord s, e;
                s.ratio = r.u8();
                s.color = readRgba(r);
                e.ratio = r.u8();
                e.color = readRgba(r);
                f.start.gradient.records.push_back(s);
                f.end.gradient.records.push_back(e);
            }
            if (type == 0x13) {
                f.start.gradient.focalPoint = std::max(-1.0f, std::min(1.0f, r.fixed8()));
                f.end.gradient.focalPoint = std::max(-1.0f, std::min(1.0f, r.fixed8()));
            }
            break;
        }
        case 0x40:
        case 0x41:
        case 0x42:
        case 0x43: {
            uint16_t id = r.u16();
            f.start.bitmapId = f.end.bitmapId = id;
            f.start.bitmapMatrix = readMatrix(r);
            f.end.bitmapMatrix = readMatrix(r);
            if (bitmaps) f.start.bitmap = f.end.bitmap = bitmaps(id);
            break;
        }
        default:
            r.fail("unknown morph fill style type " + std::to_string(type));
    }
    f.start.type = f.end.type = FillType(type);
    return f;
}

MorphLine readMorphLine(Reader& r, int morphVersion, const BitmapLookup& bitmaps) {
    MorphLine l;
    l.start.width = r.u16();
    l.end.width = r.u16();
    if (morphVersion == 1) {
        l.start.color = readRgba(r);
        l.end.color = readRgba(r);
        return l;
    }
    uint32_t startCap = r.ubits(2);
    uint32_t join = r.ubits(2);
    bool hasFill = r.bit();
    bool noHScale = r.bit();
    bool noVScale = r.bit();
    bool pixelHinting = r.bit();
    r.ubits(5);
    bool noClose = r.bit();
    uint32_t endCap = r.ubits(2);
    float miter = join == 2 ? r.fixed8() : 3.0f;
    MorphFill fill;
    if (hasFill) {
        fill = readMorphFill(r, bitmaps);
    } else {
        l.start.color = readRgba(r);
        l.end.color = readRgba(r);
    }
    for (auto [line, fillStyle] : {std::pair{&l.start, &fill.start}, std::pair{&l.end, &fill.end}}) {
        line->startCap = startCap <= 2 ? CapStyle(startCap) : CapStyle::Round;
        line->endCap = endCap <= 2 ? CapStyle(endCap) : CapStyle::Round;
        line->join = join <= 2 ? JoinStyle(join) : JoinStyle::Round;
        line->miterLimit = miter;
        line->noHScale = noHScale;
        line->noVScale = noVScale;
        line->pixelHinting = pixelHinting;
        line->noClose = noClose;
        line->hasFill = hasFill;
        if (hasFill) line->fill = *fillStyle;
    }
    return l;
}

}  // namespace

void readDefineShape(Reader& r, LoadContext& ctx, int shapeVersion) {
    auto c = std::make_shared<ShapeCharacter>();
    c->id = r.u16();
    Rect bounds = readRect(r);
    if (shapeVersion >= 4) {
        readRect(r);  // edge bounds
        uint8_t flags = r.u8();
        c->shape.nonZeroWinding = (flags & 0x04) != 0;
    }
    RawShape raw;
    BitmapLookup bitmaps = ctx.bitmapLookup();
    raw.styles = readStyleTable(r, shapeVersion, bitmaps);
    readShapeRecords(r, shapeVersion, bitmaps, true, raw);
    ctx.chargeEdges(r, raw.records.size());
    bool winding = c->shape.nonZeroWinding;
    c->shape = buildShape(raw, bounds);
    c->shape.nonZeroWinding = winding;
    ctx.define(c->id, c);
}

void readDefineMorphShape(Reader& r, LoadContext& ctx, int morphVersion) {
    auto c = std::make_shared<MorphCharacter>();
    c->id = r.u16();
    c->startBounds = readRect(r);
    c->endBounds = readRect(r);
    if (morphVersion >= 2) {
        readRect(r);
        readRect(r);
        r.u8();  // stroke scaling flags
    }
    uint32_t endOffset = r.u32();
    size_t afterOffset = r.position();
    BitmapLookup bitmaps = ctx.bitmapLookup();
    size_t fills = readCount(r);
    for (size_t i = 0; i < fills; ++i) c->fills.push_back(readMorphFill(r, bitmaps));
    size_t lines = readCount(r);
    for (size_t i = 0; i < lines; ++i) c->lines.push_back(readMorphLine(r, morphVersion, bitmaps));

    RawShape start;
    readShapeRecords(r, 3, nullptr, false, start);
    c->startRecords = std::move(start.records);
    // The end edges start where the offset says; a bad offset falls back to reading on.
    size_t endAt = afterOffset + endOffset;
    if (endOffset != 0 && endAt > r.position() && endAt < r.size()) r.skip(endAt - r.position());
    RawShape end;
    if (!r.atEnd()) readShapeRecords(r, 3, nullptr, false, end);
    c->endRecords = std::move(end.records);
    ctx.chargeEdges(r, c->startRecords.size() + c->endRecords.size());
    ctx.define(c->id, c);
}

}  // namespace swf
