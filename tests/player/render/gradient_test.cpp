// Gradient fills sampled at pixel centres against values computed here from the definition.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "gradient_ramp.h"
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

// Colour of ramp entry i (the records here are opaque: premultiplied is straight).
Rgba rampAt(const std::vector<GradientRecord>& records, int i) {
    Gradient g;
    g.records = records;
    uint32_t w = render::buildGradientRamp(g, ColorTransform()).colors[size_t(i)];
    return {uint8_t(w >> 16), uint8_t(w >> 8), uint8_t(w), uint8_t(w >> 24)};
}

Rgba mixed(Rgba a, Rgba b, double f) {
    auto ch = [f](uint8_t x, uint8_t y) { return uint8_t(std::clamp(x + (y - x) * f, 0.0, 255.0) + 0.5); };
    return {ch(a.r, b.r), ch(a.g, b.g), ch(a.b, b.b), ch(a.a, b.a)};
}

void expectColor(Rgba got, Rgba want, const char* what) {
    EXPECT_NEAR(got.r, want.r, 1) << what;
    EXPECT_NEAR(got.g, want.g, 1) << what;
    EXPECT_NEAR(got.b, want.b, 1) << what;
    EXPECT_NEAR(got.a, want.a, 1) << what;
}

const Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kCyan{0, 255, 255, 255}, kYellow{255, 255, 0, 255};

TEST(Gradient, RecordsAreWalkedInFileOrderNotSorted) {
    // The first record sits at 255: the walk never gets past it, the whole ramp is white.
    for (int i : {0, 100, 255}) expectColor(rampAt({{255, kWhite}, {0, kBlack}}, i), kWhite, "reversed pair");
    // A record behind the walk is skipped: red-green-blue, cyan never appears.
    const std::vector<GradientRecord> late = {{0, kRed}, {128, kGreen}, {255, kBlue}, {128, kCyan}};
    expectColor(rampAt(late, 64), mixed(kRed, kGreen, 64 / 128.0), "late 64");
    expectColor(rampAt(late, 128), kGreen, "late 128");
    expectColor(rampAt(late, 192), mixed(kGreen, kBlue, 64 / 127.0), "late 192");
    expectColor(rampAt(late, 255), kBlue, "late 255");
    // A record behind the walk starts the next blend from its own ratio: after green at 128
    // the ramp jumps into the cyan-to-blue blend that runs from 50 to 255.
    const std::vector<GradientRecord> back = {{0, kRed}, {128, kGreen}, {50, kCyan}, {255, kBlue}};
    expectColor(rampAt(back, 50), mixed(kRed, kGreen, 50 / 128.0), "back 50");
    expectColor(rampAt(back, 128), kGreen, "back 128");
    expectColor(rampAt(back, 129), mixed(kCyan, kBlue, 79 / 205.0), "back 129");
    expectColor(rampAt(back, 255), kBlue, "back 255");
}

TEST(Gradient, EqualRatiosMakeAHardStep) {
    const std::vector<GradientRecord> step = {{0, kRed}, {128, kGreen}, {128, kBlue}, {255, kYellow}};
    expectColor(rampAt(step, 128), kGreen, "128");
    expectColor(rampAt(step, 129), mixed(kBlue, kYellow, 1 / 127.0), "129");
    // Leading and trailing pads take the first and last record.
    const std::vector<GradientRecord> inner = {{40, kRed}, {40, kBlue}, {200, kGreen}};
    expectColor(rampAt(inner, 0), kRed, "pad before");
    expectColor(rampAt(inner, 41), mixed(kBlue, kGreen, 1 / 160.0), "after the step");
    expectColor(rampAt(inner, 230), kGreen, "pad after");
}

TEST(Gradient, EveryRecordCountsBeyondFifteen) {
    // 20 records alternating black and white every 13 ratios: each one is reached.
    std::vector<GradientRecord> many;
    for (int k = 0; k < 20; ++k) many.push_back({uint8_t(k * 13), k % 2 ? kWhite : kBlack});
    for (int k = 0; k < 20; ++k) expectColor(rampAt(many, k * 13), k % 2 ? kWhite : kBlack, "record");
    expectColor(rampAt(many, 19 * 13 + 4), kWhite, "after the last");
}

TEST(Gradient, FocalPointsBeyondTheEdgeDrawAsTheNearestAllowedOne) {
    // Past the circle the focus stops just inside it (0.98 of the radius), on either side.
    FillStyle f = gradient(FillType::FocalGradient, squareOnto(0, 0, 32, 32), kBlackToWhite);
    f.gradient.focalPoint = 0.98f;
    Canvas inside = draw(f, 32, 32);
    f.gradient.focalPoint = 7.5f;
    EXPECT_EQ(draw(f, 32, 32).pixels, inside.pixels);
    f.gradient.focalPoint = -0.98f;
    Canvas left = draw(f, 32, 32);
    f.gradient.focalPoint = -40;
    EXPECT_EQ(draw(f, 32, 32).pixels, left.pixels);
    EXPECT_NE(left.pixels, inside.pixels);
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

// Ramps kept between draws: a kept ramp must be the one the stops and transform would build,
// whatever was asked before (same gradient object with new records, other transforms,
// interpolation), also when two threads draw at once.
void expectSameRamp(const render::GradientRamp& got, const render::GradientRamp& want, const char* what) {
    EXPECT_EQ(got.empty, want.empty) << what;
    EXPECT_EQ(got.opaque, want.opaque) << what;
    EXPECT_TRUE(got.colors == want.colors) << what;
}

TEST(GradientRampCache, KeptRampsFollowTheStopsTheTransformAndTheInterpolation) {
    Gradient g;
    g.records = {{0, kRed}, {128, {0, 255, 0, 200}}, {255, kBlue}};
    ColorTransform tint;
    tint.rMul = 64;
    tint.bAdd = 90;
    auto plain = render::cachedGradientRamp(g, ColorTransform());
    expectSameRamp(*plain, render::buildGradientRamp(g, ColorTransform()), "first use");
    EXPECT_EQ(render::cachedGradientRamp(g, ColorTransform()), plain) << "asked again: the kept ramp";

    auto tinted = render::cachedGradientRamp(g, tint);
    expectSameRamp(*tinted, render::buildGradientRamp(g, tint), "another colour transform");
    EXPECT_FALSE(tinted->colors == plain->colors);
    expectSameRamp(*render::cachedGradientRamp(g, ColorTransform()), *plain, "back to the first transform");

    g.interpolation = InterpolationMode::LinearRgb;
    expectSameRamp(*render::cachedGradientRamp(g, ColorTransform()), render::buildGradientRamp(g, ColorTransform()),
                   "linear interpolation of the same stops");
    g.records[1].ratio = 40;  // the same object, edited (the drawing API refills a gradient)
    expectSameRamp(*render::cachedGradientRamp(g, ColorTransform()), render::buildGradientRamp(g, ColorTransform()),
                   "moved stop");
    g.records.clear();
    EXPECT_TRUE(render::cachedGradientRamp(g, ColorTransform())->empty);

    // More stops than the format allows (scripts only) are built every time, still right.
    for (int i = 0; i < 40; ++i) g.records.push_back({uint8_t(i * 6), Rgba{uint8_t(i * 5), 0, 0, 255}});
    expectSameRamp(*render::cachedGradientRamp(g, tint), render::buildGradientRamp(g, tint), "40 stops");
}

TEST(GradientRampCache, ATintChangeBetweenFramesRedrawsInTheNewColours) {
    const FillStyle fill = gradient(FillType::LinearGradient, squareOnto(0, 0, 64, 1), kBlackToWhite);
    ColorTransform red;
    red.gMul = red.bMul = 0;
    const Canvas first = draw(fill, 64, 1);
    const Canvas tinted = draw(fill, 64, 1, red);
    EXPECT_EQ(pixel(tinted, 63, 0).g, 0) << "the ramp of the untinted draw was reused";
    EXPECT_EQ(pixel(tinted, 63, 0).r, pixel(first, 63, 0).r);
    EXPECT_TRUE(draw(fill, 64, 1).pixels == first.pixels);
}

TEST(GradientRampCache, ThreadsAskingForManyRampsAtOnceGetTheRightOnes) {
    // More gradients than the cache holds, so slots are replaced while the other thread reads.
    std::vector<Gradient> gradients(200);
    for (size_t i = 0; i < gradients.size(); ++i)
        gradients[i].records = {{0, Rgba{uint8_t(i), 0, 0, 255}}, {255, Rgba{0, uint8_t(i), 255, uint8_t(i)}}};
    std::vector<int> wrong(2, 0);
    auto work = [&](int t) {
        for (int round = 0; round < 20; ++round)
            for (size_t i = 0; i < gradients.size(); ++i) {
                const size_t k = t == 0 ? i : gradients.size() - 1 - i;
                if (render::cachedGradientRamp(gradients[k], ColorTransform())->colors !=
                    render::buildGradientRamp(gradients[k], ColorTransform()).colors)
                    ++wrong[size_t(t)];
            }
    };
    std::thread other(work, 1);
    work(0);
    other.join();
    EXPECT_EQ(wrong[0] + wrong[1], 0);
}

}  // namespace
}  // namespace swf::test
