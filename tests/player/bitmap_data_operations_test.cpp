// BitmapData operations beyond reading and writing pixels: sizes by version, channel copies,
// merge, palette maps, threshold, pixelDissolve's register, hit tests, colour bounds, compare,
// copies through an alpha bitmap and the noise seeds.
#include <gtest/gtest.h>

#include <runtime/bitmap_data.h>

#include <set>

namespace {

using swf::BitmapData;
using swf::IntRect;

TEST(BitmapDataSizes, FollowTheMoviesVersion) {
    // Before SWF 10 each side is 1..2880; from SWF 10 under 8192 a side and under 2^24 pixels.
    EXPECT_TRUE(BitmapData::sizeAllowed(2880, 2880, 9));
    EXPECT_FALSE(BitmapData::sizeAllowed(2881, 1, 9));
    EXPECT_FALSE(BitmapData::sizeAllowed(1, 2881, 8));
    EXPECT_FALSE(BitmapData::sizeAllowed(0, 5, 9));
    EXPECT_TRUE(BitmapData::sizeAllowed(8191, 1, 10));
    EXPECT_FALSE(BitmapData::sizeAllowed(8192, 1, 10));
    EXPECT_TRUE(BitmapData::sizeAllowed(4095, 4096, 10));
    EXPECT_FALSE(BitmapData::sizeAllowed(4096, 4096, 10));
    EXPECT_FALSE(BitmapData::sizeAllowed(-4, 4, 10));
    // The pixels are made for the largest allowed size and refused past it.
    EXPECT_TRUE(BitmapData(8191, 1, true, 0).valid());
    EXPECT_FALSE(BitmapData(8192, 1, true, 0).valid());
}

TEST(BitmapDataChannels, CopyChannelMovesOneChannelIntoAnother) {
    BitmapData source(2, 2, true, 0xff102030u);
    BitmapData target(2, 2, false, 0xff000000u);
    target.copyChannel(source, {0, 0, 2, 2}, 0, 0, 1, 4);  // source red into target blue
    EXPECT_EQ(target.getPixel32(1, 1), 0xff000010u);
    target.copyChannel(source, {0, 0, 1, 1}, 1, 0, 2, 1);  // green into red at (1, 0) only
    EXPECT_EQ(target.getPixel32(1, 0), 0xff200010u);
    EXPECT_EQ(target.getPixel32(0, 0), 0xff000010u);
    target.copyChannel(source, {0, 0, 2, 2}, 0, 0, 3, 2);  // no such source channel: reads 0
    EXPECT_EQ(target.getPixel32(0, 0), 0xff000010u);
    target.copyChannel(source, {0, 0, 2, 2}, 0, 0, 4, 5);  // no such target channel: nothing
    EXPECT_EQ(target.getPixel32(0, 1), 0xff000010u);
    // Into the alpha of a transparent bitmap: the blue of the source becomes its alpha.
    BitmapData clear(1, 1, true, 0xffffffffu);
    clear.copyChannel(source, {0, 0, 1, 1}, 0, 0, 4, 8);
    EXPECT_EQ(clear.getPixel32(0, 0) >> 24, 0x30u);
}

TEST(BitmapDataChannels, MergeMixesByMultiplierOver256) {
    BitmapData source(1, 1, false, 0xffc8c8c8u);  // 200
    BitmapData target(1, 1, false, 0xff646464u);  // 100
    // red: 200*128/256 + 100*128/256 = 150; green at 256 takes the source, blue at 0 keeps
    // the target, a multiplier past 256 counts as 256.
    target.merge(source, {0, 0, 1, 1}, 0, 0, {128, 256, 0, 256});
    EXPECT_EQ(target.getPixel32(0, 0), 0xff96c864u);
    target.merge(source, {0, 0, 1, 1}, 0, 0, {-5, 999, 0, 0});
    EXPECT_EQ(target.getPixel32(0, 0), 0xff96c864u);
}

TEST(BitmapDataChannels, PaletteMapAddsTheFourTablesLookUps) {
    BitmapData source(1, 1, false, 0xff010203u);
    BitmapData target(1, 1, false, 0xff000000u);
    BitmapData::PaletteTables tables{};
    for (uint32_t i = 0; i < 256; ++i) {
        tables[0][i] = i << 16;
        tables[1][i] = i << 8;
        tables[2][i] = i;
        tables[3][i] = i << 24;
    }
    target.paletteMap(source, {0, 0, 1, 1}, 0, 0, tables);  // the identity
    EXPECT_EQ(target.getPixel32(0, 0), 0xff010203u);
    tables[0][1] = 0x00000040u;  // red 1 adds to blue instead
    target.paletteMap(source, {0, 0, 1, 1}, 0, 0, tables);
    EXPECT_EQ(target.getPixel32(0, 0), 0xff000243u);
}

TEST(BitmapDataChannels, ThresholdCountsWhatPassesAndCopiesTheRestWhenAsked) {
    BitmapData source(3, 1, false, 0xff000000u);
    source.setPixel32(0, 0, 0xff100000u);
    source.setPixel32(1, 0, 0xff800000u);
    source.setPixel32(2, 0, 0xfff00000u);
    BitmapData target(3, 1, false, 0xff0000ffu);
    using T = BitmapData::ThresholdTest;
    // Masked to red: 0x10 and 0x80 are below 0x90; 0xf0 is not.
    EXPECT_EQ(target.threshold(source, {0, 0, 3, 1}, 0, 0, T::Less, 0x00900000u, 0xff00ff00u, 0x00ff0000u, false), 2);
    EXPECT_EQ(target.getPixel32(0, 0), 0xff00ff00u);
    EXPECT_EQ(target.getPixel32(2, 0), 0xff0000ffu);  // failed, left alone
    EXPECT_EQ(target.threshold(source, {0, 0, 3, 1}, 0, 0, T::Equal, 0x00800000u, 0xffffffffu, 0x00ff0000u, true), 1);
    EXPECT_EQ(target.getPixel32(1, 0), 0xffffffffu);
    EXPECT_EQ(target.getPixel32(0, 0), 0xff100000u);  // failed, copied from the source
    // The comparison is unsigned: alpha 0xff is greater than anything below it.
    EXPECT_EQ(target.threshold(source, {0, 0, 3, 1}, 0, 0, T::Greater, 0x7fffffffu, 0xff000000u, 0xffffffffu, false), 3);
}

TEST(BitmapDataChannels, ThresholdReadsStoredWordsAndCopiesThemAsTheyAre) {
    // 0x12345678 is stored premultiplied as 0x12040608: its red 0x04 is below 0x33, though the
    // red read back (0x39) is not.
    BitmapData source(2, 1, true, 0x12345678u);
    source.setPixel32(1, 0, 0xffffffffu);
    BitmapData target(2, 1, false, 0xffbbccddu);
    using T = BitmapData::ThresholdTest;
    EXPECT_EQ(target.threshold(source, {0, 0, 2, 1}, 0, 0, T::Less, 0x33333333u, 0xaaaaaaaau, 0x00ff0000u, false), 1);
    EXPECT_EQ(target.getPixel32(0, 0), 0xaa717171u);  // the colour premultiplied, alpha kept
    EXPECT_EQ(target.getPixel32(1, 0), 0xffbbccddu);
    // Copied, the translucent word lands in the opaque bitmap unchanged and reads so.
    EXPECT_EQ(target.threshold(source, {0, 0, 2, 1}, 0, 0, T::Equal, 0, 0, 0xffffffffu, true), 0);
    EXPECT_EQ(target.getPixel32(0, 0), 0x12040608u);
}

TEST(BitmapDataChannels, OverTruncatesWhatLiesBeneath) {
    // 0x22445566 over 0x45112233 (both stored premultiplied): alpha 34 + 69 x 221 / 255 = 93.8
    // is kept as 93, and so on per channel.
    BitmapData target(1, 1, true, 0x45112233u);
    BitmapData source(1, 1, true, 0x22445566u);
    target.copyPixels(source, {0, 0, 1, 1}, 0, 0, true);
    EXPECT_EQ(target.getPixel32(0, 0), 0x5d243147u);
    // Into an opaque bitmap a translucent pixel goes over what is there even unmerged:
    // red 4 + 0xbb x 237 / 255 = 177 (0xb1), and so on.
    BitmapData opaque(1, 1, false, 0xffbbccddu);
    opaque.copyPixels(BitmapData(1, 1, true, 0x12345678u), {0, 0, 1, 1}, 0, 0, false);
    EXPECT_EQ(opaque.getPixel32(0, 0), 0xffb1c3d5u);
}

TEST(BitmapDataDissolve, TheRegisterVisitsEveryValueOncePerPeriod) {
    for (int bits = 2; bits <= 24; ++bits) {
        const uint32_t period = (uint32_t(1) << bits) - 1;
        uint32_t state = 1, steps = 0;
        do {
            state = swf::dissolveStep(state, bits);
            ASSERT_GE(state, 1u);
            ASSERT_LE(state, period);
            ++steps;
        } while (state != 1 && steps <= period);
        EXPECT_EQ(steps, period) << bits << " bits";
    }
    EXPECT_EQ(swf::dissolveBits(4), 2);
    EXPECT_EQ(swf::dissolveBits(5), 3);
    EXPECT_EQ(swf::dissolveBits(100), 7);
    EXPECT_EQ(swf::dissolveBits((1u << 24) - 1), 24);
}

TEST(BitmapDataDissolve, EachCallWritesTheFirstPixelAndThenNumPixelsNewOnes) {
    constexpr uint32_t kRed = 0xffff0000u;
    BitmapData b(10, 10, false, 0xffccccccu);
    auto reds = [&] {
        int n = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) n += b.getPixel32(x, y) == kRed;
        return n;
    };
    int seed = b.pixelDissolve(b, {0, 0, 10, 10}, 0, 0, 0, 3, kRed);
    EXPECT_EQ(reds(), 4);
    for (int round = 2; round <= 32; ++round) seed = b.pixelDissolve(b, {0, 0, 10, 10}, 0, 0, seed, 3, kRed);
    EXPECT_EQ(reds(), 97);
    b.pixelDissolve(b, {0, 0, 10, 10}, 0, 0, seed, 3, kRed);
    EXPECT_EQ(reds(), 100);
    // No pixels asked: the seed comes back as it was.
    EXPECT_EQ(b.pixelDissolve(b, {0, 0, 10, 10}, 0, 0, 1234, 0, kRed), 1234);
}

TEST(BitmapDataDissolve, CopiesFromAnotherSourceAndLeavesThinAreasAlone) {
    BitmapData source(4, 4, false, 0xff00ff00u);
    BitmapData target(4, 4, false, 0xff000000u);
    target.pixelDissolve(source, {0, 0, 2, 2}, 2, 2, 7, 100, 0xffff0000u);  // all four of the 2x2
    EXPECT_EQ(target.getPixel32(2, 2), 0xff00ff00u);
    EXPECT_EQ(target.getPixel32(3, 3), 0xff00ff00u);
    EXPECT_EQ(target.getPixel32(1, 1), 0xff000000u);
    target.pixelDissolve(source, {0, 0, 1, 4}, 0, 0, 7, 100, 0);  // one pixel wide: nothing
    EXPECT_EQ(target.getPixel32(0, 0), 0xff000000u);
    // A count below zero is a huge unsigned one: the whole area, no endless loop.
    BitmapData big(64, 64, false, 0xff000000u);
    big.pixelDissolve(source, {0, 0, 4, 4}, 0, 0, 1, -1, 0);
    EXPECT_EQ(big.getPixel32(3, 3), 0xff00ff00u);
}

TEST(BitmapDataHitTest, PointsRectanglesAndOtherBitmaps) {
    BitmapData b(5, 5, true, 0);
    b.setPixel32(2, 2, 0xffffffffu);
    b.setPixel32(1, 1, 0xa0ffffffu);
    EXPECT_TRUE(b.hitTestPoint(2, 2, 255));
    EXPECT_FALSE(b.hitTestPoint(1, 1, 255));
    EXPECT_TRUE(b.hitTestPoint(1, 1, 0xa0));
    EXPECT_FALSE(b.hitTestPoint(0, 0, 0));  // a clear pixel never hits a point
    EXPECT_FALSE(b.hitTestPoint(9, 9, 0));
    EXPECT_TRUE(b.hitTestRect({0, 0, 1, 1}, 0));  // but counts for a rectangle at threshold 0
    EXPECT_TRUE(b.hitTestRect({2, 2, 9, 9}, 255));
    EXPECT_FALSE(b.hitTestRect({3, 3, 9, 9}, 1));
    EXPECT_FALSE(b.hitTestRect({-10, -10, -5, -5}, 0));
    // The other bitmap's (0, 0) placed at this one's (2, 2): its opaque (0, 0) meets (2, 2).
    BitmapData other(2, 2, true, 0);
    other.setPixel32(0, 0, 0xffffffffu);
    EXPECT_TRUE(b.hitTestBitmap(0, 0, 255, other, 2, 2, 255));
    EXPECT_FALSE(b.hitTestBitmap(0, 0, 255, other, 1, 1, 255));  // (0, 0) over (1, 1): 0xa0
    EXPECT_TRUE(b.hitTestBitmap(0, 0, 0xa0, other, 1, 1, 255));
    EXPECT_FALSE(b.hitTestBitmap(0, 0, 0, other, 50, 50, 0));
}

TEST(BitmapDataColorBounds, TheBoxOfMatchingWords) {
    BitmapData b(6, 5, false, 0xff000000u);
    b.setPixel32(1, 2, 0xffff0000u);
    b.setPixel32(4, 3, 0xffff0000u);
    const IntRect found = b.colorBounds(0x00ff0000u, 0x00ff0000u, true);
    EXPECT_EQ(found.x0, 1);
    EXPECT_EQ(found.y0, 2);
    EXPECT_EQ(found.x1, 5);
    EXPECT_EQ(found.y1, 4);
    // Looking for what is not black finds the same; what is black covers everything.
    const IntRect notBlack = b.colorBounds(0xffffffffu, 0xff000000u, false);
    EXPECT_EQ(notBlack.x1 - notBlack.x0, 4);
    const IntRect black = b.colorBounds(0xffffffffu, 0xff000000u, true);
    EXPECT_EQ(black.x1 - black.x0, 6);
    EXPECT_EQ(black.y1 - black.y0, 5);
    EXPECT_TRUE(b.colorBounds(0xffffffffu, 0xff123456u, true).empty());
    // On a transparent bitmap the colour is masked too: mask 0 makes every pixel alike.
    BitmapData clear(2, 2, true, 0x80ff0000u);
    EXPECT_EQ(clear.colorBounds(0, 0x00ff0000u, true).x1, 2);
    EXPECT_TRUE(clear.colorBounds(0, 0x00ff0000u, false).empty());
    // An opaque one compares it whole, its pixels taking the colour's alpha: mask 0 makes
    // every pixel unlike a non-zero colour, and any alpha asked for is found.
    EXPECT_EQ(b.colorBounds(0, 0x00ff0000u, false).x1, 6);
    EXPECT_EQ(b.colorBounds(0xff000000u, 0xaa000000u, true).x1, 6);
    EXPECT_TRUE(b.colorBounds(0xff000000u, 0xaa000000u, false).empty());
    // A lone match at (0, 0) reads as none, as in the original.
    BitmapData corner(3, 3, false, 0xff000000u);
    corner.setPixel32(0, 0, 0xffffffffu);
    EXPECT_TRUE(corner.colorBounds(0xffffffffu, 0xffffffffu, true).empty());
}

TEST(BitmapDataCompare, DifferencesPerPixel) {
    BitmapData a(3, 1, true, 0xffffffffu), b(3, 1, true, 0xffffffffu);
    EXPECT_EQ(a.compare(b), nullptr);
    b.setPixel32(0, 0, 0xfffe0fffu);  // colours differ: a - b per channel, wrapping
    b.setPixel32(1, 0, 0x80ffffffu);  // only the alpha differs: 0xff - 0x80 = 0x7f
    std::unique_ptr<BitmapData> d = a.compare(b);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->transparent());
    EXPECT_EQ(d->getPixel32(0, 0), 0xff01f000u);
    EXPECT_EQ(d->getPixel32(1, 0), 0x7fffffffu);
    EXPECT_EQ(d->getPixel32(2, 0), 0u);
    BitmapData wider(4, 1, true, 0);
    EXPECT_EQ(a.compare(wider), nullptr);
}

TEST(BitmapDataCopy, ThroughAnAlphaBitmap) {
    BitmapData source(2, 1, false, 0xff0000ffu);
    BitmapData mask(2, 1, true, 0);
    mask.setPixel32(1, 0, 0xffffffffu);
    BitmapData target(2, 1, true, 0);
    target.copyPixelsWithAlpha(source, {0, 0, 2, 1}, 0, 0, mask, 0, 0, false);
    EXPECT_EQ(target.getPixel32(0, 0), 0u);  // masked out
    EXPECT_EQ(target.getPixel32(1, 0), 0xfe0000ffu);  // 255 x 255 / 256: 254
    // An opaque target puts the masked source over what it holds.
    BitmapData opaque(2, 1, false, 0xffff0000u);
    mask.setPixel32(0, 0, 0x80ffffffu);
    opaque.copyPixelsWithAlpha(source, {0, 0, 2, 1}, 0, 0, mask, 0, 0, false);
    const uint32_t mixed = opaque.getPixel32(0, 0);
    EXPECT_EQ(mixed >> 24, 0xffu);
    EXPECT_NEAR(int((mixed >> 16) & 255), 127, 1);
    EXPECT_NEAR(int(mixed & 255), 128, 1);
    // A mask offset that leaves a source pixel without a mask pixel skips it.
    BitmapData skipped(2, 1, true, 0x11223344u);
    skipped.copyPixelsWithAlpha(source, {0, 0, 2, 1}, 0, 0, mask, 1, 0, false);
    EXPECT_EQ(skipped.getPixel32(1, 0), BitmapData(1, 1, true, 0x11223344u).getPixel32(0, 0));
}

TEST(BitmapDataNoise, SeedsAtOrBelowZeroStartFromOneMinusTheSeed) {
    auto pixelsFor = [](int seed) {
        BitmapData b(4, 4, false, 0);
        b.noise(seed, 0, 255, 7, false);
        std::vector<uint32_t> out;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) out.push_back(b.getPixel32(x, y));
        return out;
    };
    EXPECT_EQ(pixelsFor(0), pixelsFor(1));
    EXPECT_EQ(pixelsFor(-5), pixelsFor(6));
    EXPECT_NE(pixelsFor(2), pixelsFor(3));
    EXPECT_NE(pixelsFor(-1), pixelsFor(1));
}

TEST(BitmapDataNoise, PerlinNoiseIsTheLatticeTurbulence) {
    // Noise is 0 on the lattice points: turbulence reads 0 at (0, 0), fractal noise mid grey
    // ((0 + 255 + 0.5) / 2 = 127).
    BitmapData turbulence(8, 8, false, 0), fractal(8, 8, false, 0);
    turbulence.perlinNoise(3, 3, 4, 100, false, false, 7, false);
    fractal.perlinNoise(3, 3, 4, 100, false, true, 7, false);
    EXPECT_EQ(turbulence.getPixel32(0, 0), 0xff000000u);
    EXPECT_EQ(fractal.getPixel32(0, 0), 0xff7f7f7fu);
    EXPECT_NE(turbulence.getPixel32(1, 0), 0xff000000u);
    // A negative base draws what its size does; a base of 0 leaves every chosen channel 0,
    // fractal or not.
    BitmapData negative(8, 8, false, 0), zero(8, 8, true, 0xffffffffu);
    negative.perlinNoise(-3, 3, 4, 100, false, false, 7, false);
    EXPECT_EQ(negative.pixels().pixels, turbulence.pixels().pixels);
    zero.perlinNoise(0, 3, 4, 100, false, true, 1 | 8, false);
    EXPECT_EQ(zero.getPixel32(5, 5), 0u);
    // Tiny bases and many octaves reach lattice coordinates past any integer: they read as
    // no noise there, without overflow (the sanitizer build checks).
    BitmapData fine(16, 4, true, 0);
    fine.perlinNoise(1e-30f, 1e-20f, 1000, 3, true, true, 15, false);
    fine.perlinNoise(1, 1, 1000, 3, true, false, 15, true);
    EXPECT_TRUE(fine.valid());
    // Each chosen channel takes the next noise channel: blue of red+blue is green of
    // red+green, red alone is red of red+green (and the others 0).
    BitmapData redBlue(8, 8, false, 0), redGreen(8, 8, false, 0), redOnly(8, 8, false, 0);
    redBlue.perlinNoise(3, 3, 2, 9, false, false, 1 | 4, false);
    redGreen.perlinNoise(3, 3, 2, 9, false, false, 1 | 2, false);
    redOnly.perlinNoise(3, 3, 2, 9, false, false, 1, false);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(redBlue.getPixel32(x, 5) & 255, (redGreen.getPixel32(x, 5) >> 8) & 255);
        EXPECT_EQ(redOnly.getPixel32(x, 5), redGreen.getPixel32(x, 5) & 0xffff0000u);
    }
}

}  // namespace
