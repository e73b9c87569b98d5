// Filters: results derived by hand on tiny layers, and every filter's fast loops against its
// plain reference on random layers, byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "box_blur.h"
#include "filters.h"
#include "test_canvas.h"
#include "test_shapes.h"

namespace swf::test {
namespace {

using render::applyFilter;
using render::FilterScratch;

constexpr uint32_t kOpaqueBlack = 0xff000000u;

Canvas transparent(int w, int h) { return Canvas(w, h, 0); }

void fillRect(Canvas& c, int x0, int y0, int x1, int y1, uint32_t color) {
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) c.pixels[size_t(y) * size_t(c.width) + size_t(x)] = color;
    }
}

void apply(const Filter& f, Canvas& c, bool reference = false) {
    FilterScratch scratch;
    applyFilter(f, c, {0, 0, c.width, c.height}, scratch, reference);
}

TEST(Filters, BlurOfOnePixelSpreadsItsThirdsOverTheBox) {
    Canvas c = transparent(7, 7);
    c.pixels[3 * 7 + 3] = 0xffffffffu;
    Filter f;
    f.blurX = f.blurY = 3;  // radius 1: boxes of three pixels
    apply(f, c);
    // 255 / 3 = 85 along x, then 85 / 3 = 28 along y.
    EXPECT_EQ(word(c, 3, 3), 0x1c1c1c1cu);
    EXPECT_EQ(word(c, 2, 4), 0x1c1c1c1cu);
    EXPECT_EQ(word(c, 1, 3), 0u);
    // A blur under two pixels leaves the axis alone; two passes reach twice as far.
    c = transparent(7, 7);
    c.pixels[3 * 7 + 3] = 0xffffffffu;
    f.blurY = 1;
    f.passes = 2;
    apply(f, c);
    EXPECT_EQ(word(c, 3, 2), 0u);
    EXPECT_NE(word(c, 1, 3), 0u);
    EXPECT_EQ(word(c, 0, 3), 0u);
    // Quality 0: no pass at all.
    c = transparent(7, 7);
    c.pixels[3 * 7 + 3] = 0xffffffffu;
    f.passes = 0;
    apply(f, c);
    EXPECT_EQ(word(c, 3, 3), 0xffffffffu);
    EXPECT_EQ(word(c, 2, 3), 0u);
}

TEST(Filters, DropShadowLiesBehindTheObjectAtItsDistanceAndAngle) {
    Canvas c = transparent(20, 10);
    fillRect(c, 2, 2, 8, 8, kOpaqueBlack);
    Filter f;
    f.kind = FilterKind::DropShadow;
    f.color = {255, 0, 0, 255};
    f.distance = 4;  // angle 0: to the right, unblurred
    Canvas shadowed = c;
    apply(f, shadowed);
    EXPECT_EQ(pixel(shadowed, 5, 5), (Rgba{0, 0, 0, 255}));   // the object stays on top
    EXPECT_EQ(pixel(shadowed, 10, 5), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(word(shadowed, 12, 5), 0u);
    EXPECT_EQ(word(shadowed, 5, 1), 0u);
    // Hidden object: the shadow alone, inside the object's place too.
    f.hideObject = true;
    Canvas alone = c;
    apply(f, alone);
    EXPECT_EQ(pixel(alone, 7, 5), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(word(alone, 3, 5), 0u);
}

TEST(Filters, GlowKnockoutAndInnerGlow) {
    Canvas c = transparent(16, 16);
    fillRect(c, 4, 4, 12, 12, 0xffffffffu);
    Filter f;
    f.kind = FilterKind::Glow;
    f.color = {0, 255, 0, 255};
    f.blurX = f.blurY = 5;  // radius 2
    f.strength = 2;
    Canvas outer = c;
    apply(f, outer);
    EXPECT_EQ(pixel(outer, 8, 8), kWhite);
    EXPECT_GT(pixel(outer, 3, 8).a, 0);
    EXPECT_EQ(pixel(outer, 3, 8).g, 255);
    f.knockout = true;
    Canvas knocked = c;
    apply(f, knocked);
    EXPECT_EQ(word(knocked, 8, 8), 0u);  // the object is cut out
    EXPECT_EQ(word(knocked, 3, 8), word(outer, 3, 8));
    f.knockout = false;
    f.inner = true;
    Canvas inner = c;
    apply(f, inner);
    EXPECT_EQ(pixel(inner, 8, 8), kWhite);  // the middle is out of the glow's reach
    EXPECT_EQ(word(inner, 3, 8), 0u);       // nothing outside
    const Rgba rim = pixel(inner, 4, 8);
    EXPECT_EQ(rim.a, 255);
    EXPECT_LT(rim.r, 255);  // green light mixed into the white rim
    EXPECT_EQ(rim.g, 255);
}

TEST(Filters, BevelLightsTheRimFacingTheAngleAndShadesTheOther) {
    Canvas c = transparent(16, 16);
    fillRect(c, 4, 4, 12, 12, 0xff808080u);
    Filter f;
    f.kind = FilterKind::Bevel;
    f.inner = true;
    f.angle = 3.14159265f / 4;
    f.distance = 1.5f;  // one pixel along each axis
    f.color = {0, 0, 0, 255};
    f.highlight = {255, 255, 255, 255};
    apply(f, c);
    EXPECT_EQ(pixel(c, 4, 4), kWhite);
    EXPECT_EQ(pixel(c, 11, 11), kBlack);
    EXPECT_EQ(pixel(c, 8, 8), (Rgba{128, 128, 128, 255}));
    EXPECT_EQ(word(c, 3, 3), 0u);
}

TEST(Filters, GradientGlowTakesItsColourFromTheStrength) {
    Canvas c = transparent(12, 12);
    fillRect(c, 4, 4, 8, 8, kOpaqueBlack);
    Filter f;
    f.kind = FilterKind::GradientGlow;
    f.gradient = {{0, {0, 0, 255, 0}}, {255, {255, 255, 0, 255}}};
    f.knockout = true;
    apply(f, c);  // unblurred: full strength under the object, none elsewhere
    EXPECT_EQ(word(c, 5, 5), 0u);  // knocked out
    EXPECT_EQ(word(c, 2, 2), 0u);  // ramp entry 0 is transparent
}

TEST(Filters, ColorMatrixConvolutionAndDisplacementOnStraightColour) {
    Canvas c = transparent(4, 1);
    c.pixels = {premultiply({200, 100, 50, 255}), premultiply({200, 100, 50, 128}), 0, premultiply({10, 20, 30, 255})};
    Filter swap;
    swap.kind = FilterKind::ColorMatrix;
    swap.matrix = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0.5f, 0};
    Canvas swapped = c;
    apply(swap, swapped);
    EXPECT_EQ(swapped.pixels[0], premultiply({50, 100, 200, 128}));
    EXPECT_EQ(swapped.pixels[1], premultiply({50, 100, 200, 64}));

    Filter average;
    average.kind = FilterKind::Convolution;
    average.columns = 3;
    average.rows = 1;
    average.kernel = {1, 1, 1};
    average.divisor = 3;
    average.clamp = false;  // beyond the edge: the default colour, transparent black
    Canvas row(3, 1, premultiply({90, 30, 60, 255}));
    apply(average, row);
    EXPECT_EQ(row.pixels[1], premultiply({90, 30, 60, 255}));
    EXPECT_EQ(row.pixels[0], premultiply({60, 20, 40, 255}));  // two thirds, alpha preserved

    Filter shift;
    shift.kind = FilterKind::DisplacementMap;
    shift.map = std::make_shared<Bitmap>(4, 1, premultiply({255, 0, 0, 255}));
    shift.componentX = 0;
    shift.scaleX = 4;  // (255 - 128) x 4 / 256 = 1.98: one pixel to the right
    shift.mode = DisplacementMode::Color;
    shift.fillColor = {0, 255, 0, 255};
    Canvas moved = c;
    apply(shift, moved);
    EXPECT_EQ(moved.pixels[0], c.pixels[1]);
    EXPECT_EQ(moved.pixels[2], c.pixels[3]);
    EXPECT_EQ(moved.pixels[3], premultiply({0, 255, 0, 255}));  // beyond the edge
}

TEST(Filters, ReachCoversBlurPassesAndOffset) {
    Filter f;
    f.kind = FilterKind::DropShadow;
    f.blurX = 8;  // radius 4
    f.blurY = 2;  // radius 1
    f.passes = 3;
    f.distance = 5;  // straight down
    f.angle = 3.14159265f / 2;
    const FilterReach r = filterReach({f});
    EXPECT_EQ(r.left, 12);
    EXPECT_EQ(r.right, 12);
    EXPECT_EQ(r.top, 3);
    EXPECT_EQ(r.bottom, 8);
    Filter matrix;
    matrix.kind = FilterKind::ColorMatrix;
    EXPECT_EQ(filterReach({matrix}).left, 0);
    f.blurX = 1e30f;  // clamped, not overflowing
    f.passes = 1000;
    EXPECT_LT(filterReach({f}).left, 5000);
}

// Random layers: premultiplied pixels with runs, holes and opaque patches.
Canvas randomLayer(std::mt19937& rng, int w, int h) {
    Canvas c(w, h);
    uint32_t current = 0;
    for (uint32_t& p : c.pixels) {
        if (rng() % 5 == 0) {
            const uint32_t a = rng() % 3 == 0 ? 255 : rng() % 3 == 0 ? 0 : rng() % 256;
            auto ch = [&] { return a ? uint32_t(rng() % (a + 1)) : 0u; };
            current = (a << 24) | (ch() << 16) | (ch() << 8) | ch();
        }
        p = current;
    }
    return c;
}

Filter randomFilter(std::mt19937& rng, FilterKind kind) {
    std::uniform_real_distribution<float> u(0, 1);
    auto color = [&] { return Rgba{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), uint8_t(rng())}; };
    Filter f;
    f.kind = kind;
    f.blurX = u(rng) * 12;
    f.blurY = u(rng) * 12;
    f.passes = 1 + int(rng() % 3);
    f.angle = u(rng) * 6.3f;
    f.distance = u(rng) * 6;
    f.strength = u(rng) * 3;
    f.color = color();
    f.highlight = color();
    f.inner = rng() % 2;
    f.knockout = rng() % 3 == 0;
    f.hideObject = rng() % 4 == 0;
    f.onTop = rng() % 2;
    for (int i = 0; i < 3; ++i) f.gradient.push_back({uint8_t(rng()), color()});
    for (float& m : f.matrix) m = (u(rng) - 0.3f) * 2;
    f.matrix[4] = u(rng) * 60;
    f.columns = 1 + int(rng() % 5);
    f.rows = 1 + int(rng() % 5);
    for (int i = 0; i < f.columns * f.rows; ++i) f.kernel.push_back((u(rng) - 0.3f) * 2);
    f.divisor = 0.5f + u(rng) * 3;
    f.bias = u(rng) * 20;
    f.preserveAlpha = rng() % 2;
    f.clamp = rng() % 2;
    f.defaultColor = color();
    auto map = std::make_shared<Bitmap>(1 + int(rng() % 30), 1 + int(rng() % 30));
    for (uint32_t& p : map->pixels) p = premultiply(color());
    f.map = map;
    f.mapX = int(rng() % 9) - 4;
    f.mapY = int(rng() % 9) - 4;
    f.componentX = uint8_t(rng() % 4);
    f.componentY = rng() % 2 ? f.componentX : uint8_t(rng() % 4);
    f.scaleX = (u(rng) - 0.5f) * 40;
    f.scaleY = (u(rng) - 0.5f) * 40;
    f.mode = DisplacementMode(rng() % 4);
    f.fillColor = color();
    return f;
}

TEST(Filters, FastPathsMatchTheReferenceOnRandomLayers) {
    std::mt19937 rng(13);
    const FilterKind kinds[] = {FilterKind::Blur,         FilterKind::DropShadow,    FilterKind::Glow,
                                FilterKind::Bevel,        FilterKind::GradientGlow,  FilterKind::GradientBevel,
                                FilterKind::ColorMatrix,  FilterKind::Convolution,   FilterKind::DisplacementMap};
    for (FilterKind kind : kinds) {
        for (int round = 0; round < 12; ++round) {
            const Canvas input = randomLayer(rng, 1 + int(rng() % 40), 1 + int(rng() % 30));
            const Filter f = randomFilter(rng, kind);
            Canvas fast = input, plain = input;
            apply(f, fast, false);
            apply(f, plain, true);
            ASSERT_EQ(fast.pixels, plain.pixels) << "kind " << int(kind) << " round " << round;
            for (uint32_t p : fast.pixels) {
                ASSERT_LE((p >> 16) & 255, p >> 24) << "kind " << int(kind) << ": not premultiplied";
                ASSERT_LE(p & 255, p >> 24);
            }
        }
    }
}

TEST(Filters, HostileSizesStayBounded) {
    Canvas c = transparent(6, 6);
    fillRect(c, 2, 2, 4, 4, kOpaqueBlack);
    Filter f;
    f.kind = FilterKind::DropShadow;
    f.blurX = NAN;
    f.blurY = INFINITY;
    f.distance = -INFINITY;
    f.strength = NAN;
    f.passes = -3;
    apply(f, c);
    f.kind = FilterKind::Convolution;
    f.columns = 1000;
    f.rows = 3;  // too few kernel entries: left alone
    apply(f, c);
    f.kind = FilterKind::DisplacementMap;
    f.map = std::make_shared<Bitmap>();
    apply(f, c);
    EXPECT_EQ(word(c, 3, 3), kOpaqueBlack);
}

}  // namespace
}  // namespace swf::test
