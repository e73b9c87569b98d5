// Band rendering: a frame drawn as horizontal bands, one after the other or on a pool of
// threads, must equal the frame drawn whole, byte for byte, filters and blend modes included.
#include <gtest/gtest.h>

#include <band_pool.h>
#include <runtime/area_bands.h>
#include <runtime/bitmap_cache.h>
#include <runtime/player.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <map>
#include <mutex>

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
        const auto draw = [&](int y0, int y1) { banded->renderBand(b, swf::ScaleMode::ShowAll, swf::Quality::High, y0, y1); };
        if (bands > 0) {
            pool.run(h, bands, draw);
        } else {
            pool.run(h, draw);  // its own split, by the cost the frames before measured
        }
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

TEST(BandRendering, BandsSplitByMeasuredCostEqualTheWholeFrame) {
    expectBandsMatchWhole(fixtures::benchMovie(), 6, 400, 300, 2, 0);
    expectBandsMatchWhole(fixtures::flash8Movie(), 4, 400, 300, 2, 0);
    expectBandsMatchWhole(fixtures::filtersMovie(), 3, 860, 300, 3, 0);
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

TEST(BandRendering, SplitByCostGivesEveryBandAnEqualShare) {
    using swfbands::BandPool;
    EXPECT_EQ(BandPool::splitByCost(std::vector<float>(100, 1.0f), 4, 0), (std::vector<int>{0, 25, 50, 75, 100}));
    // The top 20 rows cost 4 times the others: 80 + 80 units, the first band ends at row 20.
    std::vector<float> skewed(100, 1.0f);
    for (int y = 0; y < 20; ++y) skewed[size_t(y)] = 4.0f;
    EXPECT_EQ(BandPool::splitByCost(skewed, 2, 0), (std::vector<int>{0, 20, 100}));
    // ... unless that band would be under the minimum height.
    EXPECT_EQ(BandPool::splitByCost(skewed, 2, 30), (std::vector<int>{0, 30, 100}));
    // All the cost in one row: the other bands still get rows, none empty.
    std::vector<float> spike(64, 0.0f);
    spike[10] = 5.0f;
    const std::vector<int> edges = BandPool::splitByCost(spike, 4, 8);
    ASSERT_EQ(edges.size(), 5u);
    EXPECT_EQ(edges.front(), 0);
    EXPECT_EQ(edges.back(), 64);
    for (size_t i = 1; i < edges.size(); ++i) EXPECT_GE(edges[i] - edges[i - 1], 8) << "band " << i - 1;
    // Nothing measured (no cost, or not numbers): equal heights.
    EXPECT_EQ(BandPool::splitByCost(std::vector<float>(9, 0.0f), 3, 0), (std::vector<int>{0, 3, 6, 9}));
    EXPECT_EQ(BandPool::splitByCost(std::vector<float>(9, std::nanf("")), 3, 0), (std::vector<int>{0, 3, 6, 9}));
    // More bands than rows allow at the minimum height: every row once all the same.
    const std::vector<int> tight = BandPool::splitByCost(std::vector<float>(5, 1.0f), 8, 16);
    EXPECT_EQ(tight.front(), 0);
    EXPECT_EQ(tight.back(), 5);
    for (size_t i = 1; i < tight.size(); ++i) EXPECT_GE(tight[i], tight[i - 1]);
}

// Keeps the processor busy (the pool measures processor time where it can).
void busyFor(std::chrono::microseconds span) {
    const auto end = std::chrono::steady_clock::now() + span;
    volatile unsigned spins = 0;
    while (std::chrono::steady_clock::now() < end) spins = spins + 1;
}

TEST(BandRendering, PoolSplitFollowsWhereTheCostLies) {
    // The first 64 of 256 rows are slow: after a run has measured them, the band holding row 0
    // is shorter than an equal split's, and every run still draws every row once.
    swfbands::BandPool pool(2);
    int firstBandRows = 0;
    for (int run = 0; run < 4; ++run) {
        std::vector<std::atomic<int>> rows(256);
        pool.run(256, [&](int y0, int y1) {
            if (y0 == 0) firstBandRows = y1;
            for (int y = y0; y < y1; ++y) {
                ++rows[size_t(y)];
                if (y < 64) busyFor(std::chrono::microseconds(300));
            }
        });
        for (size_t y = 0; y < rows.size(); ++y) ASSERT_EQ(rows[y].load(), 1) << "run " << run << ", row " << y;
    }
    const int bands = pool.threads() * swfbands::BandPool::kBandsPerThread;
    EXPECT_LT(firstBandRows, 256 / bands);
}

TEST(BandRendering, AreasInBandsCoverEveryAreaOnce) {
    const std::vector<swf::IntRect> areas{{0, 0, 50, 40}, {60, 10, 80, 11}, {0, 100, 200, 170}, {5, 5, 5, 50}};
    swfbands::BandPool pool(3);
    int runs = 0;
    const swf::BandRunner runner = [&](int rows, const std::function<void(int, int)>& draw) {
        ++runs;
        EXPECT_EQ(rows, 40 + 1 + 70);  // the empty area adds none
        pool.run(rows, 7, draw);
    };
    std::mutex lock;
    std::map<std::pair<int, int>, int> drawn;  // (x0, row) -> times drawn
    auto record = [&](const swf::IntRect& part) {
        std::lock_guard<std::mutex> hold(lock);
        for (int y = part.y0; y < part.y1; ++y) ++drawn[{part.x0, y}];
        EXPECT_TRUE(part.x1 == 50 || part.x1 == 80 || part.x1 == 200) << "a part keeps its area's columns";
    };
    swf::drawAreasInBands(areas, &runner, record);
    EXPECT_EQ(runs, 1) << "all areas in one run";
    EXPECT_EQ(drawn.size(), size_t(40 + 1 + 70));
    for (const auto& [at, times] : drawn) EXPECT_EQ(times, 1) << "x " << at.first << ", row " << at.second;
    // Too few rows for the threads, or no runner: whole areas on the calling thread.
    drawn.clear();
    std::vector<swf::IntRect> parts;
    swf::drawAreasInBands({{0, 0, 10, 20}, {0, 30, 10, 40}}, &runner, [&](const swf::IntRect& p) { parts.push_back(p); });
    swf::drawAreasInBands({{0, 0, 10, 200}}, nullptr, [&](const swf::IntRect& p) { parts.push_back(p); });
    EXPECT_EQ(runs, 1);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[2].y1, 200);
}

TEST(BandRendering, OneBandAFrameClaimsAMissingLayer) {
    swf::BitmapCache cache;
    EXPECT_TRUE(cache.claim(7));
    EXPECT_FALSE(cache.claim(7)) << "another band draws its own part";
    EXPECT_TRUE(cache.claim(8));
    cache.endFrame();
    EXPECT_TRUE(cache.claim(7)) << "a new frame: the layer was never stored";
    cache.clear();
    EXPECT_TRUE(cache.claim(7));
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
