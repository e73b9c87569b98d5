// Band rendering: a frame drawn as horizontal bands, one after the other or on a pool of
// threads, must equal the frame drawn whole, byte for byte, filters and blend modes included.
#include <gtest/gtest.h>

#include <bandpool/band_pool.h>
#include <runtime/player.h>

#include <atomic>

#include "fixtures.h"
#include "test_movie.h"

namespace {

using testing_support::play;

void expectBandsMatchWhole(const std::vector<uint8_t>& bytes, int frames, int w, int h, int threads, int bands) {
    auto whole = play(bytes);
    auto banded = play(bytes);
    ASSERT_TRUE(whole && banded);
    swfbands::BandPool pool(threads);
    swf::Canvas a(w, h), b(w, h);
    for (int f = 0; f < frames; ++f) {
        whole->render(a, swf::ScaleMode::ShowAll, swf::Quality::High);
        b.pixels.assign(b.pixels.size(), 0x12345678u);  // every pixel must be drawn by a band
        pool.run(h, bands, [&](int y0, int y1) {
            banded->renderBand(b, swf::ScaleMode::ShowAll, swf::Quality::High, y0, y1);
        });
        ASSERT_EQ(a.pixels, b.pixels) << "frame " << f + 1 << ", " << threads << " threads, " << bands << " bands";
        whole->stepFrame();
        banded->stepFrame();
    }
}

TEST(BandRendering, BandsEqualTheWholeFrame) {
    expectBandsMatchWhole(fixtures::benchMovie(), 3, 400, 300, 1, 7);
    expectBandsMatchWhole(fixtures::benchMovie(), 3, 400, 300, 3, 5);
    expectBandsMatchWhole(fixtures::flash8Movie(), 3, 400, 300, 2, 4);
    expectBandsMatchWhole(fixtures::blendModesMovie(), 1, 490, 150, 2, 9);
    expectBandsMatchWhole(fixtures::filtersMovie(), 1, 860, 300, 2, 13);
    expectBandsMatchWhole(fixtures::maskMovie(), 1, 100, 100, 2, 3);
    expectBandsMatchWhole(fixtures::drawingPatternMovie(), 4, 320, 240, 3, 6);  // drawn by script each frame
}

TEST(BandRendering, PoolCoversEveryRowOnceAndSurvivesOddCounts) {
    swfbands::BandPool pool(3);
    EXPECT_EQ(pool.threads(), 3);
    for (int bands : {1, 2, 7, 100}) {
        std::vector<std::atomic<int>> rows(57);
        pool.run(57, bands, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) ++rows[size_t(y)];
        });
        for (size_t y = 0; y < rows.size(); ++y) ASSERT_EQ(rows[y].load(), 1) << bands << " bands, row " << y;
    }
    pool.run(0, 4, [](int, int) { FAIL() << "no rows: nothing to draw"; });
}

}  // namespace
