// Bitmap fills: texel lookup under the fill matrix, repeat and clamp, nearest and bilinear,
// the colour transform per texel, unusable bitmaps.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "test_canvas.h"
#include "test_shapes.h"

namespace swf::test {
namespace {

const Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};

// 2 x 2 texels: red green / blue white.
std::shared_ptr<Bitmap> checker() {
    auto b = std::make_shared<Bitmap>(2, 2);
    b->pixels = {premultiply(kRed), premultiply(kGreen), premultiply(kBlue), premultiply(kWhite)};
    return b;
}

FillStyle bitmapFill(FillType type, std::shared_ptr<const Bitmap> bitmap, float pixelsPerTexel) {
    FillStyle f;
    f.type = type;
    f.bitmap = std::move(bitmap);
    f.bitmapMatrix = Matrix::scale(pixelsPerTexel * kTwipsPerPixel, pixelsPerTexel * kTwipsPerPixel);
    return f;
}

Canvas draw(const FillStyle& fill, int size, Quality quality = Quality::High, ColorTransform cx = {}) {
    Canvas canvas = whiteCanvas(size, size);
    Renderer renderer(canvas, quality);
    renderer.drawShape(rectShape(0, 0, float(size), float(size), fill), pixelsToDevice(), cx);
    return canvas;
}

TEST(BitmapFill, RepeatingNearestTilesTheTexels) {
    auto bitmap = checker();
    Canvas c = draw(bitmapFill(FillType::NonSmoothedRepeatingBitmap, bitmap, 4), 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(word(c, x, y), bitmap->pixels[size_t((y / 4) % 2 * 2 + (x / 4) % 2)]) << x << "," << y;
}

TEST(BitmapFill, ClippedExtendsTheEdgeTexels) {
    auto bitmap = checker();
    Canvas c = draw(bitmapFill(FillType::NonSmoothedClippedBitmap, bitmap, 4), 16);
    EXPECT_EQ(pixel(c, 15, 0), kGreen);   // right of the bitmap: its top-right texel
    EXPECT_EQ(pixel(c, 0, 15), kBlue);    // below it: bottom-left
    EXPECT_EQ(pixel(c, 15, 15), kWhite);  // beyond both: the corner
    EXPECT_EQ(pixel(c, 1, 1), kRed);
}

TEST(BitmapFill, SmoothedInterpolatesBetweenTexelCentres) {
    auto ramp = std::make_shared<Bitmap>(2, 1);
    ramp->pixels = {premultiply(kBlack), premultiply(kWhite)};
    Canvas c = draw(bitmapFill(FillType::ClippedBitmap, ramp, 8), 16);
    // Texel centres land on x = 4 and 12: flat outside, a linear ramp between.
    EXPECT_EQ(pixel(c, 2, 0).r, 0);
    EXPECT_EQ(pixel(c, 13, 0).r, 255);
    for (int x = 4; x < 12; ++x) {
        int expected = int((x + 0.5 - 4) / 8 * 255 + 0.5);
        EXPECT_NEAR(pixel(c, x, 3).r, expected, 1) << x;
        EXPECT_LT(pixel(c, x, 3).r, pixel(c, x + 1, 3).r);
    }
    // Low quality never smooths.
    Canvas low = draw(bitmapFill(FillType::ClippedBitmap, ramp, 8), 16, Quality::Low);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(pixel(low, x, 0).r, x < 8 ? 0 : 255) << x;
}

TEST(BitmapFill, SpansCrossingTheBitmapEdgeMatchThePlainPath) {
    // Runs inside the bitmap skip wrapping and clamping; the run is cut exactly where a span
    // leaves the bitmap. Compared with the plain path, which wraps or clamps every texel.
    auto bitmap = std::make_shared<Bitmap>(13, 7);
    for (size_t i = 0; i < bitmap->pixels.size(); ++i) {
        bitmap->pixels[i] = premultiply({uint8_t(i * 37), uint8_t(i * 91), uint8_t(i * 13), uint8_t(128 + i % 128)});
    }
    for (FillType type : {FillType::ClippedBitmap, FillType::RepeatingBitmap, FillType::NonSmoothedClippedBitmap,
                          FillType::NonSmoothedRepeatingBitmap}) {
        for (float angle : {0.0f, 0.3f, 1.9f}) {
            FillStyle f = bitmapFill(type, bitmap, 1);
            const float s = 2.4f * kTwipsPerPixel;
            f.bitmapMatrix = {s * std::cos(angle), s * std::sin(angle), -s * std::sin(angle), s * std::cos(angle),
                              7.3f * kTwipsPerPixel, 5.1f * kTwipsPerPixel};
            Canvas fast = whiteCanvas(48, 32), plain = whiteCanvas(48, 32);
            for (Canvas* c : {&fast, &plain}) {
                Renderer r(*c, Quality::High);
                r.setReferencePaths(c == &plain);
                r.drawShape(rectShape(0, 0, 48, 32, f), pixelsToDevice(), ColorTransform());
            }
            EXPECT_EQ(fast.pixels, plain.pixels) << "type " << int(type) << " angle " << angle;
        }
    }
}

TEST(BitmapFill, ColorTransformAppliesPerTexel) {
    ColorTransform cx;
    cx.rMul = 128;
    cx.bAdd = 40;
    Canvas c = draw(bitmapFill(FillType::NonSmoothedRepeatingBitmap, checker(), 4), 8, Quality::High, cx);
    EXPECT_EQ(pixel(c, 0, 0), (Rgba{127, 0, 40, 255}));
    EXPECT_EQ(pixel(c, 4, 4), (Rgba{127, 255, 255, 255}));
}

TEST(BitmapFill, TranslucentTexelsBlendOverTheBackground) {
    auto half = std::make_shared<Bitmap>(1, 1);
    half->pixels = {premultiply({0, 0, 0, 128})};
    Canvas c = draw(bitmapFill(FillType::RepeatingBitmap, half, 1), 4);
    EXPECT_EQ(pixel(c, 1, 1).r, 127);
}

TEST(BitmapFill, MissingOrInconsistentBitmapDrawsNothing) {
    auto broken = std::make_shared<Bitmap>();
    broken->width = 64;
    broken->height = 64;  // no pixels behind the size
    for (std::shared_ptr<const Bitmap> b : {std::shared_ptr<const Bitmap>(), std::shared_ptr<const Bitmap>(broken)}) {
        Canvas c = draw(bitmapFill(FillType::RepeatingBitmap, b, 1), 8);
        for (uint32_t p : c.pixels) EXPECT_EQ(p, 0xffffffffu);
    }
    // A singular fill matrix cannot be inverted: nothing either.
    FillStyle flat = bitmapFill(FillType::RepeatingBitmap, checker(), 1);
    flat.bitmapMatrix = {0, 0, 0, 0, 0, 0};
    Canvas c = draw(flat, 8);
    for (uint32_t p : c.pixels) EXPECT_EQ(p, 0xffffffffu);
}

TEST(BitmapFill, InvalidPremultipliedTexelsAreClampedToAlpha) {
    auto bad = std::make_shared<Bitmap>(1, 1);
    bad->pixels = {0x40ff0000u};  // red 255 above alpha 64: not a premultiplied colour
    Canvas canvas(4, 4, 0);
    Renderer renderer(canvas, Quality::High);
    renderer.drawShape(rectShape(0, 0, 4, 4, bitmapFill(FillType::RepeatingBitmap, bad, 1)), pixelsToDevice(), {});
    EXPECT_EQ(word(canvas, 2, 2), 0x40400000u);
}

}  // namespace
}  // namespace swf::test
