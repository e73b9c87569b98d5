// Band rendering: a frame drawn as horizontal bands, one after the other or on a pool of
// threads, must equal the frame drawn whole, byte for byte, filters and blend modes included.
#include <gtest/gtest.h>

#include <band_pool.h>
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

// The control's path: changed areas drawn in bands on the pool (kept layers shared by the
// threads), frame after frame, against the whole frame drawn on one thread.
void expectBandedChangesMatchWhole(const std::vector<uint8_t>& bytes, int frames, int w, int h, int threads) {
    auto whole = play(bytes);
    auto banded = play(bytes);
    ASSERT_TRUE(whole && banded);
    swfbands::BandPool pool(threads);
    std::atomic<int> bandsDrawn{0};
    const swf::Player::BandRunner runner = [&](int rows, const std::function<void(int, int)>& draw) {
        pool.run(rows, [&](int y0, int y1) {
            ++bandsDrawn;
            draw(y0, y1);
        });
    };
    swf::Canvas a(w, h), b(w, h);
    for (int f = 0; f < frames; ++f) {
        whole->render(a, swf::ScaleMode::ShowAll, swf::Quality::High);
        banded->renderChanges(b, swf::ScaleMode::ShowAll, swf::Quality::High, &runner);
        ASSERT_EQ(a.pixels, b.pixels) << "frame " << f + 1 << ", " << threads << " threads";
        whole->stepFrame();
        banded->stepFrame();
    }
    EXPECT_GT(bandsDrawn.load(), frames) << "tall areas went through the pool";
}

TEST(BandRendering, ChangedAreasDrawnInBandsEqualTheWholeFrame) {
    expectBandedChangesMatchWhole(fixtures::benchMovie(), 6, 800, 600, 2);
    expectBandedChangesMatchWhole(fixtures::movingMovie(), 4, 640, 480, 3);
    expectBandedChangesMatchWhole(fixtures::flash8Movie(), 6, 800, 600, 2);
    expectBandedChangesMatchWhole(fixtures::filtersMovie(), 2, 860, 300, 4);
    expectBandedChangesMatchWhole(fixtures::blendModesMovie(), 2, 490, 150, 2);
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
    // Its own band count: every row once, no band under the minimum height (but the last).
    std::vector<std::atomic<int>> rows(1000);
    std::atomic<int> shortBands{0};
    pool.run(1000, [&](int y0, int y1) {
        if (y1 - y0 < swfbands::BandPool::kMinBandRows) ++shortBands;
        for (int y = y0; y < y1; ++y) ++rows[size_t(y)];
    });
    for (size_t y = 0; y < rows.size(); ++y) ASSERT_EQ(rows[y].load(), 1) << "row " << y;
    EXPECT_EQ(shortBands.load(), 0);
    EXPECT_GE(swfbands::BandPool::threadsForThisMachine(), 1);
}

}  // namespace
