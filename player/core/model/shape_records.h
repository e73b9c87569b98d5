// SWF shape records as read, before they become a swf::Shape: the form morph shapes keep their
// two edge lists in (parse/shape_records.h reads them).
#pragma once

#include <cstdint>
#include <vector>

#include "../shape.h"

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

}  // namespace swf
