// SWF shape records as read, before they become a swf::Shape. Kept apart from the Shape so that
// shapes, font glyphs and the two edge lists of a morph shape share one reader.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "../shape.h"
#include "reader.h"

namespace swf {

struct StyleTable {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
};

struct ShapeRecord {
    enum class Kind : uint8_t { StyleChange, Straight, Curve };
    Kind kind = Kind::StyleChange;
    // StyleChange
    bool hasMove = false, hasFill0 = false, hasFill1 = false, hasLine = false;
    int32_t moveX = 0, moveY = 0;
    uint32_t fill0 = 0, fill1 = 0, line = 0;
    int32_t newStyles = -1;  // index into RawShape::newStyles, or -1
    // Straight: (dx, dy); Curve: control (dx, dy), then anchor (ax, ay), both relative
    int32_t dx = 0, dy = 0, ax = 0, ay = 0;
};

struct RawShape {
    StyleTable styles;
    std::vector<StyleTable> newStyles;
    std::vector<ShapeRecord> records;
};

using BitmapLookup = std::function<std::shared_ptr<const Bitmap>(uint16_t id)>;

// shapeVersion is 1 to 4 for DefineShape..DefineShape4 (colour formats, counts, LineStyle2).
StyleTable readStyleTable(Reader& r, int shapeVersion, const BitmapLookup& bitmaps);
FillStyle readFillStyle(Reader& r, int shapeVersion, const BitmapLookup& bitmaps);
Gradient readGradient(Reader& r, int shapeVersion, bool focal);
// Records up to the end record (or the end of data). With styles (SHAPEWITHSTYLE) new-style
// records read their tables into `shape.newStyles`; without (glyphs) they are refused.
void readShapeRecords(Reader& r, int shapeVersion, const BitmapLookup& bitmaps, bool allowNewStyles,
                      RawShape& shape);

// Resolves records to absolute edges grouped by style layer. Style indices beyond their table
// become 0 so the renderer never sees a dangling index.
Shape buildShape(const RawShape& raw, const Rect& bounds);

}  // namespace swf
