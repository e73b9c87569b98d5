// Shapes as the renderer consumes them: style layers of fill and line styles with the edges
// that use them. The parser turns SWF shape records into this form (coordinates resolved to
// absolute twips, style indices made relative to their layer); the renderer never sees records.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "bitmap.h"
#include "geometry.h"

namespace swf {

enum class SpreadMode : uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };
enum class InterpolationMode : uint8_t { Normal = 0, LinearRgb = 1 };

struct GradientRecord {
    uint8_t ratio = 0;
    Rgba color;
};

// Gradient square: the gradient matrix maps the square (-16384, -16384)..(16384, 16384) twips
// onto the shape. Linear runs from x = -16384 to 16384; radial has radius 16384.
struct Gradient {
    Matrix matrix;
    SpreadMode spread = SpreadMode::Pad;
    InterpolationMode interpolation = InterpolationMode::Normal;
    float focalPoint = 0;  // -1..1 along the x axis of the gradient square, focal gradients only
    std::vector<GradientRecord> records;  // as stored: may be empty or out of order
};

enum class FillType : uint8_t {
    Solid = 0x00,
    LinearGradient = 0x10,
    RadialGradient = 0x12,
    FocalGradient = 0x13,
    RepeatingBitmap = 0x40,
    ClippedBitmap = 0x41,
    NonSmoothedRepeatingBitmap = 0x42,
    NonSmoothedClippedBitmap = 0x43,
};

struct FillStyle {
    FillType type = FillType::Solid;
    Rgba color;                            // Solid
    Gradient gradient;                     // gradients
    uint16_t bitmapId = 0;                 // bitmap fills: the character id as stored
    Matrix bitmapMatrix;                   // bitmap fills: bitmap pixels to shape twips
    std::shared_ptr<const Bitmap> bitmap;  // resolved by the parser; null when the id is unknown

    bool isBitmap() const { return uint8_t(type) >= 0x40 && uint8_t(type) <= 0x43; }
    bool isSmoothed() const { return type == FillType::RepeatingBitmap || type == FillType::ClippedBitmap; }
    bool isRepeating() const {
        return type == FillType::RepeatingBitmap || type == FillType::NonSmoothedRepeatingBitmap;
    }
};

enum class CapStyle : uint8_t { Round = 0, None = 1, Square = 2 };
enum class JoinStyle : uint8_t { Round = 0, Bevel = 1, Miter = 2 };

struct LineStyle {
    uint16_t width = 0;  // twips; 0 is a hairline, drawn one device pixel wide
    Rgba color;          // used unless hasFill
    // LineStyle2 (DefineShape4); defaults are what LineStyle 1 means.
    CapStyle startCap = CapStyle::Round;
    CapStyle endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    float miterLimit = 3;  // only for Miter joins
    bool noHScale = false;
    bool noVScale = false;
    bool pixelHinting = false;
    bool noClose = false;
    bool hasFill = false;
    FillStyle fill;  // when hasFill
};

// One straight or quadratic edge in shape twips. fill0 is the fill on the left of the edge's
// direction, fill1 on the right; 0 means none, n means fills[n - 1] of the edge's layer.
// line likewise indexes lines. Edges of a layer keep the file's order, so a stroke path is a
// run of consecutive edges with the same line where each starts where the previous one ended.
struct Edge {
    Point from;
    Point control;  // only when curved
    Point to;
    bool curved = false;
    uint16_t fill0 = 0;
    uint16_t fill1 = 0;
    uint16_t line = 0;
};

struct ShapeLayer {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    std::vector<Edge> edges;
};

// Layers draw in order; within a layer all fills first (resolved together), then the strokes.
struct Shape {
    Rect bounds;                   // ShapeBounds, stroke widths included
    bool nonZeroWinding = false;   // DefineShape4 UsesFillWindingRule; even-odd otherwise
    std::vector<ShapeLayer> layers;
};

}  // namespace swf
