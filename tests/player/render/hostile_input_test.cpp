// Input a damaged or malicious file can produce: non-finite and huge numbers, bad indices,
// enormous counts, broken canvases. Nothing may crash, hang or write outside the canvas (the
// sanitizer build checks the last), and what is drawn stays valid premultiplied colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>

#include "test_canvas.h"
#include "test_shapes.h"

namespace swf::test {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

void expectValidPremultiplied(const Canvas& c) {
    for (uint32_t p : c.pixels) {
        uint32_t a = p >> 24;
        ASSERT_LE((p >> 16) & 255u, a);
        ASSERT_LE((p >> 8) & 255u, a);
        ASSERT_LE(p & 255u, a);
    }
}

Edge rawEdge(Point from, Point to, uint16_t fill0, uint16_t fill1, uint16_t line = 0) {
    Edge e;
    e.from = from;
    e.to = to;
    e.fill0 = fill0;
    e.fill1 = fill1;
    e.line = line;
    return e;
}

TEST(HostileInput, NonFiniteAndHugeCoordinatesAreSkippedOrClamped) {
    Shape s = ShapeBuilder().fill(solidFill(kBlack)).line(solidLine(2, kBlack)).build();
    auto& edges = s.layers[0].edges;
    const float values[] = {kNaN, kInf, -kInf, 1e30f, -1e30f, 3e38f, 0, 200};
    for (float a : values) {
        for (float b : values) {
            edges.push_back(rawEdge({a, b}, {b, a}, 1, 0, 1));
            Edge curve = rawEdge({0, 0}, {200, 200}, 0, 1, 1);
            curve.curved = true;
            curve.control = {a, b};
            edges.push_back(curve);
        }
    }
    for (Quality q : {Quality::High, Quality::Medium, Quality::Low}) {
        Canvas c = whiteCanvas(32, 32);
        Renderer r(c, q);
        r.drawShape(s, pixelsToDevice(), ColorTransform());
        r.drawShape(s, Matrix{kNaN, 0, 0, 1, 0, 0}, ColorTransform());
        r.drawShape(s, Matrix{1e30f, 1e30f, -1e30f, 1e30f, 1e30f, -1e30f}, ColorTransform());
        expectValidPremultiplied(c);
    }
}

// Regression (found by the fuzzer): an edge only a denormal number high made its slope
// infinite, and 0 x infinity a NaN x position that reached a float-to-int conversion.
TEST(HostileInput, EdgesOfDenormalHeight) {
    Shape s = ShapeBuilder().fill(solidFill(kBlack)).line(solidLine(1, kBlack)).build();
    // The first edge straddles the row boundary y = 0 by a denormal height.
    s.layers[0].edges = {rawEdge({0, -2e-39f}, {300, 2e-39f}, 0, 1, 1), rawEdge({300, 2e-39f}, {300, 300}, 0, 1, 1),
                         rawEdge({300, 300}, {0, -2e-39f}, 0, 1, 1)};
    for (Quality q : {Quality::High, Quality::Medium, Quality::Low}) {
        Canvas c = whiteCanvas(20, 20);
        Renderer r(c, q);
        r.drawShape(s, pixelsToDevice(), ColorTransform());
        EXPECT_EQ(word(c, 12, 5), 0xff000000u);
        expectValidPremultiplied(c);
    }
}

TEST(HostileInput, HugeShapesCoverTheCanvasCorrectly) {
    // A square far larger than float precision near the canvas could describe exactly.
    Canvas c = whiteCanvas(16, 16);
    Renderer r(c, Quality::High);
    r.drawShape(rectShape(-1e9f, -1e9f, 1e9f, 1e9f, solidFill(kBlack)), pixelsToDevice(), ColorTransform());
    for (uint32_t p : c.pixels) EXPECT_EQ(p, 0xff000000u);
}

// Regression: end points beyond the device range used to be clamped, which bent the edges
// that cross the canvas. Here a triangle whose corners lie millions of pixels away crosses the
// canvas with the line x = 8 + (y - 12) / 2, filled on its right.
TEST(HostileInput, FarAwayCornersKeepTheEdgesThatCrossTheCanvas) {
    const float unit = 16;  // device = twips / 16: every coordinate below is exact in float
    auto at = [&](double x, double y) { return Point{float(x * unit), float(y * unit)}; };
    const double far = 1 << 21;
    Shape s = ShapeBuilder().fill(solidFill(kBlack)).build();
    Point p1 = at(8 - far, 12 - 2 * far), p2 = at(8 + far, 12 + 2 * far), p3 = at(4 * far, 12 - 2 * far);
    s.layers[0].edges = {rawEdge(p1, p2, 1, 0), rawEdge(p2, p3, 1, 0), rawEdge(p3, p1, 1, 0)};
    Canvas c = whiteCanvas(24, 24);
    Renderer r(c, Quality::High);
    r.drawShape(s, Matrix::scale(1 / unit, 1 / unit), ColorTransform());
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
            double area = 0;
            for (int k = 0; k < 1000; ++k) {
                double lineX = 8 + (y + (k + 0.5) / 1000 - 12) / 2;
                area += std::clamp(x + 1 - lineX, 0.0, 1.0) / 1000;
            }
            EXPECT_NEAR(255 - pixel(c, x, y).r, area * 255, 1.01) << x << "," << y;
        }
    }
}

TEST(HostileInput, StyleIndicesOutOfRangeAreIgnored) {
    Shape s = ShapeBuilder().fill(solidFill(kBlack)).build();
    s.layers[0].edges = {rawEdge({0, 0}, {0, 200}, 0, 7, 9), rawEdge({0, 200}, {200, 200}, 65535, 0, 65535),
                         rawEdge({200, 200}, {0, 0}, 1, 1, 1)};
    s.layers.push_back(ShapeLayer());  // a layer with edges but no styles at all
    s.layers.back().edges = s.layers[0].edges;
    Canvas c = whiteCanvas(16, 16);
    Renderer r(c, Quality::High);
    r.drawShape(s, pixelsToDevice(), ColorTransform());
    for (uint32_t p : c.pixels) EXPECT_EQ(p, 0xffffffffu);
}

TEST(HostileInput, MillionsOfEdgesFinish) {
    // Full-height slivers: the row work is capped, so this ends in bounded time; what is drawn
    // is still valid.
    Shape s = ShapeBuilder().fill(solidFill({0, 0, 0, 10})).build();
    auto& edges = s.layers[0].edges;
    const int count = 1 << 20;
    edges.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        float x = float(i % 4000) * 5;
        edges.push_back(rawEdge({x, 0}, {x + 3, 20000}, uint16_t(i & 1), uint16_t(1 - (i & 1))));
    }
    Canvas c = whiteCanvas(200, 1000);
    Renderer r(c, Quality::High);
    r.drawShape(s, pixelsToDevice(), ColorTransform());
    expectValidPremultiplied(c);
}

TEST(HostileInput, LongCurvedStrokeRunsAreCapped) {
    // One run of many large curves: flattening each into 128 pieces would need gigabytes.
    Shape s = ShapeBuilder().line(solidLine(1, kBlack)).build();
    auto& edges = s.layers[0].edges;
    const int count = 1 << 19;
    edges.reserve(size_t(count));
    Point at{0, 0};
    for (int i = 0; i < count; ++i) {
        Edge e = rawEdge(at, {at.x + (i % 2 ? -4000.0f : 4000.0f), at.y + 1}, 0, 0, 1);
        e.curved = true;
        e.control = {at.x, at.y + 1e6f};
        edges.push_back(e);
        at = e.to;
    }
    Canvas c = whiteCanvas(64, 64);
    Renderer r(c, Quality::High);
    r.drawShape(s, pixelsToDevice(), ColorTransform());
    expectValidPremultiplied(c);
}

TEST(HostileInput, ExtremeStylesAndPaints) {
    LineStyle wide = solidLine(0, kBlack);
    wide.width = 65535;
    wide.miterLimit = kNaN;
    wide.join = JoinStyle::Miter;
    FillStyle gradient;
    gradient.type = FillType::FocalGradient;
    gradient.gradient.matrix = {kNaN, 1e-30f, 1e30f, 0, kInf, 0};
    gradient.gradient.focalPoint = kNaN;
    gradient.gradient.spread = SpreadMode(7);
    gradient.gradient.records = {{255, kBlack}, {0, kWhite}, {255, kWhite}, {128, kBlack}};
    FillStyle tinyGradient = gradient;
    tinyGradient.gradient.matrix = {1e-20f, 0, 0, 1e-20f, 0, 0};
    tinyGradient.gradient.spread = SpreadMode::Reflect;
    FillStyle bitmap;
    bitmap.type = FillType::RepeatingBitmap;
    bitmap.bitmap = std::make_shared<Bitmap>(3, 3, 0xff00ff00u);
    bitmap.bitmapMatrix = {1e-30f, 1e30f, -1e30f, 1e-30f, kInf, 0};
    FillStyle hugeBitmap = bitmap;
    hugeBitmap.bitmapMatrix = {1e30f, 0, 0, 1e-30f, -1e30f, 5};
    ShapeBuilder b;
    b.fill(gradient).fill(tinyGradient).fill(bitmap).fill(hugeBitmap).line(wide);
    for (uint16_t f = 1; f <= 4; ++f) b.use(0, f, 1).rect(float(f), 1, 30, 30);
    ColorTransform cx{-32768, 32767, 0, 32767, 32767, -32768, 255, 0};
    for (Quality q : {Quality::High, Quality::Low}) {
        Canvas c = whiteCanvas(32, 32);
        Renderer r(c, q);
        r.drawShape(b.build(), Matrix::scale(1000, 1000), cx);
        r.drawShape(b.build(), pixelsToDevice(), cx);
        expectValidPremultiplied(c);
    }
}

// Random mixtures of everything above, with random mask calls, at every quality level.
TEST(HostileInput, RandomGarbageScenes) {
    std::mt19937 rng(99);
    const float nasty[] = {kNaN, kInf, -kInf, 1e30f, -1e30f, 1e-30f, 0, -0.0f, 65535, -65536, 3.5f, 200, 1e7f};
    auto number = [&]() {
        return rng() % 3 ? float(int(rng() % 1600) - 200) : nasty[rng() % (sizeof(nasty) / sizeof(nasty[0]))];
    };
    auto matrix = [&]() { return Matrix{number() / 400, number() / 4000, number() / 4000, number() / 400, number(), number()}; };
    for (int round = 0; round < 150; ++round) {
        Shape s;
        s.nonZeroWinding = rng() % 2;
        s.layers.resize(1 + rng() % 3);
        for (ShapeLayer& layer : s.layers) {
            for (int f = int(rng() % 4); f > 0; --f) {
                FillStyle fill;
                const FillType types[] = {FillType::Solid, FillType::LinearGradient, FillType::RadialGradient, FillType::FocalGradient,
                                          FillType::RepeatingBitmap, FillType::ClippedBitmap,
                                          FillType::NonSmoothedRepeatingBitmap, FillType::NonSmoothedClippedBitmap};
                fill.type = types[rng() % 8];
                fill.color = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
                fill.gradient.matrix = matrix();
                fill.gradient.spread = SpreadMode(rng() % 4);
                fill.gradient.interpolation = InterpolationMode(rng() % 3);
                fill.gradient.focalPoint = number();
                for (int r = int(rng() % 17); r > 0; --r) fill.gradient.records.push_back({uint8_t(rng()), fill.color});
                if (rng() % 4) fill.bitmap = std::make_shared<Bitmap>(1 + int(rng() % 5), 1 + int(rng() % 5), uint32_t(rng()));
                fill.bitmapMatrix = matrix();
                layer.fills.push_back(fill);
            }
            for (int l = int(rng() % 3); l > 0; --l) {
                LineStyle line;
                line.width = uint16_t(rng() % 4 ? rng() % 200 : rng());
                line.startCap = CapStyle(rng() % 4);
                line.endCap = CapStyle(rng() % 4);
                line.join = JoinStyle(rng() % 4);
                line.miterLimit = number();
                line.noHScale = rng() % 2;
                line.noClose = rng() % 2;
                line.hasFill = !layer.fills.empty() && rng() % 2;
                if (line.hasFill) line.fill = layer.fills[rng() % layer.fills.size()];
                layer.lines.push_back(line);
            }
            Point pen{number(), number()};
            for (int e = int(rng() % 40); e > 0; --e) {
                Edge edge = rawEdge(pen, {number(), number()}, uint16_t(rng() % 6), uint16_t(rng() % 6), uint16_t(rng() % 4));
                edge.curved = rng() % 2;
                edge.control = {number(), number()};
                if (rng() % 5 == 0) edge.from = {number(), number()};  // a jump: starts a new path
                layer.edges.push_back(edge);
                pen = edge.to;
            }
        }
        Canvas c = whiteCanvas(40, 30);
        Renderer r(c, Quality(rng() % 3));
        r.setClipRect({int(rng() % 50) - 5, int(rng() % 40) - 5, int(rng() % 50), int(rng() % 40)});
        for (int step = 0; step < 6; ++step) {
            switch (rng() % 6) {
                case 0: r.beginMask(); break;
                case 1: r.endMask(); break;
                case 2: r.popMask(); break;
                default: r.drawShape(s, rng() % 2 ? pixelsToDevice() : matrix(), ColorTransform{int16_t(rng()), 256, 256, int16_t(rng()), int16_t(rng()), 0, 0, int16_t(rng())});
            }
        }
        expectValidPremultiplied(c);
    }
}

TEST(HostileInput, BrokenCanvasIsNeverWritten) {
    Canvas empty;
    Canvas lying;
    lying.width = 100;
    lying.height = 100;  // no pixels behind the size
    for (Canvas* c : {&empty, &lying}) {
        Renderer r(*c, Quality::High);
        r.clear(kWhite);
        r.beginMask();
        r.drawShape(rectShape(0, 0, 50, 50, solidFill(kBlack)), pixelsToDevice(), ColorTransform());
        r.endMask();
        r.drawShape(rectShape(0, 0, 50, 50, solidFill(kBlack)), pixelsToDevice(), ColorTransform());
        EXPECT_TRUE(c->pixels.empty());
    }
}

}  // namespace
}  // namespace swf::test
