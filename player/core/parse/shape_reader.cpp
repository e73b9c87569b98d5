#include "limits.h"
#include "records.h"
#include "shape_records.h"

namespace swf {
namespace {

size_t readStyleCount(Reader& r, int shapeVersion) {
    size_t count = r.u8();
    if (count == 0xff && shapeVersion >= 2) count = r.u16();
    return count;
}

Rgba readColor(Reader& r, int shapeVersion) { return shapeVersion >= 3 ? readRgba(r) : readRgb(r); }

LineStyle readLineStyle(Reader& r, int shapeVersion, const BitmapLookup& bitmaps) {
    LineStyle line;
    line.width = r.u16();
    if (shapeVersion < 4) {
        line.color = readColor(r, shapeVersion);
        return line;
    }
    uint32_t startCap = r.ubits(2);
    uint32_t join = r.ubits(2);
    line.hasFill = r.bit();
    line.noHScale = r.bit();
    line.noVScale = r.bit();
    line.pixelHinting = r.bit();
    r.ubits(5);
    line.noClose = r.bit();
    uint32_t endCap = r.ubits(2);
    line.startCap = startCap <= 2 ? CapStyle(startCap) : CapStyle::Round;
    line.endCap = endCap <= 2 ? CapStyle(endCap) : CapStyle::Round;
    line.join = join <= 2 ? JoinStyle(join) : JoinStyle::Round;
    if (join == 2) line.miterLimit = r.fixed8();
    if (line.hasFill)
        line.fill = readFillStyle(r, shapeVersion, bitmaps);
    else
        line.color = readRgba(r);
    return line;
}

}  // namespace

Gradient readGradient(Reader& r, int shapeVersion, bool focal) {
    Gradient g;
    g.matrix = readMatrix(r);
    uint32_t spread = r.ubits(2);
    uint32_t interpolation = r.ubits(2);
    uint32_t count = r.ubits(4);
    g.spread = spread <= 2 ? SpreadMode(spread) : SpreadMode::Pad;
    g.interpolation = interpolation == 1 ? InterpolationMode::LinearRgb : InterpolationMode::Normal;
    for (uint32_t i = 0; i < count; ++i) {
        GradientRecord rec;
        rec.ratio = r.u8();
        rec.color = readColor(r, shapeVersion);
        g.records.push_back(rec);
    }
    if (focal) g.focalPoint = std::max(-1.0f, std::min(1.0f, r.fixed8()));
    return g;
}

FillStyle readFillStyle(Reader& r, int shapeVersion, const BitmapLookup& bitmaps) {
    FillStyle fill;
    uint8_t type = r.u8();
    switch (type) {
        case 0x00:
            fill.color = readColor(r, shapeVersion);
            break;
        case 0x10:
        case 0x12:
        case 0x13:
            fill.gradient = readGradient(r, shapeVersion, type == 0x13);
            break;
        case 0x40:
        case 0x41:
        case 0x42:
        case 0x43:
            fill.bitmapId = r.u16();
            fill.bitmapMatrix = readMatrix(r);
            if (bitmaps && fill.bitmapId != 0xffff) fill.bitmap = bitmaps(fill.bitmapId);
            break;
        default:
            r.fail("unknown fill style type " + std::to_string(type));
    }
    fill.type = FillType(type);
    return fill;
}

StyleTable readStyleTable(Reader& r, int shapeVersion, const BitmapLookup& bitmaps) {
    StyleTable table;
    size_t fills = readStyleCount(r, shapeVersion);
    for (size_t i = 0; i < fills; ++i) table.fills.push_back(readFillStyle(r, shapeVersion, bitmaps));
    size_t lines = readStyleCount(r, shapeVersion);
    for (size_t i = 0; i < lines; ++i) table.lines.push_back(readLineStyle(r, shapeVersion, bitmaps));
    return table;
}

void readShapeRecords(Reader& r, int shapeVersion, const BitmapLookup& bitmaps, bool allowNewStyles,
                      RawShape& shape) {
    r.align();
    int fillBits = int(r.ubits(4));
    int lineBits = int(r.ubits(4));
    while (!r.atEnd()) {
        if (shape.records.size() >= kMaxShapeEdges) r.fail("too many shape records");
        ShapeRecord rec;
        if (r.bit()) {  // edge
            bool straight = r.bit();
            int bits = int(r.ubits(4)) + 2;
            if (straight) {
                rec.kind = ShapeRecord::Kind::Straight;
                if (r.bit()) {
                    rec.dx = r.sbits(bits);
                    rec.dy = r.sbits(bits);
                } else if (r.bit()) {
                    rec.dy = r.sbits(bits);
                } else {
                    rec.dx = r.sbits(bits);
                }
            } else {
                rec.kind = ShapeRecord::Kind::Curve;
                rec.dx = r.sbits(bits);
                rec.dy = r.sbits(bits);
                rec.ax = r.sbits(bits);
                rec.ay = r.sbits(bits);
            }
            shape.records.push_back(rec);
            continue;
        }
        uint32_t flags = r.ubits(5);
        if (flags == 0) break;  // end of shape
        if (flags & 0x01) {
            int bits = int(r.ubits(5));
            rec.hasMove = true;
            rec.moveX = r.sbits(bits);
            rec.moveY = r.sbits(bits);
        }
        if (flags & 0x02) { rec.hasFill0 = true; rec.fill0 = r.ubits(fillBits); }
        if (flags & 0x04) { rec.hasFill1 = true; rec.fill1 = r.ubits(fillBits); }
        if (flags & 0x08) { rec.hasLine = true; rec.line = r.ubits(lineBits); }
        if (flags & 0x10) {
            if (!allowNewStyles) r.fail("new styles in a shape without styles");
            shape.newStyles.push_back(readStyleTable(r, shapeVersion, bitmaps));
            rec.newStyles = int32_t(shape.newStyles.size() - 1);
            r.align();
            fillBits = int(r.ubits(4));
            lineBits = int(r.ubits(4));
        }
        shape.records.push_back(rec);
    }
}

}  // namespace swf
