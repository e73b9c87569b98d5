// Strokes: width and its scaling, hairlines, caps, joins, closing, drawing over the fills.
#include <gtest/gtest.h>

#include <cmath>

#include "test_canvas.h"
#include "test_shapes.h"

namespace swf::test {
namespace {

int coverageAt(const Canvas& c, int x, int y) { return 255 - pixel(c, x, y).r; }

Canvas drawBlack(const Shape& shape, int size, Matrix m = pixelsToDevice()) {
    Canvas canvas = whiteCanvas(size, size);
    Renderer renderer(canvas, Quality::High);
    renderer.drawShape(shape, m, ColorTransform());
    return canvas;
}

LineStyle styled(float width, CapStyle cap, JoinStyle join = JoinStyle::Round) {
    LineStyle l = solidLine(width, kBlack);
    l.startCap = l.endCap = cap;
    l.join = join;
    return l;
}

Shape horizontalLine(LineStyle style) {
    return ShapeBuilder().line(style).use(0, 0, 1).moveTo(4, 10).lineTo(16, 10).build();
}

int columnSum(const Canvas& c, int x) {
    int sum = 0;
    for (int y = 0; y < c.height; ++y) sum += coverageAt(c, x, y);
    return sum;
}

TEST(Stroke, WidthAndCaps) {
    Canvas none = drawBlack(horizontalLine(styled(2, CapStyle::None)), 20);
    EXPECT_EQ(coverageAt(none, 10, 9), 255);
    EXPECT_EQ(coverageAt(none, 10, 10), 255);
    EXPECT_EQ(coverageAt(none, 10, 8), 0);
    EXPECT_EQ(coverageAt(none, 10, 11), 0);
    EXPECT_EQ(coverageAt(none, 3, 10), 0);
    EXPECT_EQ(coverageAt(none, 16, 10), 0);

    Canvas square = drawBlack(horizontalLine(styled(2, CapStyle::Square)), 20);
    EXPECT_EQ(coverageAt(square, 3, 10), 255);
    EXPECT_EQ(coverageAt(square, 16, 9), 255);
    EXPECT_EQ(coverageAt(square, 2, 10), 0);
    EXPECT_EQ(coverageAt(square, 17, 10), 0);

    Canvas round = drawBlack(horizontalLine(styled(2, CapStyle::Round)), 20);
    EXPECT_GT(coverageAt(round, 3, 10), 100);  // a half disc of radius 1: about 0.7 of the pixel
    EXPECT_LT(coverageAt(round, 3, 10), 220);
    EXPECT_EQ(coverageAt(round, 2, 10), 0);
}

TEST(Stroke, RoundCapsAddExactlyTheirHalfDiscs) {
    // Pieces that overlapped at the outline would count their shared edge pixels twice.
    Canvas c = drawBlack(ShapeBuilder().line(styled(3, CapStyle::Round)).use(0, 0, 1).moveTo(4.3f, 10.3f).lineTo(16.3f, 10.3f).build(), 20);
    double total = 0;
    for (uint32_t p : c.pixels) total += (255 - ((p >> 16) & 255)) / 255.0;
    // The half discs are polygons within 0.1 pixel of the arc: they lose up to 2/3 x 0.1 x
    // the circumference (0.63); overlapping pieces would instead add area.
    const double capsule = 3 * 12 + 3.14159265 * 1.5 * 1.5;
    EXPECT_LT(total, capsule);
    EXPECT_GT(total, capsule - 0.63);
}

TEST(Stroke, WidthScalesWithTheMeanScaleUnlessNoScale) {
    Matrix twice = Matrix::scale(2.0f / kTwipsPerPixel, 2.0f / kTwipsPerPixel);
    Canvas scaled = drawBlack(horizontalLine(styled(2, CapStyle::None)), 40, twice);
    EXPECT_EQ(columnSum(scaled, 20), 4 * 255);  // 2 px at scale 2
    LineStyle fixed = styled(2, CapStyle::None);
    fixed.noHScale = fixed.noVScale = true;
    Canvas kept = drawBlack(horizontalLine(fixed), 40, twice);
    EXPECT_EQ(columnSum(kept, 20), 2 * 255);
    // Non-uniform scale: the mean of the axis scales (1 and 3) doubles the width.
    Matrix stretched = Matrix::scale(1.0f / kTwipsPerPixel, 3.0f / kTwipsPerPixel);
    Canvas mean = drawBlack(ShapeBuilder().line(styled(2, CapStyle::None)).use(0, 0, 1).moveTo(4, 2).lineTo(16, 2).build(),
                            20, stretched);
    EXPECT_EQ(columnSum(mean, 10), 4 * 255);
}

TEST(Stroke, HairlinesAndThinLinesAreOneDevicePixel) {
    Matrix tenTimes = Matrix::scale(10.0f / kTwipsPerPixel, 10.0f / kTwipsPerPixel);
    Canvas hair = drawBlack(ShapeBuilder().line(styled(0, CapStyle::None)).use(0, 0, 1).moveTo(0.5f, 1.23f).lineTo(3.5f, 1.23f).build(),
                            40, tenTimes);
    EXPECT_NEAR(columnSum(hair, 20), 255, 2);
    Canvas thin = drawBlack(ShapeBuilder().line(styled(0.2f, CapStyle::None)).use(0, 0, 1).moveTo(2, 5.5f).lineTo(18, 7.5f).build(), 20);
    EXPECT_NEAR(columnSum(thin, 10), 255 * std::sqrt(1 + 1.0 / 64), 3);  // 1 px across a slope of 1/8
}

TEST(Stroke, PixelHintingPutsLinesOnWholePixels) {
    auto line = [](bool hinted, float width) {
        LineStyle style = styled(width, CapStyle::None);
        style.pixelHinting = hinted;
        return ShapeBuilder().line(style).use(0, 0, 1).moveTo(2.2f, 10.3f).lineTo(17.6f, 10.3f).build();
    };
    Canvas plain = drawBlack(line(false, 1), 20);
    EXPECT_LT(coverageAt(plain, 8, 9), 255);  // a one-pixel line at y 9.8 .. 10.8 spans two rows
    Canvas hinted = drawBlack(line(true, 1), 20);
    EXPECT_EQ(coverageAt(hinted, 8, 10), 255);  // centred on 10.5: exactly row 10
    EXPECT_EQ(coverageAt(hinted, 8, 9), 0);
    EXPECT_EQ(coverageAt(hinted, 8, 11), 0);
    Canvas even = drawBlack(line(true, 2.4f), 20);  // width 2, centred on the boundary y = 10
    EXPECT_EQ(coverageAt(even, 8, 9), 255);
    EXPECT_EQ(coverageAt(even, 8, 10), 255);
    EXPECT_EQ(coverageAt(even, 8, 11), 0);
}

Shape corner(JoinStyle join, float miterLimit = 3) {
    LineStyle style = styled(4, CapStyle::None, join);
    style.miterLimit = miterLimit;
    return ShapeBuilder().line(style).use(0, 0, 1).moveTo(4, 4).lineTo(16, 4).lineTo(16, 16).build();
}

TEST(Stroke, JoinsFillTheOuterCornerDifferently) {
    // The outer corner of the turn at (16, 4) is the square (16..18, 2..4).
    Canvas miter = drawBlack(corner(JoinStyle::Miter), 20);
    Canvas round = drawBlack(corner(JoinStyle::Round), 20);
    Canvas bevel = drawBlack(corner(JoinStyle::Bevel), 20);
    EXPECT_EQ(coverageAt(miter, 17, 2), 255);
    EXPECT_EQ(coverageAt(bevel, 17, 2), 0);  // the bevel runs from (16, 2) to (18, 4)
    EXPECT_NEAR(coverageAt(bevel, 16, 2), 128, 1);
    EXPECT_GT(coverageAt(round, 17, 2), 20);
    EXPECT_LT(coverageAt(round, 17, 2), 255);
    for (const Canvas* c : {&miter, &round, &bevel}) EXPECT_EQ(coverageAt(*c, 15, 5), 255);
}

TEST(Stroke, MiterLimitCutsOffSharpTurns) {
    // A turn of about 157 degrees at (24, 12), width 2: the miter tip lies 5.1 pixels beyond
    // the joint (x = 29.1). A limit of 1 cuts it 1 x 2 pixels beyond (x = 26); 3 allows 6.
    auto sharp = [](float limit) {
        LineStyle style = styled(2, CapStyle::None, JoinStyle::Miter);
        style.miterLimit = limit;
        return ShapeBuilder().line(style).use(0, 0, 1).moveTo(4, 8).lineTo(24, 12).lineTo(4, 16).build();
    };
    Canvas cut = drawBlack(sharp(1), 40);
    Canvas spiked = drawBlack(sharp(3), 40);
    EXPECT_GT(coverageAt(cut, 25, 11), 100);  // inside the cut-off miter, near the joint
    EXPECT_GT(coverageAt(cut, 25, 12), 100);
    EXPECT_EQ(coverageAt(cut, 26, 11), 0);
    EXPECT_EQ(coverageAt(cut, 26, 12), 0);
    // At x = 26.5 the full spike is about a pixel wide, centred on the row boundary y = 12.
    EXPECT_GT(coverageAt(spiked, 26, 11), 60);
    EXPECT_GT(coverageAt(spiked, 26, 12), 60);
    EXPECT_EQ(coverageAt(spiked, 30, 11), 0);
}

TEST(Stroke, ClosedPathsJoinAtTheStart) {
    auto square = [](bool noClose) {
        LineStyle style = styled(2, CapStyle::None, JoinStyle::Miter);
        style.noClose = noClose;
        return ShapeBuilder().line(style).use(0, 0, 1).rect(5, 5, 15, 15).build();
    };
    Canvas closed = drawBlack(square(false), 20);
    Canvas open = drawBlack(square(true), 20);
    EXPECT_EQ(coverageAt(closed, 4, 4), 255);  // mitered outer corner at the start point
    EXPECT_EQ(coverageAt(open, 4, 4), 0);      // butt ends leave the corner notched
    EXPECT_EQ(coverageAt(closed, 14, 14), 255);
    EXPECT_EQ(coverageAt(open, 14, 14), 255);
}

TEST(Stroke, CurvedStrokeMakesARing) {
    Shape ring = ShapeBuilder().line(styled(2, CapStyle::Round)).use(0, 0, 1).circle(20, 20, 10).build();
    Canvas c = drawBlack(ring, 40);
    double total = 0;
    for (uint32_t p : c.pixels) total += (255 - ((p >> 16) & 255)) / 255.0;
    EXPECT_NEAR(total, 2 * 3.14159265 * 10 * 2, 2);
    EXPECT_EQ(coverageAt(c, 20, 20), 0);
    EXPECT_EQ(coverageAt(c, 30, 20), 255);
    EXPECT_EQ(coverageAt(c, 20, 10), 255);
}

TEST(Stroke, DrawnOverTheLayerFillsWithItsOwnPaint) {
    LineStyle gradientLine = styled(2, CapStyle::None);
    gradientLine.hasFill = true;
    gradientLine.fill.type = FillType::LinearGradient;
    gradientLine.fill.gradient.matrix = {20 * 20.0f / 32768, 0, 0, 1, 10 * 20.0f, 0};  // x 0..20
    gradientLine.fill.gradient.records = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 255}}};
    Shape s = ShapeBuilder()
                  .fill(solidFill({0, 255, 0, 255}))
                  .line(gradientLine)
                  .use(0, 1, 1)
                  .rect(3, 3, 17, 17)
                  .build();
    Canvas c = drawBlack(s, 20);
    EXPECT_EQ(pixel(c, 10, 10), (Rgba{0, 255, 0, 255}));  // fill inside
    Rgba left = pixel(c, 3, 10), right = pixel(c, 16, 10);  // stroke over the fill's edge
    EXPECT_EQ(left.g, 0);
    EXPECT_EQ(right.g, 0);
    EXPECT_GT(left.r, left.b);
    EXPECT_GT(right.b, right.r);
}

TEST(Stroke, ZeroLengthStrokeWithRoundCapsIsADot) {
    Shape dot = ShapeBuilder().line(styled(4, CapStyle::Round)).use(0, 0, 1).moveTo(10, 10).lineTo(10, 10).build();
    Canvas c = drawBlack(dot, 20);
    EXPECT_EQ(coverageAt(c, 10, 10), 255);
    EXPECT_EQ(coverageAt(c, 9, 9), 255);
    EXPECT_EQ(coverageAt(c, 13, 10), 0);
    Canvas none = drawBlack(ShapeBuilder().line(styled(4, CapStyle::None)).use(0, 0, 1).moveTo(10, 10).lineTo(10, 10).build(), 20);
    for (uint32_t p : none.pixels) EXPECT_EQ(p, 0xffffffffu);
}

}  // namespace
}  // namespace swf::test
