// The drawing API model drawn by the real renderer: pixels where the original's rules put
// fill, stroke or nothing. Canvases are 1 pixel per drawing unit unless a test scales.
#include <gtest/gtest.h>
#include <imageio/image_file.h>
#include <renderer.h>
#include <runtime/drawing.h>

#include <cmath>

namespace {

constexpr uint32_t kRed = 0xff0000, kBlue = 0x0000ff, kGreen = 0x00ff00;

swf::Canvas render(swf::Drawing& d, int w = 60, int h = 60, float scale = 1) {
    swf::Canvas canvas(w, h);
    swf::Renderer r(canvas, swf::Quality::High);
    r.clear(swf::Rgba{255, 255, 255, 255});
    r.drawShape(d.shape(), swf::Matrix::scale(scale / swf::kTwipsPerPixel, scale / swf::kTwipsPerPixel), {});
    return canvas;
}

// RGB of an opaque pixel.
uint32_t rgb(const swf::Canvas& c, int x, int y) { return c.row(y)[x] & 0xffffff; }

swf::DrawingLineStyle line(float thickness, uint32_t color) {
    swf::DrawingLineStyle s;
    s.thickness = thickness;
    s.rgb = color;
    return s;
}

// One horizontal stroke from (x0, y) to (x1, y).
swf::Drawing stroke(const swf::DrawingLineStyle& style, float x0, float y, float x1) {
    swf::Drawing d;
    d.lineStyle(style);
    d.moveTo(x0, y);
    d.lineTo(x1, y);
    return d;
}

// From `left` at x = 0 to `right` at x = 60.
swf::DrawingGradient twoStops(uint32_t left, uint32_t right) {
    swf::DrawingGradient grad;
    grad.colors = {left, right};
    grad.alphasPercent = {100, 100};
    grad.ratios = {0, 255};
    grad.matrix = swf::gradientBox(0, 0, 60, 60, 0);
    return grad;
}

void square(swf::Drawing& d, float x0, float y0, float x1, float y1, bool close) {
    d.moveTo(x0, y0);
    d.lineTo(x1, y0);
    d.lineTo(x1, y1);
    d.lineTo(x0, y1);
    if (close) d.lineTo(x0, y0);
}

TEST(Drawing, EndFillClosesTheContourLikeAnExplicitLastLine) {
    swf::Drawing open, closed;
    for (auto* d : {&open, &closed}) d->beginFill(kRed);
    square(open, 10, 10, 50, 50, false);
    square(closed, 10, 10, 50, 50, true);
    open.endFill();
    closed.endFill();
    swf::Canvas a = render(open), b = render(closed);
    EXPECT_EQ(rgb(a, 30, 30), kRed);
    EXPECT_EQ(rgb(a, 5, 30), 0xffffffu);
    EXPECT_EQ(a.pixels, b.pixels);
    swf::Drawing unended;
    unended.beginFill(kRed);
    square(unended, 10, 10, 50, 50, false);
    EXPECT_EQ(render(unended).pixels, a.pixels) << "an open fill draws as if closed now";
}

TEST(Drawing, StrokesDrawOverTheirFillAndTheClosingEdgeIsNotStroked) {
    swf::Drawing d;
    d.lineStyle(line(6, kBlue));
    d.beginFill(kRed);
    square(d, 10, 10, 50, 50, false);  // the left side is only the fill's closing edge
    d.endFill();
    swf::Canvas c = render(d);
    EXPECT_EQ(rgb(c, 30, 10), kBlue) << "top side: stroke over the fill's edge";
    EXPECT_EQ(rgb(c, 50, 30), kBlue);
    EXPECT_EQ(rgb(c, 30, 30), kRed);
    EXPECT_EQ(rgb(c, 11, 30), kRed) << "left side: no stroke";
    EXPECT_EQ(rgb(c, 8, 30), 0xffffffu);
}

TEST(Drawing, ALaterFillCoversEarlierStrokes) {
    swf::Drawing d;
    d.lineStyle(line(8, kBlue));
    d.moveTo(0, 30);
    d.lineTo(60, 30);
    d.noLineStyle();
    d.beginFill(kGreen);
    square(d, 20, 20, 40, 40, false);
    d.endFill();
    d.lineStyle(line(2, kRed));
    d.moveTo(30, 0);
    d.lineTo(30, 60);
    swf::Canvas c = render(d);
    EXPECT_EQ(rgb(c, 10, 30), kBlue);
    EXPECT_EQ(rgb(c, 25, 30), kGreen) << "the fill is above the first stroke";
    EXPECT_EQ(rgb(c, 30, 30) & 0xff0000, 0xff0000u) << "the last stroke is above the fill";
}

TEST(Drawing, FillsUseTheEvenOddRuleAndMoveToContinuesTheOutline) {
    swf::Drawing star;
    star.beginFill(kRed);
    const float cx = 30, cy = 30, r = 28;
    for (int i = 0; i <= 5; ++i) {
        float a = float(i * 2 % 5) * 2 * 3.14159265f / 5 - 3.14159265f / 2;
        if (i == 0) star.moveTo(cx + r * std::cos(a), cy + r * std::sin(a));
        else star.lineTo(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    star.endFill();
    swf::Canvas s = render(star);
    EXPECT_EQ(rgb(s, 30, 30), 0xffffffu) << "the pentagram's centre is a hole";
    EXPECT_EQ(rgb(s, 30, 8), kRed);

    // Two closed squares: the move between them and the closing edge lie on each other and
    // cancel, leaving a frame.
    swf::Drawing frame;
    frame.beginFill(kBlue);
    square(frame, 5, 5, 55, 55, true);
    square(frame, 20, 20, 40, 40, true);
    frame.endFill();
    swf::Canvas f = render(frame);
    EXPECT_EQ(rgb(f, 10, 30), kBlue);
    EXPECT_EQ(rgb(f, 30, 30), 0xffffffu);
    EXPECT_EQ(rgb(f, 12, 12), kBlue) << "nothing of the joining edges shows";

    // A triangle left open, then a move: the move is an edge of the fill, so the fill covers
    // the quadrilateral (10,10) (50,10) (50,50) (10,50) closed back to where it began.
    swf::Drawing joined;
    joined.beginFill(kBlue);
    joined.moveTo(10, 10);
    joined.lineTo(50, 10);
    joined.lineTo(50, 30);
    joined.moveTo(50, 50);
    joined.lineTo(10, 50);
    joined.endFill();
    swf::Canvas j = render(joined);
    EXPECT_EQ(rgb(j, 45, 35), kBlue) << "beside the move, where a closed triangle would leave white";
    EXPECT_EQ(rgb(j, 20, 45), kBlue);
    EXPECT_EQ(rgb(j, 55, 30), 0xffffffu);
}

TEST(Drawing, GradientAndBitmapFills) {
    swf::Drawing g;
    g.beginGradientFill(twoStops(kRed, kBlue));
    square(g, 0, 0, 60, 60, false);
    g.endFill();
    swf::Canvas c = render(g);
    EXPECT_GT(c.row(30)[1] >> 16 & 0xff, 240u) << "red at the left";
    EXPECT_GT(c.row(30)[58] & 0xff, 240u) << "blue at the right";
    uint32_t mid = c.row(30)[30];
    EXPECT_NEAR(double(mid >> 16 & 0xff), 128, 10);

    auto bitmap = std::make_shared<swf::Bitmap>(2, 1);
    bitmap->pixels = {0xffff0000u, 0xff00ff00u};  // red, green
    swf::Drawing b;
    b.beginBitmapFill(bitmap, swf::Matrix::scale(10, 10), true, false);
    square(b, 0, 0, 60, 20, false);
    b.endFill();
    swf::Canvas bc = render(b);
    EXPECT_EQ(rgb(bc, 5, 5), kRed);
    EXPECT_EQ(rgb(bc, 15, 5), kGreen);
    EXPECT_EQ(rgb(bc, 25, 5), kRed) << "repeating";
    EXPECT_EQ(rgb(bc, 25, 40), 0xffffffu);
}

TEST(Drawing, LineStyleCapsScaleModeAndGradientLines) {
    auto endPixel = [](swf::CapStyle caps) {
        swf::DrawingLineStyle s = line(10, kBlue);
        s.caps = caps;
        swf::Drawing d = stroke(s, 10, 30, 40);
        return rgb(render(d), 43, 30);
    };
    EXPECT_EQ(endPixel(swf::CapStyle::None), 0xffffffu);
    EXPECT_EQ(endPixel(swf::CapStyle::Square), kBlue);

    auto widthAtScale4 = [](swf::LineScaleMode mode) {
        swf::DrawingLineStyle s = line(2, kBlue);
        s.scaleMode = mode;
        swf::Drawing d = stroke(s, 0, 7, 15);
        swf::Canvas c = render(d, 60, 60, 4);
        int covered = 0;
        for (int y = 0; y < 60; ++y) covered += rgb(c, 30, y) != 0xffffffu;
        return covered;
    };
    EXPECT_EQ(widthAtScale4(swf::LineScaleMode::Normal), 8);
    EXPECT_EQ(widthAtScale4(swf::LineScaleMode::None), 2);
    EXPECT_EQ(widthAtScale4(swf::LineScaleMode::Horizontal), 8) << "follows the horizontal scaling, here 4";

    swf::Drawing gl;
    gl.lineStyle(line(10, 0));
    gl.lineGradientStyle(twoStops(kRed, kGreen));
    gl.moveTo(0, 30);
    gl.lineTo(60, 30);
    swf::Canvas c = render(gl);
    EXPECT_GT(c.row(30)[2] >> 16 & 0xff, 230u);
    EXPECT_GT(c.row(30)[57] >> 8 & 0xff, 230u);
}

TEST(Drawing, ClearForgetsEverythingAndBadArgumentsAreIgnored) {
    swf::Drawing d;
    d.lineStyle(line(4, kBlue));
    d.beginFill(kRed);
    square(d, 10, 10, 50, 50, false);
    d.clear();
    EXPECT_TRUE(d.empty());
    d.lineTo(30, 30);  // no line style any more: nothing drawn
    EXPECT_TRUE(d.shape().layers.empty());
    d.beginFill(kRed);
    d.lineTo(NAN, 10);
    d.lineTo(INFINITY, INFINITY);
    d.curveTo(1e30f, -1e30f, 40, 40);
    d.lineTo(40, 0);
    d.endFill();
    const swf::Shape& s = d.shape();
    ASSERT_EQ(s.layers.size(), 1u);
    EXPECT_EQ(s.layers[0].edges.size(), 3u) << "curve to a clamped control, line, closing edge; NaN dropped";
    EXPECT_LE(s.bounds.xMax, 100000001);
    render(d);
}

TEST(Drawing, AGeneratedPatternLooksRight) {
    // Rings of gradient petals with strokes: the kind of pattern scripted screen savers draw.
    swf::Drawing d;
    for (int ring = 3; ring >= 1; --ring) {
        for (int i = 0; i < 12; ++i) {
            float a0 = float(i) * 3.14159265f / 6, a1 = a0 + 3.14159265f / 6;
            float r = float(ring) * 30;
            swf::DrawingGradient grad;
            grad.kind = swf::GradientKind::Radial;
            grad.colors = {0xffffff, uint32_t(0x2040c0 + ring * 0x301000 + i * 0x000008)};
            grad.alphasPercent = {100, 90};
            grad.ratios = {0, 255};
            grad.matrix = swf::gradientBox(100 - r, 100 - r, 2 * r, 2 * r, 0);
            grad.focalPoint = 0.5f;
            d.lineStyle(line(1, 0x102040));
            d.beginGradientFill(grad);
            d.moveTo(100, 100);
            d.lineTo(100 + r * std::cos(a0), 100 + r * std::sin(a0));
            d.curveTo(100 + r * 1.3f * std::cos((a0 + a1) / 2), 100 + r * 1.3f * std::sin((a0 + a1) / 2),
                      100 + r * std::cos(a1), 100 + r * std::sin(a1));
            d.endFill();
        }
    }
    swf::Canvas c = render(d, 200, 200);
    if (const char* out = std::getenv("KESTORAL_DRAWING_PNG")) swfimg::saveImage(out, c);
    EXPECT_EQ(rgb(c, 2, 2), 0xffffffu);
    EXPECT_NE(rgb(c, 100, 30), 0xffffffu);
    EXPECT_NE(rgb(c, 150, 100), rgb(c, 110, 102)) << "the outer ring differs from the inner";
}

}  // namespace
