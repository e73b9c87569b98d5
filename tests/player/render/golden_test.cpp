// Small scenes compared byte for byte with PNGs kept in goldens/ (each one looked at before it
// was kept). A mismatch writes the actual image under the build tree; see test_canvas.h.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "test_canvas.h"
#include "test_shapes.h"

namespace swf::test {
namespace {

Matrix squareOnto(float x0, float y0, float x1, float y1) {
    return {(x1 - x0) * kTwipsPerPixel / 32768, 0, 0, (y1 - y0) * kTwipsPerPixel / 32768,
            (x0 + x1) / 2 * kTwipsPerPixel, (y0 + y1) / 2 * kTwipsPerPixel};
}

FillStyle gradientFill(FillType type, Matrix m, SpreadMode spread, std::vector<GradientRecord> records) {
    FillStyle f;
    f.type = type;
    f.gradient.matrix = m;
    f.gradient.spread = spread;
    f.gradient.records = std::move(records);
    return f;
}

const Rgba kOrange{255, 140, 0, 255}, kTeal{0, 128, 128, 255}, kNavy{20, 20, 90, 255}, kRose{230, 60, 120, 200};

TEST(Golden, FillsSharingEdgesWithHolesAndCurves) {
    Canvas c = whiteCanvas(96, 64);
    Renderer r(c, Quality::High);
    // Three fills of one layer tiling a slanted band (no seams), a ring with an even-odd hole,
    // and a five-pointed star drawn as one self-crossing contour with the non-zero rule.
    ShapeBuilder tiles;
    tiles.fill(solidFill(kOrange)).fill(solidFill(kTeal)).fill(solidFill(kNavy));
    tiles.use(0, 1).moveTo(4, 4).lineTo(20, 4).use(2, 1).lineTo(14, 28).use(0, 1).lineTo(4, 28).lineTo(4, 4);
    tiles.use(0, 2).moveTo(20, 4).lineTo(34, 4).use(3, 2).curveTo(36, 16, 26, 28).use(0, 2).lineTo(14, 28);
    tiles.use(0, 3).moveTo(34, 4).lineTo(44, 4).lineTo(44, 28).lineTo(26, 28);
    r.drawShape(tiles.build(), pixelsToDevice(), ColorTransform());
    ShapeBuilder ring;
    ring.fill(solidFill(kRose)).use(0, 1).circle(70, 18, 14).circle(70, 18, 7, true);
    r.drawShape(ring.build(), pixelsToDevice(), ColorTransform());
    ShapeBuilder star;
    star.fill(solidFill(kNavy)).use(0, 1).nonZero();
    std::vector<Point> points;
    for (int i = 0; i < 5; ++i) {
        float a = -1.5707963f + float(i * 2) * 1.2566371f;
        points.push_back({24 + 14 * std::cos(a), 47 + 14 * std::sin(a)});
    }
    star.polygon(points);
    r.drawShape(star.build(), pixelsToDevice(), ColorTransform());
    ShapeBuilder evenOdd;
    evenOdd.fill(solidFill(kTeal)).use(0, 1);
    for (Point& p : points) p.x += 44;
    evenOdd.polygon(points);
    r.drawShape(evenOdd.build(), pixelsToDevice(), ColorTransform());
    EXPECT_EQ(compareWithGolden(c, "fills"), "");
}

TEST(Golden, GradientModes) {
    Canvas c = whiteCanvas(96, 64);
    Renderer r(c, Quality::High);
    const std::vector<GradientRecord> stops = {{0, kNavy}, {100, kTeal}, {255, kOrange}};
    const SpreadMode spreads[] = {SpreadMode::Pad, SpreadMode::Reflect, SpreadMode::Repeat};
    for (int i = 0; i < 3; ++i) {
        float x = 2 + float(i) * 32;
        // Top row: linear, the square covering the middle third of the tile; bottom: radial
        // (or focal in the last tile) with a radius of a third.
        r.drawShape(rectShape(x, 2, x + 30, 30, gradientFill(FillType::LinearGradient, squareOnto(x + 10, 2, x + 20, 30), spreads[i], stops)),
                    pixelsToDevice(), ColorTransform());
        FillStyle round = gradientFill(i == 2 ? FillType::FocalGradient : FillType::RadialGradient,
                                       squareOnto(x + 5, 37, x + 25, 57), spreads[i], stops);
        round.gradient.focalPoint = 0.6f;
        round.gradient.interpolation = i == 1 ? InterpolationMode::LinearRgb : InterpolationMode::Normal;
        r.drawShape(rectShape(x, 32, x + 30, 62, round), pixelsToDevice(), ColorTransform());
    }
    EXPECT_EQ(compareWithGolden(c, "gradients"), "");
}

TEST(Golden, StrokeCapsAndJoins) {
    Canvas c = whiteCanvas(96, 64);
    Renderer r(c, Quality::High);
    const CapStyle caps[] = {CapStyle::Round, CapStyle::None, CapStyle::Square};
    const JoinStyle joins[] = {JoinStyle::Round, JoinStyle::Bevel, JoinStyle::Miter};
    for (int i = 0; i < 3; ++i) {
        float x = 8 + float(i) * 30;
        LineStyle l = solidLine(5, kNavy);
        l.startCap = l.endCap = caps[i];
        l.join = joins[i];
        l.miterLimit = 1.5f;  // the miters (9.6 pixels) are cut off at 7.5 pixels from the joint
        ShapeBuilder zigzag;
        zigzag.line(l).line(solidLine(0, kOrange)).use(0, 0, 1).moveTo(x, 28).lineTo(x + 6, 6).lineTo(x + 12, 28).lineTo(x + 18, 10);
        zigzag.use(0, 0, 2).moveTo(x, 28).lineTo(x + 6, 6).lineTo(x + 12, 28).lineTo(x + 18, 10);  // hairline centre
        r.drawShape(zigzag.build(), pixelsToDevice(), ColorTransform());
    }
    // A filled curve with a translucent outline, and a hairline under a 3x scale.
    ShapeBuilder blob;
    LineStyle outline = solidLine(3, kRose);
    blob.fill(solidFill(kTeal)).line(outline).use(0, 1, 1).moveTo(10, 40).curveTo(30, 30, 40, 50).curveTo(20, 66, 10, 40);
    r.drawShape(blob.build(), pixelsToDevice(), ColorTransform());
    ShapeBuilder hair;
    hair.line(solidLine(0, kBlack)).use(0, 0, 1).moveTo(17, 12).curveTo(25, 22, 30, 14);
    r.drawShape(hair.build(), Matrix::scale(3.0f / kTwipsPerPixel, 3.0f / kTwipsPerPixel), ColorTransform());
    EXPECT_EQ(compareWithGolden(c, "strokes"), "");
}

TEST(Golden, BitmapsMasksAndColorTransforms) {
    Canvas c = whiteCanvas(96, 64);
    Renderer r(c, Quality::High);
    auto checker = std::make_shared<Bitmap>(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            checker->row(y)[x] = premultiply((x + y) % 2 ? kOrange : Rgba{0, 0, 0, 128});
    FillStyle smooth;
    smooth.type = FillType::RepeatingBitmap;
    smooth.bitmap = checker;
    const float angle = 0.4f, s = 3 * kTwipsPerPixel;
    smooth.bitmapMatrix = {s * std::cos(angle), s * std::sin(angle), -s * std::sin(angle), s * std::cos(angle), 0, 0};
    FillStyle sharp = smooth;
    sharp.type = FillType::NonSmoothedClippedBitmap;
    sharp.bitmapMatrix = {s, 0, 0, s, 56 * kTwipsPerPixel, 8 * kTwipsPerPixel};
    // Left: smoothed repeating bitmap inside a circular mask. Right: a clipped bitmap with a
    // colour transform, under two nested masks (a circle and a band) whose overlap shows it.
    r.beginMask();
    r.drawShape(ShapeBuilder().fill(solidFill(kBlack)).use(0, 1).circle(24, 32, 20).build(), pixelsToDevice(), ColorTransform());
    r.endMask();
    r.drawShape(rectShape(0, 0, 48, 64, smooth), pixelsToDevice(), ColorTransform());
    r.popMask();
    r.beginMask();
    r.drawShape(ShapeBuilder().fill(solidFill(kBlack)).use(0, 1).circle(72, 32, 20).build(), pixelsToDevice(), ColorTransform());
    r.endMask();
    r.beginMask();
    r.drawShape(rectShape(48, 20, 96, 44, solidFill(kBlack)), pixelsToDevice(), ColorTransform());
    r.endMask();
    ColorTransform tint;
    tint.rMul = 64;
    tint.bAdd = 160;
    r.drawShape(rectShape(48, 0, 96, 64, sharp), pixelsToDevice(), tint);
    r.popMask();
    r.popMask();
    EXPECT_EQ(compareWithGolden(c, "bitmaps_masks"), "");
}

TEST(Golden, QualityLevels) {
    // The same curve and slanted edges at Low, Medium and High, left to right.
    Canvas c = whiteCanvas(96, 32);
    const Quality levels[] = {Quality::Low, Quality::Medium, Quality::High};
    for (int i = 0; i < 3; ++i) {
        Renderer r(c, levels[i]);
        r.setClipRect({i * 32, 0, i * 32 + 32, 32});
        ShapeBuilder b;
        float x = float(i * 32);
        b.fill(solidFill(kNavy)).line(solidLine(1, kOrange)).use(0, 1, 1).moveTo(x + 3, 28).lineTo(x + 14, 3).curveTo(x + 34, 10, x + 29, 28).lineTo(x + 3, 28);
        r.drawShape(b.build(), pixelsToDevice(), ColorTransform());
    }
    EXPECT_EQ(compareWithGolden(c, "quality_levels"), "");
}

}  // namespace
}  // namespace swf::test
