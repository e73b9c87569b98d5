// Masks (begin/end/pop, nesting, partial coverage) and the clip rectangle.
#include <gtest/gtest.h>

#include "test_canvas.h"
#include "test_shapes.h"

namespace swf::test {
namespace {

const Rgba kRed{255, 0, 0, 255};

void drawRect(Renderer& r, float x0, float y0, float x1, float y1, Rgba color = kRed) {
    r.drawShape(rectShape(x0, y0, x1, y1, solidFill(color)), pixelsToDevice(), ColorTransform());
}

void pushMask(Renderer& r, float x0, float y0, float x1, float y1) {
    r.beginMask();
    drawRect(r, x0, y0, x1, y1, {0, 0, 0, 0});  // the mask's colour does not matter, even alpha 0
    r.endMask();
}

bool isRed(const Canvas& c, int x, int y) { return word(c, x, y) == premultiply(kRed); }

TEST(Mask, LimitsDrawingToTheMaskedArea) {
    Canvas c = whiteCanvas(10, 10);
    Renderer r(c, Quality::High);
    pushMask(r, 0, 0, 5, 10);
    drawRect(r, 0, 0, 10, 10);
    EXPECT_TRUE(isRed(c, 4, 4));
    EXPECT_EQ(word(c, 5, 4), 0xffffffffu);
    r.popMask();
    drawRect(r, 0, 8, 10, 10);
    EXPECT_TRUE(isRed(c, 9, 9)) << "after popMask nothing is masked";
}

TEST(Mask, PartialMaskCoverageBlends) {
    Canvas c = whiteCanvas(10, 10);
    Renderer r(c, Quality::High);
    pushMask(r, 0, 0, 4.5f, 10);
    drawRect(r, 0, 0, 10, 10, kBlack);
    EXPECT_EQ(pixel(c, 4, 4).r, 127);
}

TEST(Mask, ShapesOfOneMaskUnite) {
    Canvas c = whiteCanvas(10, 10);
    Renderer r(c, Quality::High);
    r.beginMask();
    drawRect(r, 0, 0, 3, 10);
    ShapeBuilder stroke;
    stroke.line(solidLine(2, kBlack)).use(0, 0, 1).moveTo(7, 0).lineTo(7, 10);
    r.drawShape(stroke.build(), pixelsToDevice(), ColorTransform());
    r.endMask();
    drawRect(r, 0, 0, 10, 10);
    EXPECT_TRUE(isRed(c, 1, 5));
    EXPECT_TRUE(isRed(c, 6, 5)) << "strokes count in masks";
    EXPECT_EQ(word(c, 4, 5), 0xffffffffu);
    EXPECT_EQ(word(c, 9, 5), 0xffffffffu);
}

TEST(Mask, NestedMasksIntersect) {
    Canvas c = whiteCanvas(10, 10);
    Renderer r(c, Quality::High);
    pushMask(r, 0, 0, 6, 10);
    pushMask(r, 3, 0, 10, 10);
    drawRect(r, 0, 0, 10, 5);
    EXPECT_EQ(word(c, 2, 2), 0xffffffffu);
    EXPECT_TRUE(isRed(c, 4, 2));
    EXPECT_EQ(word(c, 7, 2), 0xffffffffu);
    r.popMask();
    drawRect(r, 0, 5, 10, 10);
    EXPECT_TRUE(isRed(c, 2, 7));
    EXPECT_EQ(word(c, 7, 7), 0xffffffffu) << "the outer mask is still in force";
}

TEST(Mask, EmptyMaskHidesEverything) {
    Canvas c = whiteCanvas(8, 8);
    Renderer r(c, Quality::High);
    r.beginMask();
    r.endMask();
    drawRect(r, 0, 0, 8, 8);
    for (uint32_t p : c.pixels) EXPECT_EQ(p, 0xffffffffu);
}

TEST(Mask, ClipGrownAfterTheMaskShowsNothingOutsideWhereTheMaskWasDrawn) {
    // The mask's shape covers the canvas, but only the clip of the moment was rasterized into
    // it; the plane's memory outside holds whatever an earlier mask left there.
    Canvas c = whiteCanvas(10, 10);
    Renderer r(c, Quality::High);
    pushMask(r, 0, 0, 10, 10);  // fills the plane everywhere
    r.popMask();
    r.setClipRect({0, 0, 5, 10});
    pushMask(r, 0, 0, 10, 10);  // reuses the plane, clears and draws only the left half
    r.setClipRect({0, 0, 10, 10});
    drawRect(r, 0, 0, 10, 10);
    EXPECT_TRUE(isRed(c, 4, 4));
    EXPECT_EQ(word(c, 5, 4), 0xffffffffu);
}

TEST(Mask, UnbalancedCallsAreHarmless) {
    Canvas c = whiteCanvas(8, 8);
    Renderer r(c, Quality::High);
    r.popMask();
    r.endMask();
    drawRect(r, 0, 0, 8, 8);
    EXPECT_TRUE(isRed(c, 7, 7));
}

TEST(Mask, NestingBeyondTheCapHidesInsteadOfAllocating) {
    Canvas c = whiteCanvas(8, 8);
    Renderer r(c, Quality::High);
    for (int i = 0; i < 40; ++i) pushMask(r, 0, 0, 8, 8);
    drawRect(r, 0, 0, 8, 8);
    EXPECT_EQ(word(c, 3, 3), 0xffffffffu);
    for (int i = 0; i < 39; ++i) r.popMask();
    drawRect(r, 0, 0, 8, 8);
    EXPECT_TRUE(isRed(c, 3, 3));
}

TEST(ClipRect, NothingOutsideIsTouched) {
    constexpr uint32_t kSentinel = 0x12345678u;
    Canvas c(12, 12, kSentinel);
    Renderer r(c, Quality::High);
    r.setClipRect({3, 4, 9, 8});
    r.clear({0, 0, 255, 128});  // alpha is ignored: the background is opaque
    ShapeBuilder everything;
    everything.fill(solidFill(kRed)).line(solidLine(3, kBlack)).use(0, 1, 1).rect(-5, -5, 20, 20).circle(7, 6, 1);
    r.drawShape(everything.build(), pixelsToDevice(), ColorTransform());
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            bool inside = x >= 3 && x < 9 && y >= 4 && y < 8;
            if (!inside) EXPECT_EQ(word(c, x, y), kSentinel) << x << "," << y;
        }
    }
    EXPECT_TRUE(isRed(c, 3, 4));
    EXPECT_NE(word(c, 8, 7), kSentinel);
}

TEST(ClipRect, ShapesAreCulledByTheirDeclaredBoundsOnly) {
    Canvas c = whiteCanvas(20, 20);
    Renderer r(c, Quality::High);
    r.setClipRect({0, 0, 10, 20});
    Shape s = rectShape(2, 2, 8, 8, solidFill(kRed));
    s.bounds = {400, 600, 400, 600};  // twips: lies about being at x 20..30, outside the clip
    drawRect(r, 0, 10, 20, 20);        // no bounds at all: drawn
    r.drawShape(s, pixelsToDevice(), ColorTransform());
    EXPECT_EQ(word(c, 4, 4), 0xffffffffu);
    EXPECT_TRUE(isRed(c, 4, 14));
    s.bounds = {0, 200, 0, 200};  // true bounds: drawn
    r.drawShape(s, pixelsToDevice(), ColorTransform());
    EXPECT_TRUE(isRed(c, 4, 4));
}

TEST(ClipRect, IsClampedToTheCanvas) {
    Canvas c(6, 6, 0);
    Renderer r(c, Quality::High);
    r.setClipRect({-100, -100, 100, 3});
    r.clear(kWhite);
    EXPECT_EQ(word(c, 0, 0), 0xffffffffu);
    EXPECT_EQ(word(c, 5, 2), 0xffffffffu);
    EXPECT_EQ(word(c, 5, 3), 0u);
    r.setClipRect({4, 4, 2, 2});  // empty
    r.clear(kWhite);
    drawRect(r, 0, 0, 6, 6);
    EXPECT_EQ(word(c, 5, 5), 0u);
}

}  // namespace
}  // namespace swf::test
