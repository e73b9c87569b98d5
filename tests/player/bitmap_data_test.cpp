// The pixels of a script's BitmapData: sizes, reading and writing colours (premultiplied as
// stored), rectangles cut to the bitmap, copies, transforms, scrolling, flood fill, noise and
// filters; and the class scripts reach them through.
#include <gtest/gtest.h>

#include <runtime/bitmap_data.h>

#include "avm1_script_test.h"

#include <set>
#include <string>

namespace {

using swf::BitmapData;
using swf::IntRect;

TEST(BitmapData, SizesOutsideTheAllowedRangeMakeNoPixels) {
    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-3, 4}, {8192, 10}, {10, 8192}, {4096, 4096}}) {
        BitmapData b(w, h, true, 0);
        EXPECT_FALSE(b.valid()) << w << "x" << h;
        EXPECT_EQ(b.width(), -1);
        EXPECT_EQ(b.getPixel32(0, 0), 0u);
        b.setPixel32(0, 0, 0xffffffffu);  // ignored, no crash
        b.fillRect({0, 0, 5, 5}, 0xffffffffu);
    }
    BitmapData largest(8191, 1, false, 0xff123456u);
    EXPECT_EQ(largest.width(), 8191);
    EXPECT_EQ(largest.getPixel32(8190, 0), 0xff123456u);
}

TEST(BitmapData, OpaqueBitmapsIgnoreAlpha) {
    BitmapData b(4, 4, false, 0x00ff0000u);  // fill alpha 0 still paints opaque red
    EXPECT_EQ(b.getPixel32(1, 1), 0xffff0000u);
    b.setPixel32(2, 2, 0x2000ff00u);
    EXPECT_EQ(b.getPixel32(2, 2), 0xff00ff00u);
}

TEST(BitmapData, TranslucentColoursComeBackAsTheirPremultipliedApproximation) {
    BitmapData b(4, 4, true, 0);
    // Stored rounded to the nearest, read back through a reciprocal cut to 8 fraction bits
    // (65280 / alpha) and rounded with halves downwards: at alpha 0xAA, 0xBB is stored as 125
    // and read as 125 x 384 / 256 = 187.5 -> 0xBB, 0xDD as 147 and read as 220.5 -> 0xDC; at
    // alpha 0x12, 0x34 is stored as 4 and read as 4 x 3626 / 256 = 56.7 -> 0x39; but at alpha
    // 0x79, 0xBE is stored as 90 and read as 90 x 539 / 256 = 189.5 -> 0xBD (not the 189.67
    // of an exact division rounded up).
    b.setPixel32(0, 0, 0xaabbccddu);
    EXPECT_EQ(b.getPixel32(0, 0), 0xaabbccdcu);
    b.setPixel32(1, 0, 0x12345678u);
    EXPECT_EQ(b.getPixel32(1, 0), 0x12395571u);
    b.setPixel32(3, 0, 0x790000beu);
    EXPECT_EQ(b.getPixel32(3, 0), 0x790000bdu);
    b.setPixel32(2, 0, 0x00ffffffu);  // nothing of a colour at alpha 0
    EXPECT_EQ(b.getPixel32(2, 0), 0u);
    b.setPixel32(0, 0, 0x80ff8040u);
    EXPECT_EQ(b.getPixel(0, 0), 0xff7f40u);  // 0x80 -> 64 -> 127.5 -> 0x7f, 0x40 -> 32 -> 63.75 -> 0x40
    EXPECT_EQ(b.getPixel32(-1, 0), 0u);
    EXPECT_EQ(b.getPixel32(0, 4), 0u);
}

TEST(BitmapData, SetPixelKeepsTheAlphaThere) {
    BitmapData b(2, 2, true, 0x80000000u);
    b.setPixel(0, 0, 0xff0000u);
    EXPECT_EQ(b.getPixel32(0, 0), 0x80ff0000u);
    b.setPixel(9, 9, 0xff0000u);  // outside: nothing
}

TEST(BitmapData, FillRectIsCutToTheBitmap) {
    BitmapData b(6, 4, false, 0xff000000u);
    b.fillRect({-2, 1, 3, 99}, 0xffffffffu);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(b.getPixel(x, y), (x < 3 && y >= 1) ? 0xffffffu : 0u) << x << "," << y;
}

TEST(BitmapData, CopyPixelsCutsBothEndsAndMergesWhenAsked) {
    BitmapData src(4, 4, true, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) src.setPixel32(x, y, 0xff000000u | uint32_t(x * 16 + y));
    BitmapData dst(5, 5, true, 0xff0000ffu);
    // Source rectangle (1, 1)-(6, 3) (cut to x < 4) lands at (3, -1): only the pixels whose
    // target is inside arrive: source (1..2, 2) at (3..4, 0).
    dst.copyPixels(src, {1, 1, 6, 3}, 3, -1, false);
    EXPECT_EQ(dst.getPixel(3, 0), uint32_t(1 * 16 + 2));
    EXPECT_EQ(dst.getPixel(4, 0), uint32_t(2 * 16 + 2));
    EXPECT_EQ(dst.getPixel(2, 0), 0x0000ffu);
    EXPECT_EQ(dst.getPixel(3, 1), 0x0000ffu);
    // Half-transparent white merged over blue, against replaced.
    BitmapData half(1, 1, true, 0x80ffffffu);
    dst.copyPixels(half, {0, 0, 1, 1}, 0, 4, true);
    EXPECT_EQ(dst.getPixel32(0, 4), 0xff8080ffu);
    dst.copyPixels(half, {0, 0, 1, 1}, 1, 4, false);
    EXPECT_EQ(dst.getPixel32(1, 4), 0x80ffffffu);
    // Within one bitmap: overlapping source and target read the old pixels.
    BitmapData row(4, 1, false, 0);
    for (int x = 0; x < 4; ++x) row.setPixel(x, 0, uint32_t(x + 1));
    row.copyPixels(row, {0, 0, 3, 1}, 1, 0, false);
    EXPECT_EQ(row.getPixel(1, 0), 1u);
    EXPECT_EQ(row.getPixel(2, 0), 2u);
    EXPECT_EQ(row.getPixel(3, 0), 3u);
}

TEST(BitmapData, ColorTransformActsInsideTheRectangle) {
    BitmapData b(4, 1, false, 0xff404040u);
    swf::ColorTransform cx;
    cx.rMul = 512;  // red doubled
    cx.bAdd = -64;
    b.colorTransform({2, 0, 10, 1}, cx);
    EXPECT_EQ(b.getPixel(1, 0), 0x404040u);
    EXPECT_EQ(b.getPixel(2, 0), 0x804000u);
}

TEST(BitmapData, ScrollMovesContentAndLeavesTheRest) {
    BitmapData b(3, 3, false, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) b.setPixel(x, y, uint32_t(10 * y + x));
    b.scroll(1, -1);
    EXPECT_EQ(b.getPixel(1, 0), 10u);  // (0, 1) moved right and up
    EXPECT_EQ(b.getPixel(2, 1), 21u);
    EXPECT_EQ(b.getPixel(0, 0), 0u);   // nothing moved in: the old pixel stays
    EXPECT_EQ(b.getPixel(0, 2), 20u);
    EXPECT_EQ(b.getPixel(1, 2), 21u);  // the bottom row had nothing below it: unchanged
}

TEST(BitmapData, FloodFillTakesTheConnectedRegionOnly) {
    // A vertical wall at x = 2 with a gap at y = 4: the fill from (0, 0) passes through the gap;
    // the pocket at (4, 0) walled off by y = 1 stays.
    BitmapData b(6, 5, false, 0xffffffffu);
    for (int y = 0; y < 4; ++y) b.setPixel(2, y, 0);
    for (int x = 3; x < 6; ++x) b.setPixel(x, 1, 0);
    b.floodFill(0, 0, 0xffff0000u);
    EXPECT_EQ(b.getPixel(1, 3), 0xff0000u);
    EXPECT_EQ(b.getPixel(5, 4), 0xff0000u);
    EXPECT_EQ(b.getPixel(4, 2), 0xff0000u);
    EXPECT_EQ(b.getPixel(2, 1), 0u);
    EXPECT_EQ(b.getPixel(4, 0), 0xffffffu);
    b.floodFill(-1, 0, 0);  // outside: nothing
}

TEST(BitmapData, NoiseIsRepeatableAndStaysInItsRange) {
    BitmapData a(16, 16, true, 0), b(16, 16, true, 0), c(16, 16, true, 0);
    a.noise(42, 10, 20, 1 | 4, false);
    b.noise(42, 10, 20, 1 | 4, false);
    c.noise(43, 10, 20, 1 | 4, false);
    EXPECT_EQ(a.pixels().pixels, b.pixels().pixels);
    EXPECT_NE(a.pixels().pixels, c.pixels().pixels);
    std::set<uint32_t> reds;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const uint32_t p = a.getPixel32(x, y);
            EXPECT_EQ(p >> 24, 255u);          // alpha not chosen: opaque
            EXPECT_EQ((p >> 8) & 255, 0u);     // green not chosen
            EXPECT_GE((p >> 16) & 255, 10u);
            EXPECT_LE((p >> 16) & 255, 20u);
            reds.insert((p >> 16) & 255);
        }
    }
    EXPECT_GT(reds.size(), 8u) << "the values spread over the range";
    BitmapData grey(4, 4, false, 0);
    grey.noise(7, 0, 255, 1, true);
    const uint32_t p = grey.getPixel(1, 1);
    EXPECT_EQ(p & 255, (p >> 8) & 255);
    EXPECT_EQ(p & 255, (p >> 16) & 255);
}

TEST(BitmapData, PerlinNoiseIsSmoothRepeatableAndStitches) {
    BitmapData a(64, 32, false, 0), b(64, 32, false, 0);
    a.perlinNoise(16, 16, 3, 5, true, true, 7, false);
    b.perlinNoise(16, 16, 3, 5, true, true, 7, false);
    EXPECT_EQ(a.pixels().pixels, b.pixels().pixels);
    int worstStep = 0, worstSeam = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 1; x < 64; ++x)
            worstStep = std::max(worstStep, std::abs(int(a.getPixel(x, y) & 255) - int(a.getPixel(x - 1, y) & 255)));
        // Stitched: the right edge continues into the left one like any neighbour pair.
        worstSeam = std::max(worstSeam, std::abs(int(a.getPixel(0, y) & 255) - int(a.getPixel(63, y) & 255)));
    }
    EXPECT_LT(worstStep, 48);
    EXPECT_LT(worstSeam, 48);
    a.perlinNoise(16, 16, 3, 6, true, true, 7, false);
    EXPECT_NE(a.pixels().pixels, b.pixels().pixels);
    // The largest bitmap with every octave asked for still finishes (the work is capped).
    BitmapData largest(2880, 2880, true, 0);
    largest.perlinNoise(300, 300, 1000, 1, false, false, 15, false);
    EXPECT_NE(largest.getPixel32(1000, 1000), 0u);
}

TEST(BitmapData, ApplyFilterBlursTheSourceIntoTheTarget) {
    BitmapData src(9, 9, true, 0);
    src.fillRect({4, 4, 5, 5}, 0xffffffffu);
    BitmapData dst(9, 9, true, 0xff000000u);
    swf::Filter blur;
    blur.kind = swf::FilterKind::Blur;
    blur.blurX = blur.blurY = 3;
    blur.passes = 1;
    dst.applyFilter(src, {0, 0, 9, 9}, 0, 0, blur);
    // A 3 x 3 box spreads the white pixel over its neighbours at a ninth each, and the target
    // is replaced (its black is gone where the blur is transparent).
    EXPECT_EQ(dst.getPixel32(0, 0), 0u);
    EXPECT_NEAR(int(dst.getPixel32(3, 3) >> 24), 255 / 9, 2);
    EXPECT_NEAR(int(dst.getPixel32(4, 4) >> 24), 255 / 9, 2);
    EXPECT_EQ(dst.getPixel32(2, 4), 0u);
}

TEST(BitmapData, DisposeDropsThePixels) {
    BitmapData b(3, 3, true, 0xffffffffu);
    b.dispose();
    EXPECT_FALSE(b.valid());
    EXPECT_EQ(b.height(), -1);
    EXPECT_EQ(b.getPixel32(1, 1), 0u);
    b.noise(1, 0, 255, 15, false);
    b.perlinNoise(4, 4, 2, 1, false, false, 15, false);
    b.scroll(1, 1);
}

}  // namespace

namespace {

using script_test::Lines;

// Assembly of b = new flash.display.BitmapData(width, height, transparent, fill), the
// arguments given as the assembler writes them.
std::string newBitmapDataInB(const std::string& width, const std::string& height, const std::string& transparent,
                             const std::string& fill) {
    return "push \"b\", " + fill + ", " + transparent + ", " + height + ", " + width + R"(, 4, "flash"
        getVariable
        push "display"
        getMember
        push "BitmapData"
        newMethod
        setVariable
)";
}

TEST(BitmapDataScript, ConstructReadWriteFillAndDispose) {
    // b = new flash.display.BitmapData(4, 3, true, 0x80ff0000); trace(b.width);
    // trace(b.getPixel32(1, 1)); b.setPixel(1, 1, 0x00ff00); trace(b.getPixel32(1, 1));
    // b.fillRect({x: 0, y: 0, width: 2, height: 1}, 0xff0000ff);
    // trace(b.getPixel(0, 0)); trace(b.getPixel(2, 0)); trace(b.transparent);
    // trace(b.rectangle.width); b.dispose(); trace(b.width); trace(b.getPixel(0, 0));
    // The calls that do work and answer nothing give 0: not traced here, popped.
    const std::string src = newBitmapDataInB("4", "3", "true", "2164195328.0") + R"(
        push "b"
        getVariable
        push "width"
        getMember
        trace
        push 1, 1, 2, "b"
        getVariable
        push "getPixel32"
        callMethod
        trace
        push 65280, 1, 1, 3, "b"
        getVariable
        push "setPixel"
        callMethod
        pop
        push 1, 1, 2, "b"
        getVariable
        push "getPixel32"
        callMethod
        trace
        push 4278190335.0, "x", 0, "y", 0, "width", 2, "height", 1, 4
        initObject
        push 2, "b"
        getVariable
        push "fillRect"
        callMethod
        pop
        push 0, 0, 2, "b"
        getVariable
        push "getPixel"
        callMethod
        trace
        push 0, 2, 2, "b"
        getVariable
        push "getPixel"
        callMethod
        trace
        push "b"
        getVariable
        push "transparent"
        getMember
        trace
        push "b"
        getVariable
        push "rectangle"
        getMember
        push "width"
        getMember
        trace
        push 0, "b"
        getVariable
        push "dispose"
        callMethod
        pop
        push "b"
        getVariable
        push "width"
        getMember
        trace
        push 0, 0, 2, "b"
        getVariable
        push "getPixel"
        callMethod
        trace
    )";
    // 0x80ff0000 and 0x8000ff00 as signed 32-bit numbers; after dispose the width is -1 and
    // every method refuses with -1.
    EXPECT_EQ(script_test::traces(8, src),
              (Lines{"4", "-2130771968", "-2147418368", "255", "16711680", "true", "4", "-1", "-1"}));
}

TEST(BitmapDataScript, TooFewArgumentsAreRefusedWithMinusOne) {
    // b = new flash.display.BitmapData(2, 2, false, 0xff0000ff);
    // trace(b.setPixel(1, 1)); trace(b.getPixel(1, 1)); trace(b.getPixel32(1));
    // trace(b.setPixel(1, 1, 0xff00)); trace(b.getPixel(1, 1));
    const std::string src = newBitmapDataInB("2", "2", "false", "4278190335.0") + R"(
        push 1, 1, 2, "b"
        getVariable
        push "setPixel"
        callMethod
        trace
        push 1, 1, 2, "b"
        getVariable
        push "getPixel"
        callMethod
        trace
        push 1, 1, "b"
        getVariable
        push "getPixel32"
        callMethod
        trace
        push 65280, 1, 1, 3, "b"
        getVariable
        push "setPixel"
        callMethod
        trace
        push 1, 1, 2, "b"
        getVariable
        push "getPixel"
        callMethod
        trace
    )";
    EXPECT_EQ(script_test::traces(8, src), (Lines{"-1", "255", "-1", "0", "65280"}));
}

}  // namespace

namespace {

// b = new flash.display.BitmapData(4, 2, false, 0xff00ff00); _root.attachBitmap(b, 1);
// then, in the next frame, b.setPixel(0, 0, 0xff0000).
std::unique_ptr<script_test::ScriptRun> attachedBitmap() {
    return script_test::runFrames(8, {newBitmapDataInB("4", "2", "false", "4278255360.0") + R"(
        push 1, "b"
        getVariable
        push 2, "_root"
        getVariable
        push "attachBitmap"
        callMethod
        pop
    )", R"(
        push 16711680, 0, 0, 3, "b"
        getVariable
        push "setPixel"
        callMethod
        pop
    )"}, 1);
}

uint32_t pixelAt(const swf::Canvas& c, int x, int y) { return c.pixels[size_t(y) * size_t(c.width) + size_t(x)]; }

TEST(BitmapDataScript, AttachBitmapShowsThePixelsLiveAtTheirOwnSize) {
    auto run = attachedBitmap();
    swf::Canvas kept(100, 100);
    run->player->renderChanges(kept, swf::ScaleMode::ShowAll, swf::Quality::High);
    EXPECT_EQ(pixelAt(kept, 0, 0), 0xff00ff00u);
    EXPECT_EQ(pixelAt(kept, 3, 1), 0xff00ff00u);
    EXPECT_NE(pixelAt(kept, 4, 0), 0xff00ff00u);  // 4 x 2 pixels, one device pixel each
    EXPECT_NE(pixelAt(kept, 0, 2), 0xff00ff00u);
    // The next frame's script changes a pixel: the changed-area path redraws it.
    run->player->stepFrame();
    const auto areas = run->player->renderChanges(kept, swf::ScaleMode::ShowAll, swf::Quality::High);
    EXPECT_FALSE(areas.empty());
    EXPECT_EQ(pixelAt(kept, 0, 0), 0xffff0000u);
    EXPECT_EQ(pixelAt(kept, 1, 0), 0xff00ff00u);
}

}  // namespace

namespace {

TEST(BitmapDataScript, DrawTakesAClipsContentOrAnotherBitmapThroughAMatrix) {
    // After the attach of the green b on _root: c = new BitmapData(6, 2, false, 0);
    // c.draw(_root); d = new BitmapData(6, 2, false, 0);
    // d.draw(b, {a: 1, b: 0, c: 0, d: 1, tx: 2, ty: 0});
    // trace(c.getPixel(3, 1)); trace(c.getPixel(4, 0)); trace(d.getPixel(1, 0)); trace(d.getPixel(5, 1));
    auto run = script_test::runFrames(8, {newBitmapDataInB("4", "2", "false", "4278255360.0") + R"(
        push 1, "b"
        getVariable
        push 2, "_root"
        getVariable
        push "attachBitmap"
        callMethod
        pop
        push "c", 0, false, 2, 6, 4, "flash"
        getVariable
        push "display"
        getMember
        push "BitmapData"
        newMethod
        setVariable
        push "_root"
        getVariable
        push 1, "c"
        getVariable
        push "draw"
        callMethod
        pop
        push "d", 0, false, 2, 6, 4, "flash"
        getVariable
        push "display"
        getMember
        push "BitmapData"
        newMethod
        setVariable
        push "a", 1, "b", 0, "c", 0, "d", 1, "tx", 2, "ty", 0, 6
        initObject
        push "b"
        getVariable
        push 2, "d"
        getVariable
        push "draw"
        callMethod
        pop
        push 1, 3, 2, "c"
        getVariable
        push "getPixel"
        callMethod
        trace
        push 0, 4, 2, "c"
        getVariable
        push "getPixel"
        callMethod
        trace
        push 0, 1, 2, "d"
        getVariable
        push "getPixel"
        callMethod
        trace
        push 1, 5, 2, "d"
        getVariable
        push "getPixel"
        callMethod
        trace
    )"});
    EXPECT_EQ(run->traces(), (Lines{"65280", "0", "0", "65280"}));
}

}  // namespace
