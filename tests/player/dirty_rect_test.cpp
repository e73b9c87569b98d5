// renderChanges(): redrawing only what changed must give the same pixels as a full render,
// and the area it reports must be small when little moves.
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

TEST(DirtyRect, IncrementalRenderingMatchesFullRendering) {
    expectIncrementalMatchesFull(fixtures::displayListMovie(), 6, 100, 100);
    expectIncrementalMatchesFull(fixtures::loopMovie(), 7, 90, 70, swf::ScaleMode::ExactFit);
    expectIncrementalMatchesFull(fixtures::spriteMovie(), 9, 120, 60);
    expectIncrementalMatchesFull(fixtures::morphMovie(), 3, 150, 60);
}

TEST(DirtyRect, MaskChangesRedrawWhatTheyUncover) {
    swfw::MovieWriter m(8, 60, 60, 12);
    m.add(fixtures::squareShape(1, 50, fixtures::rgb(0, 0, 200)));
    m.add(fixtures::squareShape(2, 10, fixtures::rgb(0, 0, 0)));
    m.add(swfw::placeObject2({2, 1, false, fixtures::at(5, 5)}));
    m.showFrame();
    swfw::Place mask{1, 2, false, fixtures::at(20, 20)};
    mask.clipDepth = 2;
    m.add(swfw::placeObject2(mask));
    m.showFrame();
    m.add(swfw::removeObject2(1));
    m.showFrame();
    expectIncrementalMatchesFull(m.build(), 4, 60, 60);
}

TEST(DirtyRect, ReportsOnlyTheMovingPart) {
    auto player = play(fixtures::spriteMovie());
    ASSERT_TRUE(player);
    swf::Canvas canvas(120, 60);
    swf::IntRect first = player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    EXPECT_EQ(first.x1 - first.x0, 120) << "the first render draws everything";
    EXPECT_TRUE(player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High).empty());
    player->stepFrame();
    swf::IntRect moved = player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    // Both 10-pixel squares moved 10 pixels right: old and new places, with margins.
    EXPECT_EQ(moved.x0, 8);
    EXPECT_EQ(moved.x1, 32);
    EXPECT_LT(moved.y1 - moved.y0, 45);
    swf::IntRect resized = player->renderChanges(canvas, swf::ScaleMode::ExactFit, swf::Quality::High);
    EXPECT_EQ(resized.x1 - resized.x0, 120) << "another scale mode draws everything";
}

}  // namespace
