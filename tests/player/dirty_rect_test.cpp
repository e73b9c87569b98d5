// renderChanges(): redrawing only what changed, from the kept bottom layers, must give the same
// pixels as a full render, and the areas it reports must be small when little moves.
#include <random>

#include <imageio/image_file.h>
#include <runtime/bitmap_cache.h>
#include <runtime/dirty_rects.h>
#include <runtime/drawn_items.h>
#include <runtime/player.h>

#include "fixtures.h"
#include "test_movie.h"

namespace {

using testing_support::play;

// Every frame of `bytes` for `frames` steps: incremental on one canvas against full renders.
void expectIncrementalMatchesFull(const std::vector<uint8_t>& bytes, int frames, int w, int h,
                                  swf::ScaleMode mode = swf::ScaleMode::ShowAll) {
    auto incremental = play(bytes);
    auto full = play(bytes);
    ASSERT_TRUE(incremental && full);
    swf::Canvas kept(w, h), fresh(w, h);
    for (int f = 0; f < frames; ++f) {
        incremental->renderChanges(kept, mode, swf::Quality::High);
        full->render(fresh, mode, swf::Quality::High);
        ASSERT_EQ(kept.pixels, fresh.pixels) << "frame " << f + 1;
        incremental->stepFrame();
        full->stepFrame();
    }
}

long long totalArea(const std::vector<swf::IntRect>& rects) {
    long long sum = 0;
    for (const auto& r : rects) sum += swf::area(r);
    return sum;
}

// A still backdrop with a square that moves on every frame; the backdrop changes colour at
// frame `backdropChange` (kept layers must be dropped) and a mask over the mover at frame 6.
std::vector<uint8_t> backdropMovie(int backdropChange) {
    swfw::MovieWriter m(8, 80, 60, 12);
    m.add(fixtures::squareShape(1, 80, fixtures::rgb(30, 60, 90)));
    m.add(fixtures::squareShape(2, 12, fixtures::rgb(250, 200, 0, 160)));
    m.add(fixtures::squareShape(3, 80, fixtures::rgb(90, 30, 60)));
    m.add(fixtures::squareShape(4, 30, fixtures::rgb(0, 0, 0)));
    m.add(swfw::placeObject2({1, 1, false, fixtures::at(0, 0)}));
    m.add(swfw::placeObject2({5, 2, false, fixtures::at(3, 3)}));
    m.showFrame();
    for (int f = 1; f < 10; ++f) {
        if (f == backdropChange) m.add(swfw::placeObject2({1, 3, true}));
        if (f == 6) {
            swfw::Place mask{3, 4, false, fixtures::at(10, 10)};
            mask.clipDepth = 5;
            m.add(swfw::placeObject2(mask));
        }
        m.add(swfw::placeObject2({5, std::nullopt, true, fixtures::at(3.5f + 5.25f * f, 3.0f + 3.5f * f)}));
        m.showFrame();
    }
    return m.build();
}

TEST(DirtyRect, IncrementalRenderingMatchesFullRendering) {
    expectIncrementalMatchesFull(fixtures::displayListMovie(), 6, 100, 100);
    expectIncrementalMatchesFull(fixtures::loopMovie(), 7, 90, 70, swf::ScaleMode::ExactFit);
    expectIncrementalMatchesFull(fixtures::spriteMovie(), 9, 120, 60);
    expectIncrementalMatchesFull(fixtures::morphMovie(), 3, 150, 60);
    expectIncrementalMatchesFull(fixtures::maskMovie(), 3, 100, 100);
    expectIncrementalMatchesFull(fixtures::benchMovie(), 12, 400, 300);
}

TEST(DirtyRect, KeptBottomLayersGiveTheSamePixels) {
    // The backdrop stays put from frame 2 on (then it is kept), changes at frame 4 or never,
    // and a mask over the mover arrives at frame 6: every frame equals a full render.
    expectIncrementalMatchesFull(backdropMovie(4), 10, 80, 60);
    expectIncrementalMatchesFull(backdropMovie(-1), 10, 160, 120, swf::ScaleMode::ExactFit);
    std::vector<uint8_t> defaultMovie;
    ASSERT_TRUE(swfimg::readFile(KESTORAL_DEFAULT_MOVIE, defaultMovie));
    expectIncrementalMatchesFull(defaultMovie, 30, 480, 270);
}

TEST(DirtyRect, ReportsOnlyTheMovingParts) {
    auto player = play(fixtures::spriteMovie());
    ASSERT_TRUE(player);
    swf::Canvas canvas(120, 60);
    auto first = player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].x1 - first[0].x0, 120) << "the first render draws everything";
    EXPECT_TRUE(player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High).empty());
    player->stepFrame();
    auto moved = player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    // Both 10-pixel squares moved 10 pixels right: old and new places, with margins. The
    // 11 rows between them cost less than a second pass, so they are one area.
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].x0, 8);
    EXPECT_EQ(moved[0].x1, 32);
    EXPECT_EQ(moved[0].y0, 8);
    EXPECT_EQ(moved[0].y1, 47);
    auto resized = player->renderChanges(canvas, swf::ScaleMode::ExactFit, swf::Quality::High);
    ASSERT_EQ(resized.size(), 1u);
    EXPECT_EQ(resized[0].x1 - resized[0].x0, 120) << "another scale mode draws everything";
}

// A 10-pixel square morphing into a 14-pixel one, declared inside a box of the whole stage,
// placed at (50, 50) at ratio 0 and then at 1; with a stroke when `stroked`.
std::vector<uint8_t> growingSquareMovie(bool stroked) {
    swfw::MovieWriter m(8, 200, 200, 12);
    auto square = [&](int twips) {
        swfw::ShapeWriter s(3);
        s.fill1(1);
        if (stroked) s.line(1);
        s.moveTo(0, 0);
        s.lineTo(twips, 0);
        s.lineTo(twips, twips);
        s.lineTo(0, twips);
        s.lineTo(0, 0);
        return s;
    };
    swfw::MorphFillPair fill;
    fill.start.color = fixtures::rgb(220, 0, 0);
    fill.end.color = fixtures::rgb(0, 0, 220, 128);
    std::vector<swfw::MorphLinePair> lines;
    if (stroked) lines.push_back({20, 40, fixtures::rgb(0, 0, 0), fixtures::rgb(0, 150, 0)});
    const swf::Rect stage{-1000, 4000, -1000, 4000};
    m.add(swfw::defineMorphShape(1, stage, stage, {fill}, lines, square(200), square(280)));
    swfw::Place place{1, 1, false, fixtures::at(50, 50)};
    m.add(swfw::placeObject2(place));
    m.showFrame();
    swfw::Place grown{1, std::nullopt, true, fixtures::at(50, 50)};
    grown.ratio = 65535;
    m.add(swfw::placeObject2(grown));
    m.showFrame();
    return m.build();
}

TEST(DirtyRect, MorphsWithoutStrokesDirtyTheBoxOfTheirEdges) {
    for (bool stroked : {false, true}) {
        auto player = play(growingSquareMovie(stroked));
        ASSERT_TRUE(player);
        swf::Canvas canvas(200, 200);
        player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
        player->stepFrame();
        auto grown = player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
        if (stroked) {
            // Strokes may reach past the edges: the declared box stands.
            EXPECT_GE(totalArea(grown), 200LL * 200 / 2);
        } else {
            // The 14-pixel square at (50, 50) with the 2-pixel margin.
            ASSERT_EQ(grown.size(), 1u);
            EXPECT_EQ(grown[0].x0, 48);
            EXPECT_EQ(grown[0].y0, 48);
            EXPECT_EQ(grown[0].x1, 66);
            EXPECT_EQ(grown[0].y1, 66);
        }
    }
    expectIncrementalMatchesFull(growingSquareMovie(false), 3, 200, 200);
}

TEST(DirtyRects, MergesNeighboursKeepsDistantOnesApart) {
    // Two touching halves become one; a far square stays on its own.
    auto merged = swf::mergeDirtyRects({{0, 0, 50, 40}, {50, 0, 100, 40}, {500, 500, 510, 510}});
    ASSERT_EQ(merged.size(), 2u);
    EXPECT_EQ(totalArea(merged), 100 * 40 + 100);
    // Two long crossing bars: their bounding box would waste most of it, so they are cut.
    auto cross = swf::mergeDirtyRects({{0, 100, 1000, 140}, {480, 0, 520, 1000}});
    EXPECT_EQ(totalArea(cross), 1000 * 40 + 40 * 1000 - 40 * 40);
    // Two blocks filling 80 % of their box (a merge wastes far more than the free area): one
    // pass over the box is cheaper than two.
    auto most = swf::mergeDirtyRects({{0, 0, 400, 1000}, {600, 0, 1000, 1000}});
    ASSERT_EQ(most.size(), 1u);
    EXPECT_EQ(swf::area(most[0]), 1000 * 1000);
    EXPECT_TRUE(swf::mergeDirtyRects({{5, 5, 5, 9}}).empty()) << "empty input areas vanish";
}

TEST(DirtyRects, TheCheapestMergeGoesFirstAndTiesToTheFirstPair) {
    // Over the cap of 3: the pairs (0, 1) and (2, 3) waste the same; the first pair merges.
    auto tie = swf::mergeDirtyRects({{0, 0, 10, 10}, {20, 0, 30, 10}, {500, 0, 510, 10}, {520, 0, 530, 10}}, 3, 0);
    ASSERT_EQ(tie.size(), 3u);
    EXPECT_EQ(tie[0].x0, 0);
    EXPECT_EQ(tie[0].x1, 30);
    // Each merge changes a partner's cheapest pair: the row of three gaps of 10, 20 and 40
    // pixels merges by widest gap last, down to the cap of 2 (the far square alone).
    auto chain = swf::mergeDirtyRects({{0, 0, 10, 10}, {20, 0, 30, 10}, {50, 0, 60, 10}, {100, 0, 110, 10}, {900, 0, 910, 10}}, 2, 0);
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(totalArea(chain), 110 * 10 + 100);
}

TEST(DirtyRects, CoverEveryInputPixelOnceWithinTheCap) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coord(0, 199), size(1, 60);
    for (int round = 0; round < 200; ++round) {
        std::vector<swf::IntRect> input;
        const int n = 1 + round % 30;
        for (int i = 0; i < n; ++i) {
            int x = coord(random), y = coord(random);
            input.push_back({x, y, x + size(random), y + size(random)});
        }
        const size_t cap = 1 + size_t(round % 12);
        auto out = swf::mergeDirtyRects(input, cap);
        ASSERT_LE(out.size(), cap);
        std::vector<int> covered(260 * 260, 0);
        for (const auto& r : out) {
            for (int y = r.y0; y < r.y1; ++y) {
                for (int x = r.x0; x < r.x1; ++x) ++covered[size_t(y) * 260 + size_t(x)];
            }
        }
        for (const auto& r : input) {
            for (int y = r.y0; y < r.y1; ++y) {
                for (int x = r.x0; x < r.x1; ++x) ASSERT_GE(covered[size_t(y) * 260 + size_t(x)], 1) << round;
            }
        }
        for (int c : covered) ASSERT_LE(c, 1) << "areas overlap, round " << round;
    }
}

}  // namespace

TEST(DirtyRects, AreasCoveringMostOfTheCanvasAreCountedOnceEach) {
    const swf::IntRect canvas{0, 0, 160, 80};
    // Two halves overlapping in a quarter cover three quarters, not the sum of their areas.
    EXPECT_TRUE(swf::coversMostOf({{0, 0, 80, 80}, {40, 0, 120, 80}}, canvas));
    // The same rectangle many times still covers a quarter.
    std::vector<swf::IntRect> repeated(20, swf::IntRect{0, 0, 80, 40});
    EXPECT_FALSE(swf::coversMostOf(repeated, canvas));
    // What lies outside the canvas does not count.
    EXPECT_FALSE(swf::coversMostOf({{-500, -500, 40, 40}, {150, 0, 900, 900}}, canvas));
    EXPECT_FALSE(swf::coversMostOf({{0, 0, 160, 80}}, swf::IntRect{}));
}

// Some signatures hash addresses, which differ from player to player: the areas must follow
// what changed, not the signatures' values (their order decided which areas merged first).
TEST(DirtyRect, ChangedAreasDoNotDependOnSignatureValues) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> pos(0, 300);
    std::vector<swf::DrawnItem> before, after;
    for (int i = 0; i < 40; ++i) {
        const int x = pos(rng), y = pos(rng);
        swf::DrawnItem item{uint64_t(i) * 0x9e3779b97f4a7c15ull, {x, y, x + 12, y + 9}, i};
        before.push_back(item);
        if (i % 3 == 0) item.bounds = {x + 5, y + 3, x + 17, y + 12};
        after.push_back(item);
    }
    const swf::IntRect canvas{0, 0, 400, 400};
    const auto flat = [](const std::vector<swf::IntRect>& areas) {
        std::vector<int> out;
        for (const swf::IntRect& r : areas) out.insert(out.end(), {r.x0, r.y0, r.x1, r.y1});
        return out;
    };
    const auto reference = flat(swf::findChanges(before, after, canvas).areas);
    ASSERT_FALSE(reference.empty());
    for (uint64_t salt : {0x5bd1e995ull, 0xfedcba9876543210ull, 0x8000000000000001ull}) {
        std::vector<swf::DrawnItem> b = before, a = after;
        for (auto* list : {&b, &a})
            for (swf::DrawnItem& item : *list) item.signature = (item.signature ^ salt) * 0xff51afd7ed558ccdull;
        EXPECT_EQ(flat(swf::findChanges(b, a, canvas).areas), reference) << "salt " << salt;
    }
}

TEST(DirtyRect, EverythingMovingRedrawsTheCanvasWhole) {
    auto player = play(fixtures::movingMovie());
    ASSERT_TRUE(player);
    swf::Canvas canvas(200, 150);
    player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    player->stepFrame();
    auto areas = player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    ASSERT_EQ(areas.size(), 1u);
    EXPECT_EQ(areas[0].x1 - areas[0].x0, 200);
    EXPECT_EQ(areas[0].y1 - areas[0].y0, 150);
    expectIncrementalMatchesFull(fixtures::movingMovie(), 4, 200, 150);
}

// A canvas-wide square that shifts on every one of the first 30 frames, then stays; a small
// square moves over it from frame 50.
std::vector<uint8_t> calmingMovie() {
    swfw::MovieWriter m(8, 80, 60, 12);
    m.add(fixtures::squareShape(1, 100, fixtures::rgb(30, 60, 90)));
    m.add(fixtures::squareShape(2, 8, fixtures::rgb(250, 200, 0)));
    m.add(swfw::placeObject2({1, 1, false, fixtures::at(-10, -10)}));
    m.add(swfw::placeObject2({2, 2, false, fixtures::at(5, 5)}));
    m.showFrame();
    for (int f = 1; f < 60; ++f) {
        if (f < 30) m.add(swfw::placeObject2({1, std::nullopt, true, fixtures::at(-10.0f + 0.25f * float(f % 4), -10)}));
        if (f >= 50) m.add(swfw::placeObject2({2, std::nullopt, true, fixtures::at(5.0f + float(f - 50), 5)}));
        m.showFrame();
    }
    return m.build();
}

// While everything moves, frames are drawn whole without comparing what they draw; once the
// movie calms down, changed areas are found again within a stretch, and every frame keeps the
// pixels of a full render.
TEST(DirtyRect, AfterEverythingMovedCalmFramesAreSeenAgain) {
    const std::vector<uint8_t> bytes = calmingMovie();
    expectIncrementalMatchesFull(bytes, 60, 80, 60);
    auto player = play(bytes);
    ASSERT_TRUE(player);
    swf::Canvas canvas(80, 60);
    int firstCalm = -1;
    for (int f = 0; f < 60; ++f) {
        const auto areas = player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
        if (f < 30) EXPECT_EQ(totalArea(areas), 80 * 60) << "frame " << f + 1;
        if (f >= 30 && areas.empty() && firstCalm < 0) firstCalm = f;
        if (f > 50) EXPECT_LT(totalArea(areas), 80 * 60 / 4) << "frame " << f + 1;
        player->stepFrame();
    }
    ASSERT_GE(firstCalm, 30);
    EXPECT_LE(firstCalm, 30 + 17);
}

// A blurred 200 x 150 backdrop of stripes, and a small square with a drop shadow (and on
// frame 3 a blend mode) moving across it.
std::vector<uint8_t> shadowedMoverMovie() {
    swfw::MovieWriter m(8, 200, 150, 12);
    swfw::ShapeWriter stripes(3);
    for (int i = 0; i < 10; ++i) stripes.rect(i * 400, 0, i * 400 + 200, 3000, stripes.addSolidFill(fixtures::rgb(uint8_t(25 * i), 90, 200)));
    m.add(swfw::defineShape(1, 3, swf::Rect{0, 4000, 0, 3000}, stripes));
    m.add(fixtures::squareShape(2, 12, fixtures::rgb(250, 200, 0, 200)));
    swfw::PlaceEffects blurred;
    swf::Filter blur;
    blur.blurX = blur.blurY = 6;
    blur.passes = 3;
    blurred.filters = {blur};
    m.add(swfw::placeObject3({1, 1, false, fixtures::at(0, 0)}, blurred));
    swfw::PlaceEffects shadowed;
    swf::Filter shadow;
    shadow.kind = swf::FilterKind::DropShadow;
    shadow.blurX = shadow.blurY = 4;
    shadow.distance = 6;
    shadow.angle = 0.5f;
    shadowed.filters = {shadow};
    m.add(swfw::placeObject3({2, 2, false, fixtures::at(10, 10)}, shadowed));
    m.showFrame();
    for (int f = 1; f < 6; ++f) {
        swfw::PlaceEffects effects;
        if (f == 3) effects.blendMode = 8;  // add
        m.add(swfw::placeObject3({2, std::nullopt, true, fixtures::at(10.0f + 17.5f * f, 10.0f + 11.0f * f)}, effects));
        m.showFrame();
    }
    return m.build();
}

TEST(DirtyRect, FilteredObjectsRedrawAsFarAsTheirFiltersReach) {
    auto player = play(shadowedMoverMovie());
    ASSERT_TRUE(player);
    swf::Canvas canvas(400, 300);  // twice the stage: the filters reach twice as far
    player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    player->stepFrame();
    auto areas = player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    ASSERT_EQ(areas.size(), 1u);
    // The square spans 24 pixels from (20, 20) and moves 35 x 22, plus the 2-pixel margin and
    // one for the snap to whole pixels; the blur reaches 4 pixels on every side, the shadow 11
    // more to the right and 6 down.
    EXPECT_EQ(areas[0].x0, 20 - 2 - 1 - 4);
    EXPECT_EQ(areas[0].x1, 20 + 35 + 24 + 2 + 1 + 4 + 11);
    EXPECT_EQ(areas[0].y1, 20 + 22 + 24 + 2 + 1 + 4 + 6);
    expectIncrementalMatchesFull(shadowedMoverMovie(), 6, 400, 300);
    // Twenty discs with glow and drop shadow over a blurred backdrop: the areas of the moving
    // discs widened by the filters, and the blur of the backdrop reading past each area's edge.
    expectIncrementalMatchesFull(fixtures::flash8Movie(), 6, 400, 300);
    expectIncrementalMatchesFull(fixtures::flash8Movie(), 3, 1000, 750);
}

TEST(BitmapCache, LayersKeptFromEarlierFramesDrawLikeFreshOnes) {
    // Frame by frame, discs of one look share a kept layer wherever they move; a player that
    // jumps to the frame draws them all afresh.
    auto bytes = fixtures::flash8Movie();
    auto playing = play(bytes);
    ASSERT_TRUE(playing);
    swf::Canvas kept(320, 240), fresh(320, 240);
    for (int f = 1; f <= 5; ++f) {
        playing->render(kept, swf::ScaleMode::ShowAll, swf::Quality::High);
        auto jumped = play(bytes);
        for (int i = 1; i < f; ++i) jumped->stepFrame();
        jumped->render(fresh, swf::ScaleMode::ShowAll, swf::Quality::High);
        ASSERT_EQ(kept.pixels, fresh.pixels) << "frame " << f;
        playing->stepFrame();
    }
}

TEST(BitmapCache, DropsWhatAFrameLeftUnusedAndStaysWithinItsCap) {
    swf::BitmapCache cache;
    cache.store(1, swf::Bitmap(10, 10));
    cache.store(2, swf::Bitmap(10, 10));
    cache.endFrame();  // both stored this frame: kept
    ASSERT_NE(cache.find(1), nullptr);
    cache.endFrame();  // 2 was not used in the frame just drawn
    EXPECT_NE(cache.find(1), nullptr);
    EXPECT_EQ(cache.find(2), nullptr);
    cache.store(3, swf::Bitmap(4000, 4000));  // beyond the cap: not kept
    EXPECT_EQ(cache.find(3), nullptr);
    // A second store of a key keeps the first pixels: another band of the frame may be
    // putting them down at that moment.
    const swf::Bitmap* first = cache.find(1);
    cache.store(1, swf::Bitmap(20, 20));
    EXPECT_EQ(cache.find(1), first);
    EXPECT_EQ(cache.find(1)->width, 10);
    // clear() gives the whole budget back: a layer of most of the cap fits again.
    cache.store(4, swf::Bitmap(1920, 1080 * 2));
    ASSERT_NE(cache.find(4), nullptr);
    cache.clear();
    cache.store(5, swf::Bitmap(1920, 1080 * 2));
    EXPECT_NE(cache.find(5), nullptr);
}
