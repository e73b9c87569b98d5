// The drawing API of clips (moveTo, lineTo, curveTo, lineStyle, lineGradientStyle, beginFill,
// beginGradientFill, beginBitmapFill, endFill, clear) building the shape model the renderer
// already draws. Arguments are the script's, in pixels, already converted from script values
// (the parse* helpers below turn the script's strings into the enums).
//
// Rules of the original player:
// - a fill is one outline: a moveTo() inside it, once it has edges, joins the points with a
//   filled edge, and endFill() or a new begin*Fill() closes the outline with a straight edge
//   back to where it began; those edges are filled but never stroked;
// - beginFill() while a fill is open ends that fill first; the pen stays where it is;
// - fills use the even-odd rule (a self-crossing star has a hole);
// - strokes draw over their own fill, and a later fill draws over earlier strokes: each fill
//   with the strokes drawn while it was open is one layer, strokes outside fills another;
// - coordinates are rounded to twips, thickness too (0 is a hairline, at most 255 pixels);
// - clear() removes everything and forgets the line style; the pen goes back to (0, 0).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../shape.h"

namespace swf {

enum class LineScaleMode : uint8_t { Normal, None, Vertical, Horizontal };

struct DrawingLineStyle {
    float thickness = 0;  // pixels; 0 is a hairline
    uint32_t rgb = 0;
    float alphaPercent = 100;
    bool pixelHinting = false;
    LineScaleMode scaleMode = LineScaleMode::Normal;
    CapStyle caps = CapStyle::Round;
    JoinStyle joints = JoinStyle::Round;
    float miterLimit = 3;
};

enum class GradientKind : uint8_t { Linear, Radial };

struct DrawingGradient {
    GradientKind kind = GradientKind::Linear;
    std::vector<uint32_t> colors;
    std::vector<float> alphasPercent;
    std::vector<float> ratios;  // 0..255
    Matrix matrix;              // the script's matrix, pixels: maps the 1638.4-pixel square
    SpreadMode spread = SpreadMode::Pad;
    InterpolationMode interpolation = InterpolationMode::Normal;
    float focalPoint = 0;  // -1..1; radial only
};

// The matrix of the script's {matrixType: "box", x, y, w, h, r}: the gradient square fitted
// to the box, rotated by r radians about the box's centre.
Matrix gradientBox(float x, float y, float width, float height, float rotation);

LineScaleMode parseLineScaleMode(const std::string& s);  // "normal" when unknown
CapStyle parseCapStyle(const std::string& s);             // "none", "square", else round
JoinStyle parseJoinStyle(const std::string& s);           // "bevel", "miter", else round

class Drawing {
public:
    void moveTo(float x, float y);
    void lineTo(float x, float y);
    void curveTo(float controlX, float controlY, float anchorX, float anchorY);

    void lineStyle(const DrawingLineStyle& style);
    void noLineStyle();  // lineStyle() without a thickness
    void lineGradientStyle(const DrawingGradient& gradient);

    void beginFill(uint32_t rgb, float alphaPercent = 100);
    void beginGradientFill(const DrawingGradient& gradient);
    // `version`, when given, answers a number that grows as the bitmap's pixels change (a
    // script's BitmapData): the drawing then counts as changed with them.
    void beginBitmapFill(std::shared_ptr<const Bitmap> bitmap, const Matrix& matrix, bool repeat, bool smoothing,
                         std::function<uint64_t()> version = {});
    void endFill();
    void clear();

    // The drawing so far (an open fill shows as if closed now); rebuilt only after a change.
    const Shape& shape();
    // What the last shape() built, for readers that must not build (renders on several threads).
    const Shape& builtShape() const { return shape_; }
    bool empty() const { return layers_.empty(); }
    // The sum of the live bitmaps' versions: changes whenever one of their pixels do.
    uint64_t sourcesVersion() const;

private:
    void addEdge(Point to, const Point* control);
    void closeContour();
    void startFill(const FillStyle& fill);
    ShapeLayer& layerForStroke();
    uint16_t currentLine(ShapeLayer& layer);

    std::vector<ShapeLayer> layers_;
    bool fillOpen_ = false;      // the last layer's fill 1 is being drawn
    bool hasLine_ = false;
    LineStyle line_;
    bool lineAdded_ = false;     // line_ is already the last entry of the last layer's lines
    Point pen_, contourStart_;
    bool contourOpen_ = false;   // edges since the contour started
    size_t edgeCount_ = 0;       // past kMaxShapeEdges further edges are dropped
    Shape shape_;
    bool dirty_ = true;
    std::vector<std::function<uint64_t()>> liveBitmaps_;  // one per live bitmap fill begun
};

}  // namespace swf
