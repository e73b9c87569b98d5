// Gradient fills sampled at pixel centres against values computed here from the definition.
#include <gtest/gtest.h>

#include <cmath>

#include "test_canvas.h"
#include "test_shapes.h"

namespace swf::test {
namespace {

// Maps the gradient square onto the pixel box (x0, y0) - (x1, y1).
Matrix squareOnto(float x0, float y0, float x1, float y1) {
    return {(x1 - x0) * kTwipsPerPixel / 32768, 0, 0, (y1 - y0) * kTwipsPerPixel / 32768,
            (x0 + x1) / 2 * kTwipsPerPixel, (y0 + y1) / 2 * kTwipsPerPixel};
}

FillStyle gradient(FillType type, Matrix m, std::vector<GradientRecord> records,
                   SpreadMode spread = SpreadMode::Pad) {
    FillStyle f;
    f.type = type;
    f.gradient.matrix = m;
    f.gradient.records = std::move(records);
    f.gradient.spread = spread;
    return f;
}

const std::vector<GradientRecord> kBlackToWhite = {{0, kBlack}, {255, kWhite}};

Canvas draw(const FillStyle& fill, int w, int h, ColorTransform cx = {}) {
    Canvas canvas = whiteCanvas(w, h);
    Renderer renderer(canvas, Quality::High);
    renderer.drawShape(rectShape(0, 0, float(w), float(h), fill), pixelsToDevice(), cx);
    return canvas;
}

// Grey level of the black-to-white ramp at ratio t (0..1), as the 256-entry table holds it.
int greyAt(double t) { return int(std::lround(std::clamp(t, 0.0, 1.0) * 255)); }

TEST(Gradient, LinearRunsAcrossTheSquare) {
    Canvas c = draw(gradient(FillType::LinearGradient, squareOnto(0, 0, 256, 4), kBlackToWhite), 256, 4);
    for (int x = 0; x < 256; ++x) {
        EXPECT_EQ(pixel(c, x, 2).r, greyAt((x + 0.5) / 256)) << x;
        EXPECT_EQ(word(c, x, 0), word(c, x, 3));
    }
}

TEST(Gradient, SpreadModesOutsideTheSquare) {
    const Matrix m = squareOnto(0, 0, 64, 4);
    Canvas pad = draw(gradient(FillType::LinearGradient, m, kBlackToWhite, SpreadMode::Pad), 256, 4);
    Canvas repeat = draw(gradient(FillType::LinearGradient, m, kBlackToWhite, SpreadMode::Repeat), 256, 4);
    Canvas reflect = draw(gradient(FillType::LinearGradient, m, kBlackToWhite, SpreadMode::Reflect), 256, 4);
    for (int x : {70, 96, 130, 200}) {
        double t = (x + 0.5) / 64;
        EXPECT_EQ(pixel(pad, x, 1).r, 255) << x;
        EXPECT_EQ(pixel(repeat, x, 1).r, greyAt(t - std::floor(t))) << x;
        double folded = std::fmod(t, 2.0);
        EXPECT_EQ(pixel(reflect, x, 1).r, greyAt(folded > 1 ? 2 - folded : folded)) << x;
    }
}

TEST(Gradient, RadialGrowsWithDistanceFromTheCentre) {
    Canvas c = draw(gradient(FillType::RadialGradient, squareOnto(0, 0, 64, 64), kBlackToWhite), 64, 64);
    for (int y = 0; y < 64; y += 5) {
        for (int x = 0; x < 64; x += 3) {
            double d = std::hypot(x + 0.5 - 32, y + 0.5 - 32) / 32;
            EXPECT_EQ(pixel(c, x, y).r, greyAt(d)) << x << "," << y;
        }
    }
}

TEST(Gradient, FocalStartsAtTheFocusAndEndsOnTheCircle) {
    FillStyle f = gradient(FillType::FocalGradient, squareOnto(0, 0, 64, 64), kBlackToWhite);
    f.gradient.focalPoint = 0.5f;  // focus at x = 48
    Canvas c = draw(f, 64, 64);
    // Along the axis right of the focus the ratio grows linearly from the focus (48) to the
    // circle (64); left of it, from the focus to the far side of the circle (0).
    EXPECT_LE(pixel(c, 47, 31).r, 16);
    EXPECT_NEAR(pixel(c, 55, 32).r, greyAt((55.5 - 48) / 16), 2);
    EXPECT_NEAR(pixel(c, 24, 32).r, greyAt((48 - 24.5) / 48), 2);
    EXPECT_GE(pixel(c, 63, 32).r, 245);
    // Focal points on or past the circle are clamped inside it: still finite and ordered.
    f.gradient.focalPoint = 1.0f;
    Canvas edge = draw(f, 64, 64);
    EXPECT_LT(pixel(edge, 60, 32).r, pixel(edge, 10, 32).r);
}

TEST(Gradient, LinearRgbInterpolationIsBrighterInTheMiddle) {
    std::vector<GradientRecord> redToBlue = {{0, {255, 0, 0, 255}}, {254, {0, 0, 255, 255}}};
    FillStyle f = gradient(FillType::LinearGradient, squareOnto(0, 0, 256, 2), redToBlue);
    Canvas normal = draw(f, 256, 2);
    f.gradient.interpolation = InterpolationMode::LinearRgb;
    Canvas linear = draw(f, 256, 2);
    // Ratio 127 is the middle of the two stops: plain mixing gives half of each, linear-light
    // mixing gives half the light of each, re-encoded to sRGB (0.5 -> 188 of 255).
    EXPECT_EQ(pixel(normal, 127, 0).r, 128);
    EXPECT_EQ(pixel(normal, 127, 0).b, 128);
    EXPECT_EQ(pixel(linear, 127, 0).r, 188);
    EXPECT_EQ(pixel(linear, 127, 0).b, 188);
    EXPECT_EQ(word(linear, 0, 0), word(normal, 0, 0));
}

TEST(Gradient, RecordsOutOfOrderAreSorted) {
    Canvas ordered = draw(gradient(FillType::LinearGradient, squareOnto(0, 0, 64, 2), kBlackToWhite), 64, 2);
    Canvas reversed = draw(gradient(FillType::LinearGradient, squareOnto(0, 0, 64, 2), {{255, kWhite}, {0, kBlack}}), 64, 2);
    EXPECT_EQ(ordered.pixels, reversed.pixels);
}

TEST(Gradient, DegenerateRecordLists) {
    Canvas none = draw(gradient(FillType::RadialGradient, squareOnto(0, 0, 8, 8), {}), 8, 8);
    for (uint32_t p : none.pixels) EXPECT_EQ(p, 0xffffffffu) << "no records draws nothing";
    Canvas one = draw(gradient(FillType::LinearGradient, squareOnto(0, 0, 8, 8), {{40, {10, 200, 30, 255}}}), 8, 8);
    for (uint32_t p : one.pixels) EXPECT_EQ(p, premultiply({10, 200, 30, 255}));
    // A square squashed to a line: the last stop everywhere, no division by zero.
    Canvas flat = draw(gradient(FillType::LinearGradient, {0, 0, 0, 0, 10, 10}, kBlackToWhite), 8, 8);
    for (uint32_t p : flat.pixels) EXPECT_EQ(p, 0xffffffffu);
}

TEST(Gradient, ColorTransformAppliesToTheStops) {
    ColorTransform cx;
    cx.gMul = 0;
    cx.gAdd = 100;
    cx.aMul = 128;  // half transparent over white
    Canvas c = draw(gradient(FillType::LinearGradient, squareOnto(0, 0, 256, 2), kBlackToWhite), 256, 2, cx);
    // At ratio 0 the stop becomes (0, 100, 0) at alpha 255 * 128 / 256 = 127: over white that
    // leaves 128 of the white and adds 100 * 127 / 255 = 50 of green.
    Rgba left = pixel(c, 0, 0);
    EXPECT_EQ(left.r, 128);
    EXPECT_EQ(left.g, 128 + 50);
    Rgba right = pixel(c, 255, 0);
    EXPECT_EQ(right.r, 255);
    EXPECT_EQ(right.g, 128 + 50);
}

TEST(Gradient, TranslucentStopsArePremultiplied) {
    std::vector<GradientRecord> fade = {{0, {255, 0, 0, 255}}, {255, {255, 0, 0, 0}}};
    Canvas canvas(256, 1, 0);
    Renderer renderer(canvas, Quality::High);
    renderer.drawShape(rectShape(0, 0, 256, 1, gradient(FillType::LinearGradient, squareOnto(0, 0, 256, 1), fade)),
                       pixelsToDevice(), ColorTransform());
    for (int x = 0; x < 256; x += 17) {
        uint32_t p = word(canvas, x, 0);
        EXPECT_EQ((p >> 16) & 255u, p >> 24) << "red equals alpha for premultiplied pure red";
        EXPECT_EQ(int(p >> 24), 255 - greyAt((x + 0.5) / 256)) << x;
    }
}

}  // namespace
}  // namespace swf::test
