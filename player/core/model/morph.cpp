#include "morph.h"

#include "model_limits.h"

namespace swf {
namespace {

float lerp(float a, float b, float t) { return a + (b - a) * t; }

uint8_t lerp8(uint8_t a, uint8_t b, float t) { return uint8_t(lerp(a, b, t) + 0.5f); }

Rgba lerpColor(Rgba a, Rgba b, float t) {
    return {lerp8(a.r, b.r, t), lerp8(a.g, b.g, t), lerp8(a.b, b.b, t), lerp8(a.a, b.a, t)};
}

Matrix lerpMatrix(const Matrix& a, const Matrix& b, float t) {
    return {lerp(a.a, b.a, t), lerp(a.b, b.b, t), lerp(a.c, b.c, t),
            lerp(a.d, b.d, t), lerp(a.tx, b.tx, t), lerp(a.ty, b.ty, t)};
}

FillStyle lerpFill(const FillStyle& a, const FillStyle& b, float t) {
    FillStyle f = a;
    f.color = lerpColor(a.color, b.color, t);
    f.gradient.matrix = lerpMatrix(a.gradient.matrix, b.gradient.matrix, t);
    f.gradient.focalPoint = lerp(a.gradient.focalPoint, b.gradient.focalPoint, t);
    for (size_t i = 0; i < f.gradient.records.size() && i < b.gradient.records.size(); ++i) {
        f.gradient.records[i].ratio = lerp8(a.gradient.records[i].ratio, b.gradient.records[i].ratio, t);
        f.gradient.records[i].color = lerpColor(a.gradient.records[i].color, b.gradient.records[i].color, t);
    }
    f.bitmapMatrix = lerpMatrix(a.bitmapMatrix, b.bitmapMatrix, t);
    return f;
}

// Walks the end records alongside the start records: the end list has the same edges, and
// style changes there only move the pen.
class EndCursor {
public:
    explicit EndCursor(const std::vector<ShapeRecord>& records) : records_(records) {}

    // Applies end-side moves up to the next edge and returns it, or null when none is left.
    const ShapeRecord* nextEdge() {
        while (i_ < records_.size() && records_[i_].kind == ShapeRecord::Kind::StyleChange) applyMove(records_[i_++]);
        return i_ < records_.size() ? &records_[i_++] : nullptr;
    }
    // A start-side move: takes the matching end-side move when one is next.
    void matchMove() {
        if (i_ < records_.size() && records_[i_].kind == ShapeRecord::Kind::StyleChange) applyMove(records_[i_++]);
    }
    int64_t x = 0, y = 0;

private:
    void applyMove(const ShapeRecord& r) {
        if (r.hasMove) {
            x = r.moveX;
            y = r.moveY;
        }
    }
    const std::vector<ShapeRecord>& records_;
    size_t i_ = 0;
};

}  // namespace

Shape morphShapeAt(const MorphCharacter& morph, uint16_t ratio) {
    float t = ratio / 65535.0f;
    Shape shape;
    shape.bounds = {int32_t(lerp(float(morph.startBounds.xMin), float(morph.endBounds.xMin), t)),
                    int32_t(lerp(float(morph.startBounds.xMax), float(morph.endBounds.xMax), t)),
                    int32_t(lerp(float(morph.startBounds.yMin), float(morph.endBounds.yMin), t)),
                    int32_t(lerp(float(morph.startBounds.yMax), float(morph.endBounds.yMax), t))};
    ShapeLayer layer;
    for (const MorphFill& f : morph.fills) layer.fills.push_back(lerpFill(f.start, f.end, t));
    for (const MorphLine& l : morph.lines) {
        LineStyle line = l.start;
        line.width = uint16_t(lerp(l.start.width, l.end.width, t) + 0.5f);
        line.color = lerpColor(l.start.color, l.end.color, t);
        if (line.hasFill) line.fill = lerpFill(l.start.fill, l.end.fill, t);
        layer.lines.push_back(line);
    }
    EndCursor end(morph.endRecords);
    int64_t x = 0, y = 0;
    uint16_t fill0 = 0, fill1 = 0, line = 0;
    for (const ShapeRecord& rec : morph.startRecords) {
        if (layer.edges.size() >= kMaxShapeEdges) break;
        if (rec.kind == ShapeRecord::Kind::StyleChange) {
            if (rec.hasMove) {
                x = rec.moveX;
                y = rec.moveY;
                end.matchMove();
            }
            if (rec.hasFill0) fill0 = uint16_t(rec.fill0 <= layer.fills.size() ? rec.fill0 : 0);
            if (rec.hasFill1) fill1 = uint16_t(rec.fill1 <= layer.fills.size() ? rec.fill1 : 0);
            if (rec.hasLine) line = uint16_t(rec.line <= layer.lines.size() ? rec.line : 0);
            continue;
        }
        const ShapeRecord* other = end.nextEdge();
        ShapeRecord flat;  // a missing end edge stays where the end pen is
        flat.kind = ShapeRecord::Kind::Straight;
        const ShapeRecord& e = other ? *other : flat;
        // Start and end points with control points; a straight edge's control is its middle.
        auto points = [](const ShapeRecord& r, int64_t px, int64_t py, Point out[3]) {
            out[0] = {float(px), float(py)};
            if (r.kind == ShapeRecord::Kind::Curve) {
                out[1] = {float(px + r.dx), float(py + r.dy)};
                out[2] = {float(px + r.dx + r.ax), float(py + r.dy + r.ay)};
            } else {
                out[2] = {float(px + r.dx), float(py + r.dy)};
                out[1] = {(out[0].x + out[2].x) / 2, (out[0].y + out[2].y) / 2};
            }
        };
        Point s[3], en[3];
        points(rec, x, y, s);
        points(e, end.x, end.y, en);
        x = int64_t(s[2].x);
        y = int64_t(s[2].y);
        end.x = int64_t(en[2].x);
        end.y = int64_t(en[2].y);
        Edge edge;
        edge.from = {lerp(s[0].x, en[0].x, t), lerp(s[0].y, en[0].y, t)};
        edge.control = {lerp(s[1].x, en[1].x, t), lerp(s[1].y, en[1].y, t)};
        edge.to = {lerp(s[2].x, en[2].x, t), lerp(s[2].y, en[2].y, t)};
        edge.curved = rec.kind == ShapeRecord::Kind::Curve || e.kind == ShapeRecord::Kind::Curve;
        edge.fill0 = fill0;
        edge.fill1 = fill1;
        edge.line = line;
        if (fill0 || fill1 || line) layer.edges.push_back(edge);
    }
    shape.layers.push_back(std::move(layer));
    return shape;
}

}  // namespace swf
