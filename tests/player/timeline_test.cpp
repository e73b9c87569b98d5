// Frames, looping with the rebuild from frame one, loop off, sprites, labels, timing.
#include "fixtures.h"
#include "test_movie.h"

namespace {

using testing_support::describe;
using testing_support::play;

TEST(Timeline, LoopRebuildsTheDisplayListFromFrameOne) {
    auto player = play(fixtures::loopMovie());
    ASSERT_TRUE(player);
    const swf::Clip& root = player->root();
    EXPECT_EQ(player->totalFrames(), 3);
    EXPECT_EQ(player->currentFrame(), 1);
    EXPECT_EQ(describe(root), "1:1");
    player->stepFrame();
    EXPECT_EQ(describe(root), "1:1 2:2");
    player->stepFrame();
    EXPECT_EQ(describe(root), "2:2");
    player->stepFrame();  // wraps
    EXPECT_EQ(player->currentFrame(), 1);
    EXPECT_EQ(describe(root), "1:1") << "depth 2 came later than frame 1 and goes";
    EXPECT_FLOAT_EQ(root.displayList().at(1)->state().matrix.ty, 0) << "frame 1's placement, not frame 2's move";
    player->stepFrame();
    EXPECT_EQ(describe(root), "1:1 2:2");
    std::vector<std::string> expected = {"frame 1", "frame 2", "frame 3", "frame 1", "frame 2"};
    EXPECT_EQ(player->traces(), expected);
}

TEST(Timeline, ObjectsKeptAcrossTheWrapKeepTheirState) {
    // A sprite placed on frame 1 and never removed survives the wrap with its own frame.
    auto player = play(fixtures::spriteMovie());
    ASSERT_TRUE(player);
    const swf::Clip* sprite = player->root().displayList().at(1)->clip();
    ASSERT_TRUE(sprite);
    EXPECT_EQ(sprite->currentFrame(), 0);
    player->stepFrame();
    player->stepFrame();  // root wraps from frame 2 to 1
    EXPECT_EQ(player->currentFrame(), 1);
    EXPECT_EQ(player->root().displayList().at(1)->clip(), sprite);
    EXPECT_EQ(sprite->currentFrame(), 2);
}

TEST(Timeline, LoopOffStopsOnTheLastFrame) {
    auto player = play(fixtures::loopMovie());
    ASSERT_TRUE(player);
    player->setLoop(false);
    for (int i = 0; i < 5; ++i) player->stepFrame();
    EXPECT_EQ(player->currentFrame(), 3);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(player->traces().size(), 3u);
    player->play();
    player->setLoop(true);
    player->stepFrame();
    EXPECT_EQ(player->currentFrame(), 1);
}

TEST(Timeline, SpritesRunTheirOwnTimelines) {
    auto player = play(fixtures::spriteMovie());
    ASSERT_TRUE(player);
    const swf::Clip* first = player->root().displayList().at(1)->clip();
    const swf::Clip* second = player->root().displayList().at(2)->clip();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->frameCount(), 4);
    for (int step = 1; step <= 5; ++step) {
        player->stepFrame();
        int expected = step % 4;
        EXPECT_EQ(first->currentFrame(), expected) << step;
        EXPECT_EQ(second->currentFrame(), expected) << step;
        float x = first->displayList().at(1)->state().matrix.tx;
        EXPECT_FLOAT_EQ(x, float(expected * 200)) << step;
    }
    EXPECT_EQ(first->timeline()->findLabel("START"), 0) << "labels match without case";
}

TEST(Timeline, StoppedMovieReportsNoChange) {
    swfw::MovieWriter m(8, 50, 50, 10);
    m.add(fixtures::squareShape(1, 10, fixtures::rgb(255, 0, 0)));
    m.add(swfw::placeObject2({1, 1, false, fixtures::at(0, 0)}));
    m.add(swfw::doAction(swfw::ActionWriter().stop()));
    m.showFrame();
    m.add(swfw::removeObject2(1));
    m.showFrame();
    auto player = play(m.build());
    ASSERT_TRUE(player);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_FALSE(player->advance(1000));
    EXPECT_EQ(player->currentFrame(), 1);
    player->play();
    EXPECT_TRUE(player->advance(100));
}

TEST(Timeline, AdvanceStepsWholeFramesAtTheFrameRate) {
    auto player = play(fixtures::loopMovie());  // 10 fps: 100 ms per frame
    ASSERT_TRUE(player);
    EXPECT_FALSE(player->advance(99));
    EXPECT_EQ(player->currentFrame(), 1);
    EXPECT_TRUE(player->advance(1));
    EXPECT_EQ(player->currentFrame(), 2);
    player->advance(250);  // two frames, 50 ms carried over
    EXPECT_EQ(player->currentFrame(), 1);
    player->advance(50);
    EXPECT_EQ(player->currentFrame(), 2);
    player->advance(1e9);  // a stall: a few frames at most, no spinning
    EXPECT_LE(player->traces().size(), 5u + swf::kMaxFramesPerAdvance);
}

TEST(Timeline, GotoFrameFromTheHost) {
    auto player = play(fixtures::displayListMovie());
    ASSERT_TRUE(player);
    player->gotoFrame(4);
    EXPECT_EQ(player->currentFrame(), 4);
    EXPECT_EQ(describe(player->root()), "1:3");
    player->gotoFrame(2);
    EXPECT_EQ(describe(player->root()), "1:1 2:2");
    EXPECT_FLOAT_EQ(player->root().displayList().at(1)->state().matrix.ty, 1000);
    player->gotoFrame(99);
    EXPECT_EQ(player->currentFrame(), 4);
    player->gotoFrame(0);
    EXPECT_EQ(player->currentFrame(), 1);
}

}  // namespace
