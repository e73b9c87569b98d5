// The reader of shape records (model/shape_records.h), shared by shapes, font glyphs and the
// two edge lists of a morph shape, and their resolution into a swf::Shape.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "../model/shape_records.h"
#include "../shape.h"
#include "reader.h"

namespace swf {

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
