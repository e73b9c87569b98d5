// Where edges land at each quality: outlines snapped to the sample lattice (halves upwards),
// samples at the lattice points, hairlines on pixel middles. Every expectation here is worked
// out by hand from the rule in renderer.cpp, not read back from the renderer.
#include <gtest/gtest.h>

#include "test_canvas.h"
#include "test_shapes.h"

namespace swf::test {
namespace {

int coverageAt(const Canvas& c, int x, int y) { return 255 - pixel(c, x, y).r; }

Canvas drawBlack(const Shape& shape, int size, Quality quality, Matrix m = pixelsToDevice()) {
    Canvas canvas = whiteCanvas(size, size);
    Renderer renderer(canvas, quality);
    renderer.drawShape(shape, m, ColorTransform());
    return canvas;
}

// The covered pixels of an aliased drawing as a box; fails when they are not exactly a box.
IntRect solidBox(const Canvas& c) {
    IntRect box{c.width, c.height, 0, 0};
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            if (coverageAt(c, x, y) != 0) box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x + 1), std::max(box.y1, y + 1)};
    for (int y = box.y0; y < box.y1; ++y)
        for (int x = box.x0; x < box.x1; ++x) EXPECT_EQ(coverageAt(c, x, y), 255) << x << "," << y;
    return box;
}

void expectBox(IntRect got, IntRect want) {
    EXPECT_EQ(got.x0, want.x0);
    EXPECT_EQ(got.y0, want.y0);
    EXPECT_EQ(got.x1, want.x1);
    EXPECT_EQ(got.y1, want.y1);
}

TEST(Placement, LowQualityRectangleEdgesRoundHalvesUpwards) {
    // 2.4 -> 2, 5.6 -> 6; 2.6 -> 3, 5.4 -> 5: the same pixels a centre sample takes.
    expectBox(solidBox(drawBlack(rectShape(2.4f, 2.6f, 5.6f, 5.4f, solidFill(kBlack)), 8, Quality::Low)), {2, 3, 6, 5});
    // Edges at halves (10 twips past a pixel): 2.5 -> 3, 5.5 -> 6, 1.5 -> 2, 3.5 -> 4. A centre
    // sample would take columns 2 to 4 and rows 1 to 2.
    expectBox(solidBox(drawBlack(rectShape(2.5f, 1.5f, 5.5f, 3.5f, solidFill(kBlack)), 8, Quality::Low)), {3, 2, 6, 4});
    // Whole twips just short of the half stay below it: 2.45 -> 2, 5.45 -> 5.
    expectBox(solidBox(drawBlack(rectShape(2.45f, 2.45f, 5.45f, 5.45f, solidFill(kBlack)), 8, Quality::Low)), {2, 2, 5, 5});
}

TEST(Placement, LowQualityRectangleAtFractionalTwipsThroughAMatrix) {
    // A 3 x 2 pixel rectangle moved by 47 twips (2.35 px) and 31 twips (1.55 px):
    // x 2.35 .. 5.35 -> 2 .. 5, y 1.55 .. 3.55 -> 2 .. 4.
    Matrix m = pixelsToDevice();
    m.tx = 2.35f;
    m.ty = 1.55f;
    expectBox(solidBox(drawBlack(rectShape(0, 0, 3, 2, solidFill(kBlack)), 8, Quality::Low, m)), {2, 2, 5, 4});
}

TEST(Placement, MediumQualitySnapsToHalvesAndSamplesCellCorners) {
    // 2.25 -> 2.5 and 4.75 -> 5.0 on the half lattice; samples at x and x + 0.5. Column 2 has
    // one sample of two inside (2.5, on the left edge), columns 3 and 4 both, column 5 none
    // (5.0 lies on the right edge). Centre samples of the unsnapped outline would give the
    // opposite: column 2 whole, column 4 half.
    Canvas c = drawBlack(rectShape(2.25f, 1, 4.75f, 3, solidFill(kBlack)), 8, Quality::Medium);
    EXPECT_EQ(coverageAt(c, 2, 1), 128);
    EXPECT_EQ(coverageAt(c, 3, 1), 255);
    EXPECT_EQ(coverageAt(c, 4, 2), 255);
    EXPECT_EQ(coverageAt(c, 5, 1), 0);
    EXPECT_EQ(coverageAt(c, 1, 1), 0);
    EXPECT_EQ(coverageAt(c, 3, 3), 0);
    // 2.3 -> 2.5 and 5.6 -> 5.5 on both axes: corner pixels one sample of four.
    Canvas d = drawBlack(rectShape(2.3f, 2.3f, 5.6f, 5.6f, solidFill(kBlack)), 8, Quality::Medium);
    EXPECT_EQ(coverageAt(d, 2, 2), 64);
    EXPECT_EQ(coverageAt(d, 3, 2), 128);
    EXPECT_EQ(coverageAt(d, 3, 3), 255);
    EXPECT_EQ(coverageAt(d, 5, 5), 64);
}

TEST(Placement, HighQualitySnapsToQuarters) {
    // 2.1 -> 2.0 (whole column), 4.4 -> 4.5 (half column); 1.15 -> 1.25 (three quarters).
    Canvas c = drawBlack(rectShape(2.1f, 1.15f, 4.4f, 3, solidFill(kBlack)), 8, Quality::High);
    EXPECT_EQ(coverageAt(c, 2, 2), 255);
    EXPECT_EQ(coverageAt(c, 1, 2), 0);
    EXPECT_EQ(coverageAt(c, 4, 2), 128);
    EXPECT_EQ(coverageAt(c, 3, 1), 191);
    EXPECT_EQ(coverageAt(c, 4, 1), 96);  // half of three quarters: 0.375 x 255 = 95.6
}

// A square of 4 px turned by 45 degrees and scaled by the square root of 2: corners (8, 4),
// (12, 8), (8, 12), (4, 8).
Canvas diamond(Quality quality) {
    Matrix m{1.0f / kTwipsPerPixel, 1.0f / kTwipsPerPixel, -1.0f / kTwipsPerPixel, 1.0f / kTwipsPerPixel, 8, 4};
    return drawBlack(rectShape(0, 0, 4, 4, solidFill(kBlack)), 16, quality, m);
}

TEST(Placement, RotatedSquareAtLowQualityTakesThePixelsWhoseCornerIsInside) {
    // Row y holds the pixels x with |x - 8| + |y - 8| < 4, and on the upper left and lower left
    // edges (left edges of the outline) also those with equality: row 5 is x = 7, 8 (7 on the
    // left edge, 9 on the right one), row 8 is x = 4 .. 11; the top corner (8, 4) is taken by
    // no pixel, as it is left of the right edge and on it at once.
    Canvas c = diamond(Quality::Low);
    const int first[] = {0, 0, 0, 0, 0, 7, 6, 5, 4, 5, 6, 7, 0, 0, 0, 0};
    const int width[] = {0, 0, 0, 0, 0, 2, 4, 6, 8, 6, 4, 2, 0, 0, 0, 0};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            bool inside = width[y] > 0 && x >= first[y] && x < first[y] + width[y];
            EXPECT_EQ(coverageAt(c, x, y), inside ? 255 : 0) << x << "," << y;
        }
    }
}

TEST(Placement, RotatedSquareAtHighQualityHalvesThePixelsItsEdgesCross) {
    // Every edge runs corner to corner through the pixels it crosses: those are half covered,
    // the inside whole, and the total is the square's area, 32 pixels.
    Canvas c = diamond(Quality::High);
    EXPECT_EQ(coverageAt(c, 8, 4), 128);
    EXPECT_EQ(coverageAt(c, 7, 4), 128);
    EXPECT_EQ(coverageAt(c, 11, 7), 128);
    EXPECT_EQ(coverageAt(c, 8, 7), 255);
    EXPECT_EQ(coverageAt(c, 4, 8), 128);
    int total = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) total += coverageAt(c, x, y);
    EXPECT_NEAR(total, 32 * 255, 16);
}

TEST(Placement, HairlinesFillOnePixelRowOrColumnAtEveryQuality) {
    for (Quality q : {Quality::Low, Quality::Medium, Quality::High, Quality::Best}) {
        // A hairline one twip below y = 10 and a 1-twip-wide line at x = 4.0: row 10 and
        // column 4, whole, and nothing beside them.
        Canvas h = drawBlack(ShapeBuilder().line(solidLine(0, kBlack)).use(0, 0, 1).moveTo(2, 10.05f).lineTo(12, 10.05f).build(), 16, q);
        Canvas v = drawBlack(ShapeBuilder().line(solidLine(0.05f, kBlack)).use(0, 0, 1).moveTo(4, 2).lineTo(4, 12).build(), 16, q);
        for (int i = 3; i < 11; ++i) {
            EXPECT_EQ(coverageAt(h, i, 10), 255) << int(q) << " x " << i;
            EXPECT_EQ(coverageAt(h, i, 9), 0) << int(q) << " x " << i;
            EXPECT_EQ(coverageAt(h, i, 11), 0) << int(q) << " x " << i;
            EXPECT_EQ(coverageAt(v, 4, i), 255) << int(q) << " y " << i;
            EXPECT_EQ(coverageAt(v, 3, i), 0) << int(q) << " y " << i;
            EXPECT_EQ(coverageAt(v, 5, i), 0) << int(q) << " y " << i;
        }
    }
}

TEST(Placement, OnePixelBorderOfARectangleAtWholePixelsIsCrisp) {
    // A hairline square from 2 to 10: its sides fill columns 2 and 10 and rows 2 and 10, a
    // 9 x 9 outline, as a 1-pixel border at whole pixels measures in the original.
    Canvas c = drawBlack(ShapeBuilder().line(solidLine(1, kBlack)).use(0, 0, 1).rect(2, 2, 10, 10).build(), 14, Quality::High);
    for (int i = 3; i < 10; ++i) {
        EXPECT_EQ(coverageAt(c, 2, i), 255) << i;
        EXPECT_EQ(coverageAt(c, 10, i), 255) << i;
        EXPECT_EQ(coverageAt(c, i, 2), 255) << i;
        EXPECT_EQ(coverageAt(c, i, 10), 255) << i;
        EXPECT_EQ(coverageAt(c, 1, i), 0) << i;
        EXPECT_EQ(coverageAt(c, 11, i), 0) << i;
        EXPECT_EQ(coverageAt(c, 6, i), 0) << i;  // nothing inside
    }
    // Nothing outside either, corners included (where the path closes, both pieces' moves
    // meet in one corner).
    for (int i = 0; i < 14; ++i) {
        for (int outside : {1, 11}) {
            EXPECT_EQ(coverageAt(c, outside, i), 0) << outside << "," << i;
            EXPECT_EQ(coverageAt(c, i, outside), 0) << i << "," << outside;
        }
    }
    EXPECT_EQ(coverageAt(c, 2, 2), 255);
    EXPECT_EQ(coverageAt(c, 10, 10), 255);
}

TEST(Placement, SlantedHairlinesAreNotMoved) {
    // Only straight runs across or down are hinted: a diagonal hairline from (2, 2) to (12, 12)
    // stays centred on the diagonal, so the pixels on it and both neighbours share its ink.
    Canvas c = drawBlack(ShapeBuilder().line(solidLine(0, kBlack)).use(0, 0, 1).moveTo(2, 2).lineTo(12, 12).build(), 16, Quality::High);
    EXPECT_GT(coverageAt(c, 7, 7), 128);
    EXPECT_GT(coverageAt(c, 6, 7), 0);
    EXPECT_GT(coverageAt(c, 7, 6), 0);
    EXPECT_EQ(coverageAt(c, 6, 7), coverageAt(c, 7, 6));
}

}  // namespace
}  // namespace swf::test
