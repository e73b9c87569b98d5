#include "drawing.h"

#include <algorithm>
#include <cmath>

#include "../model/model_limits.h"

namespace swf {
namespace {

constexpr float kMaxCoordinateTwips = 1e8f;  // far outside any stage; keeps sums finite
constexpr size_t kMaxGradientStops = 15;     // the original ignores colours past the 15th
constexpr size_t kMaxLinesPerLayer = 0xfff0;  // line indices are 16-bit

float toTwips(float px) { return std::clamp(std::round(px * kTwipsPerPixel), -kMaxCoordinateTwips, kMaxCoordinateTwips); }

Rgba colorOf(uint32_t rgb, float alphaPercent) {
    float a = std::isfinite(alphaPercent) ? std::clamp(alphaPercent, 0.0f, 100.0f) : 100.0f;
    return Rgba{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), uint8_t(std::lround(a * 2.55f))};
}

// The script's matrices are in pixels; the shape model's in twips.
Matrix toTwipsMatrix(const Matrix& m) {
    return Matrix{m.a * kTwipsPerPixel, m.b * kTwipsPerPixel, m.c * kTwipsPerPixel, m.d * kTwipsPerPixel,
                  m.tx * kTwipsPerPixel, m.ty * kTwipsPerPixel};
}

// False when the arrays hold no usable stop.
bool gradientFill(const DrawingGradient& g, FillStyle& fill) {
    size_t stops = std::min({g.colors.size(), g.alphasPercent.size(), g.ratios.size(), kMaxGradientStops});
    if (stops == 0) return false;
    fill = FillStyle{};
    bool focal = g.kind == GradientKind::Radial && g.focalPoint != 0 && std::isfinite(g.focalPoint);
    fill.type = g.kind == GradientKind::Linear ? FillType::LinearGradient
                                               : (focal ? FillType::FocalGradient : FillType::RadialGradient);
    // Gradient matrices map the square of +-16384 twips; the script's maps +-819.2 pixels, the
    // same square: only the unit of the translation changes.
    fill.gradient.matrix = Matrix{g.matrix.a, g.matrix.b, g.matrix.c, g.matrix.d, g.matrix.tx * kTwipsPerPixel,
                                  g.matrix.ty * kTwipsPerPixel};
    fill.gradient.spread = g.spread;
    fill.gradient.interpolation = g.interpolation;
    fill.gradient.focalPoint = focal ? std::clamp(g.focalPoint, -1.0f, 1.0f) : 0;
    for (size_t i = 0; i < stops; ++i) {
        float ratio = std::isfinite(g.ratios[i]) ? std::clamp(g.ratios[i], 0.0f, 255.0f) : 0;
        fill.gradient.records.push_back({uint8_t(std::lround(ratio)), colorOf(g.colors[i], g.alphasPercent[i])});
    }
    return true;
}

bool finite(float a, float b) { return std::isfinite(a) && std::isfinite(b); }

}  // namespace

Matrix gradientBox(float x, float y, float width, float height, float rotation) {
    const float sx = width / 1638.4f, sy = height / 1638.4f;
    const float cs = std::cos(rotation), sn = std::sin(rotation);
    return Matrix{cs * sx, sn * sx, -sn * sy, cs * sy, x + width / 2, y + height / 2};
}

LineScaleMode parseLineScaleMode(const std::string& s) {
    if (s == "none") return LineScaleMode::None;
    if (s == "vertical") return LineScaleMode::Vertical;
    if (s == "horizontal") return LineScaleMode::Horizontal;
    return LineScaleMode::Normal;
}

CapStyle parseCapStyle(const std::string& s) {
    if (s == "none") return CapStyle::None;
    if (s == "square") return CapStyle::Square;
    return CapStyle::Round;
}

JoinStyle parseJoinStyle(const std::string& s) {
    if (s == "bevel") return JoinStyle::Bevel;
    if (s == "miter") return JoinStyle::Miter;
    return JoinStyle::Round;
}

void Drawing::moveTo(float x, float y) {
    if (!finite(x, y)) return;
    const Point to{toTwips(x), toTwips(y)};
    if (fillOpen_ && contourOpen_) {
        // Within a fill that has edges the move is one more filled edge, never stroked: the
        // fill stays one outline, closed back to where it began only when it ends.
        if (to != pen_ && edgeCount_ < kMaxShapeEdges && !layers_.empty()) {
            Edge e;
            e.from = pen_;
            e.to = to;
            e.fill1 = 1;
            layers_.back().edges.push_back(e);
            ++edgeCount_;
        }
        pen_ = to;
    } else {
        pen_ = contourStart_ = to;
    }
    dirty_ = true;
}

void Drawing::lineTo(float x, float y) {
    if (!finite(x, y)) return;
    addEdge(Point{toTwips(x), toTwips(y)}, nullptr);
}

void Drawing::curveTo(float controlX, float controlY, float anchorX, float anchorY) {
    if (!finite(controlX, controlY) || !finite(anchorX, anchorY)) return;
    Point control{toTwips(controlX), toTwips(controlY)};
    addEdge(Point{toTwips(anchorX), toTwips(anchorY)}, &control);
}

void Drawing::lineStyle(const DrawingLineStyle& s) {
    line_ = LineStyle{};
    float px = std::isfinite(s.thickness) ? std::clamp(s.thickness, 0.0f, 255.0f) : 0;
    line_.width = uint16_t(std::lround(px * kTwipsPerPixel));
    line_.color = colorOf(s.rgb, s.alphaPercent);
    line_.pixelHinting = s.pixelHinting;
    // "vertical": the thickness follows vertical scaling only, so horizontal scaling is off.
    line_.noHScale = s.scaleMode == LineScaleMode::None || s.scaleMode == LineScaleMode::Vertical;
    line_.noVScale = s.scaleMode == LineScaleMode::None || s.scaleMode == LineScaleMode::Horizontal;
    line_.startCap = line_.endCap = s.caps;
    line_.join = s.joints;
    line_.miterLimit = std::isfinite(s.miterLimit) ? std::clamp(s.miterLimit, 1.0f, 255.0f) : 3.0f;
    hasLine_ = true;
    lineAdded_ = false;
}

void Drawing::noLineStyle() {
    hasLine_ = false;
    lineAdded_ = false;
}

void Drawing::lineGradientStyle(const DrawingGradient& gradient) {
    if (!hasLine_) return;  // a gradient colours the line style in force; without one, nothing
    FillStyle fill;
    if (!gradientFill(gradient, fill)) return;
    line_.hasFill = true;
    line_.fill = std::move(fill);
    lineAdded_ = false;
}

void Drawing::beginFill(uint32_t rgb, float alphaPercent) {
    FillStyle fill;
    fill.color = colorOf(rgb, alphaPercent);
    startFill(fill);
}

void Drawing::beginGradientFill(const DrawingGradient& gradient) {
    FillStyle fill;
    if (gradientFill(gradient, fill)) {
        startFill(fill);
    } else {
        endFill();
    }
}

void Drawing::beginBitmapFill(std::shared_ptr<const Bitmap> bitmap, const Matrix& matrix, bool repeat, bool smoothing,
                              std::function<uint64_t()> version) {
    if (!bitmap) {
        endFill();
        return;
    }
    if (version) liveBitmaps_.push_back(std::move(version));
    FillStyle fill;
    fill.type = repeat ? (smoothing ? FillType::RepeatingBitmap : FillType::NonSmoothedRepeatingBitmap)
                       : (smoothing ? FillType::ClippedBitmap : FillType::NonSmoothedClippedBitmap);
    fill.bitmap = std::move(bitmap);
    fill.bitmapMatrix = toTwipsMatrix(matrix);
    startFill(fill);
}

uint64_t Drawing::sourcesVersion() const {
    uint64_t sum = 0;
    for (const auto& version : liveBitmaps_) sum += version();
    return sum;
}

void Drawing::endFill() {
    if (!fillOpen_) return;
    closeContour();
    fillOpen_ = false;
    lineAdded_ = false;  // later strokes go to a layer above this fill
    dirty_ = true;
}

void Drawing::clear() {
    *this = Drawing{};
}

void Drawing::startFill(const FillStyle& fill) {
    endFill();
    ShapeLayer layer;
    layer.fills.push_back(fill);
    layers_.push_back(std::move(layer));
    fillOpen_ = true;
    lineAdded_ = false;
    contourStart_ = pen_;
    contourOpen_ = false;
    dirty_ = true;
}

void Drawing::closeContour() {
    if (fillOpen_ && contourOpen_ && pen_ != contourStart_ && !layers_.empty()) {
        Edge e;
        e.from = pen_;
        e.to = contourStart_;
        e.fill1 = 1;
        layers_.back().edges.push_back(e);  // filled, never stroked
    }
    contourOpen_ = false;
}

ShapeLayer& Drawing::layerForStroke() {
    if (layers_.empty() || (!fillOpen_ && !layers_.back().fills.empty()) ||
        layers_.back().lines.size() >= kMaxLinesPerLayer) {
        layers_.emplace_back();
        lineAdded_ = false;
    }
    return layers_.back();
}

uint16_t Drawing::currentLine(ShapeLayer& layer) {
    if (!lineAdded_) {
        layer.lines.push_back(line_);
        lineAdded_ = true;
    }
    return uint16_t(layer.lines.size());
}

void Drawing::addEdge(Point to, const Point* control) {
    Edge e;
    e.from = pen_;
    e.to = to;
    if (control) {
        e.control = *control;
        e.curved = true;
    }
    pen_ = to;
    if (!fillOpen_ && !hasLine_) return;  // the pen moves; nothing is drawn
    if (edgeCount_ >= kMaxShapeEdges) return;  // a runaway script's drawing stops growing
    ShapeLayer* layer = fillOpen_ ? &layers_.back() : &layerForStroke();
    if (fillOpen_) {
        e.fill1 = 1;
        contourOpen_ = true;
    }
    if (hasLine_) {
        if (layer->lines.size() >= kMaxLinesPerLayer) return;
        e.line = currentLine(*layer);
    }
    layer->edges.push_back(e);
    ++edgeCount_;
    dirty_ = true;
}

const Shape& Drawing::shape() {
    if (!dirty_) return shape_;
    shape_ = Shape{};
    shape_.layers = layers_;
    if (fillOpen_ && contourOpen_ && pen_ != contourStart_ && !shape_.layers.empty()) {
        Edge e;
        e.from = pen_;
        e.to = contourStart_;
        e.fill1 = 1;
        shape_.layers.back().edges.push_back(e);
    }
    float x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (const ShapeLayer& layer : shape_.layers) {
        for (const Edge& e : layer.edges) {
            float reach = 0;
            if (e.line > 0 && e.line <= layer.lines.size()) {
                // Miter joins reach up to the limit times the half width, square caps ~1.42.
                const LineStyle& l = layer.lines[e.line - 1];
                float factor = l.join == JoinStyle::Miter ? std::max(l.miterLimit, 1.5f) : 1.5f;
                reach = std::max(float(kTwipsPerPixel), l.width / 2.0f * factor);
            }
            for (const Point& p : {e.from, e.to, e.curved ? e.control : e.from}) {
                x0 = std::min(x0, p.x - reach);
                x1 = std::max(x1, p.x + reach);
                y0 = std::min(y0, p.y - reach);
                y1 = std::max(y1, p.y + reach);
            }
        }
    }
    if (x0 <= x1)
        shape_.bounds = Rect{int32_t(std::floor(x0)), int32_t(std::ceil(x1)), int32_t(std::floor(y0)), int32_t(std::ceil(y1))};
    dirty_ = false;
    return shape_;
}

}  // namespace swf
