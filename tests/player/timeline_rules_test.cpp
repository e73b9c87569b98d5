// The timeline's rules around objects it does not fully own: occupied depths, objects a script
// moved or placed, and going back to an earlier frame.
#include <runtime/clip_properties.h>
#include <runtime/player.h>

#include "fixtures.h"
#include "test_movie.h"

namespace {

using testing_support::describe;
using testing_support::play;

// Frame 1 places shape 1 at depth 1 (and an empty sprite at depth 2); frame 2 places shape 2
// at depth 1 again, without the move flag.
TEST(TimelineRules, PlacingOnAnOccupiedDepthIsIgnoredWithAWarning) {
    swfw::MovieWriter m(8, 80, 60, 12);
    m.add(fixtures::squareShape(1, 10, fixtures::rgb(200, 0, 0)));
    m.add(fixtures::squareShape(2, 10, fixtures::rgb(0, 200, 0)));
    m.add(swfw::defineSprite(3, 1, {swfw::Tag{1, {}}}));
    m.add(swfw::placeObject2({1, 1, false, fixtures::at(5, 5)}));
    m.add(swfw::placeObject2({2, 3, false, fixtures::at(0, 0)}));
    m.showFrame();
    m.add(swfw::placeObject2({1, 2, false, fixtures::at(40, 40)}));
    m.showFrame();
    auto player = play(m.build());
    ASSERT_TRUE(player);
    std::vector<std::string> log;
    swf::Clip* sprite = player->root().displayList().at(2)->clip();
    ASSERT_TRUE(sprite);
    sprite->host().debugLog = [&](const std::string& line) { log.push_back(line); };
    player->stepFrame();
    EXPECT_EQ(describe(player->root()), "1:1 2:3");
    EXPECT_FLOAT_EQ(player->root().displayList().at(1)->state().matrix.tx, 100);
    EXPECT_EQ(log, (std::vector<std::string>{"Warning: Failed to place object at depth 1."}));
}

// spriteMovie(): each sprite moves its square 10 px right on every one of its four frames.
TEST(TimelineRules, AnObjectAScriptMovedKeepsItsTransform) {
    auto player = play(fixtures::spriteMovie());
    ASSERT_TRUE(player);
    swf::Clip* sprite = player->root().displayList().at(1)->clip();
    ASSERT_TRUE(sprite);
    swf::DisplayState& square = sprite->objectAt(1)->state();
    swf::writeTransformProperty(square, swf::ClipProperty::Y, 25);
    EXPECT_TRUE(square.transformedByScript);
    for (int step = 1; step <= 5; ++step) {  // past the sprite's loop back to its first frame
        player->stepFrame();
        ASSERT_EQ(sprite->objectAt(1), &*sprite->displayList().at(1)) << step;
        EXPECT_FLOAT_EQ(sprite->objectAt(1)->state().matrix.tx, 0) << step;
        EXPECT_FLOAT_EQ(sprite->objectAt(1)->state().matrix.ty, 500) << step;
    }
    // The other instance, untouched, follows its timeline.
    const swf::Clip* other = player->root().displayList().at(2)->clip();
    EXPECT_FLOAT_EQ(other->objectAt(1)->state().matrix.tx, 200);
}

TEST(TimelineRules, ObjectsPlacedByScriptOutliveTimelineRemovalsAndRewindsAtScriptDepths) {
    // A sprite of three frames: a square at depth 1 from frame 2, removed on frame 3.
    swfw::MovieWriter m(8, 80, 60, 12);
    m.add(fixtures::squareShape(1, 10, fixtures::rgb(0, 0, 200)));
    m.add(swfw::defineSprite(2, 3,
                             {swfw::Tag{1, {}}, swfw::placeObject2({1, 1, false, fixtures::at(0, 0)}), swfw::Tag{1, {}},
                              swfw::removeObject2(1), swfw::Tag{1, {}}}));
    m.add(swfw::placeObject2({1, 2, false, fixtures::at(0, 0)}));
    m.showFrame();
    auto player = play(m.build());
    ASSERT_TRUE(player);
    swf::Clip* sprite = player->root().displayList().at(1)->clip();
    ASSERT_TRUE(sprite);
    const swf::Character& square = *player->movie().character(1);
    swf::DisplayObject* dynamic = sprite->placeByScript(16384, square, "dynamic");
    swf::DisplayObject* squatter = sprite->placeByScript(1, square, "squatter");  // a depth the timeline uses
    player->stepFrame();
    EXPECT_EQ(sprite->objectAt(1), squatter) << "the timeline's placement does not take the depth";
    player->stepFrame();
    EXPECT_EQ(sprite->objectAt(1), squatter) << "nor does its removal";
    player->stepFrame();  // the sprite loops back to its first frame
    EXPECT_EQ(sprite->currentFrame(), 0);
    // The rewind takes back the timeline's depths (below script depth 0) from scripts too;
    // what scripts put at their own depths stays.
    EXPECT_EQ(sprite->objectAt(1), nullptr);
    EXPECT_EQ(sprite->objectAt(16384), dynamic);
}

// goto back to a frame rebuilds what playing forward to it gives: an object placed again
// after the target frame is a new instance, started afresh.
TEST(TimelineRules, RewindReplacesObjectsPlacedAfterTheTarget) {
    swfw::MovieWriter m(8, 80, 60, 12);
    m.add(fixtures::squareShape(1, 10, fixtures::rgb(0, 0, 200)));
    m.add(swfw::defineSprite(2, 2, {swfw::placeObject2({1, 1, false, fixtures::at(0, 0)}), swfw::Tag{1, {}}, swfw::Tag{1, {}}}));
    m.showFrame();
    m.add(swfw::placeObject2({1, 2, false, fixtures::at(0, 0)}));
    m.showFrame();
    m.add(swfw::removeObject2(1));
    m.showFrame();
    m.add(swfw::placeObject2({1, 2, false, fixtures::at(0, 0)}));
    m.showFrame();
    m.showFrame();
    auto player = play(m.build());
    ASSERT_TRUE(player);
    // Instances are told apart by a name set on each (freed ones may share an address).
    const swf::Clip& root = player->root();
    player->gotoFrame(2);  // 1-based
    ASSERT_TRUE(root.objectAt(1));
    root.objectAt(1)->state().name = "first";
    player->gotoFrame(4);
    ASSERT_TRUE(root.objectAt(1) && root.objectAt(1)->clip());
    EXPECT_NE(root.objectAt(1)->state().name, "first") << "removed on frame 3, placed anew on frame 4";
    root.objectAt(1)->state().name = "again";
    player->stepFrame();  // the sprite placed on frame 4 plays on
    EXPECT_EQ(root.objectAt(1)->clip()->currentFrame(), 1);
    player->gotoFrame(2);
    ASSERT_TRUE(root.objectAt(1) && root.objectAt(1)->clip());
    EXPECT_NE(root.objectAt(1)->state().name, "again") << "placed on frame 4, after the target: made again";
    EXPECT_EQ(root.objectAt(1)->clip()->currentFrame(), 0);
    EXPECT_EQ(root.objectAt(1)->state().placeFrame, 1);
}

}  // namespace
