// The display objects: one shared state per object, hashed whole for the dirty-area cache, and
// a sprite's clip linked to the object that shows it.
#include <functional>

#include <runtime/display/display_state.h>
#include <runtime/display/sprite_display.h>
#include <runtime/player.h>

#include "fixtures.h"
#include "test_movie.h"

namespace {

using testing_support::describe;
using testing_support::play;

uint64_t stateHash(const swf::DisplayState& s) {
    swf::SignatureHasher h;
    swf::hashDisplayState(h, s);
    return h.h;
}

// Each property changed alone must change the hash: the cache redraws what it covers.
TEST(DisplayState, HashCoversEveryProperty) {
    const std::vector<std::pair<const char*, std::function<void(swf::DisplayState&)>>> changes = {
        {"matrix", [](swf::DisplayState& s) { s.matrix.c = 0.5f; }},
        {"colour transform", [](swf::DisplayState& s) { s.colorTransform.bAdd = 3; }},
        {"name", [](swf::DisplayState& s) { s.name = "hand"; }},
        {"depth", [](swf::DisplayState& s) { s.depth = 7; }},
        {"clip depth", [](swf::DisplayState& s) { s.clipDepth = 9; }},
        {"ratio", [](swf::DisplayState& s) { s.ratio = 100; }},
        {"visible", [](swf::DisplayState& s) { s.visible = false; }},
        {"filters", [](swf::DisplayState& s) { s.filters.push_back(swf::Filter{}); }},
        {"filter value", [](swf::DisplayState& s) {
             s.filters.push_back(swf::Filter{});
             s.filters[0].blurX = 9;
         }},
        {"blend mode", [](swf::DisplayState& s) { s.blendMode = swf::BlendMode::Multiply; }},
        {"cache as bitmap", [](swf::DisplayState& s) { s.cacheAsBitmap = true; }},
        {"opaque background", [](swf::DisplayState& s) { s.opaqueBackground = swf::Rgba{0, 0, 0, 255}; }},
        {"scroll rectangle", [](swf::DisplayState& s) { s.scrollRect = swf::Rect{0, 200, 0, 200}; }},
        {"placed by script", [](swf::DisplayState& s) { s.placedByScript = true; }},
        {"transformed by script", [](swf::DisplayState& s) { s.transformedByScript = true; }},
    };
    const swf::DisplayState plain;
    std::vector<uint64_t> seen{stateHash(plain)};
    for (const auto& [what, change] : changes) {
        swf::DisplayState s;
        change(s);
        const uint64_t h = stateHash(s);
        for (uint64_t other : seen) EXPECT_NE(h, other) << what;
        seen.push_back(h);
    }
    swf::DisplayState filtered;
    filtered.filters.push_back(swf::Filter{});
    swf::DisplayState blurred = filtered;
    blurred.filters[0].blurY = 4;
    EXPECT_NE(stateHash(filtered), stateHash(blurred));
}

// A backdrop and, above it, a square in a sprite: what a script changes on either.
std::vector<uint8_t> spriteOverBackdrop() {
    swfw::MovieWriter m(8, 80, 60, 12);
    m.add(fixtures::squareShape(1, 80, fixtures::rgb(30, 60, 90)));
    m.add(fixtures::squareShape(2, 20, fixtures::rgb(250, 200, 0)));
    std::vector<swfw::Tag> inner{swfw::placeObject2({1, 2, false, fixtures::at(0, 0)}), swfw::Tag{1, {}}};
    m.add(swfw::defineSprite(3, 1, inner));
    m.add(swfw::placeObject2({1, 1, false, fixtures::at(0, 0)}));
    m.add(swfw::placeObject2({4, 3, false, fixtures::at(30, 20)}));
    m.showFrame();
    return m.build();
}

// A property set on the state between frames (as scripts do) is redrawn by renderChanges()
// exactly as a full render draws it.
TEST(DisplayState, ChangesOutsideTheTimelineAreRedrawn) {
    const std::vector<std::pair<const char*, std::function<void(swf::DisplayState&)>>> changes = {
        {"hidden", [](swf::DisplayState& s) { s.visible = false; }},
        {"moved", [](swf::DisplayState& s) { s.matrix.tx += 200; }},
        {"blend mode", [](swf::DisplayState& s) { s.blendMode = swf::BlendMode::Invert; }},
        {"blurred", [](swf::DisplayState& s) {
             s.filters.push_back(swf::Filter{});
             s.filters.back().blurX = s.filters.back().blurY = 4;
         }},
        {"tinted", [](swf::DisplayState& s) { s.colorTransform.rMul = 0; }},
    };
    const auto bytes = spriteOverBackdrop();
    for (const auto& [what, change] : changes) {
        auto incremental = play(bytes), full = play(bytes);
        ASSERT_TRUE(incremental && full);
        swf::Canvas kept(80, 60), fresh(80, 60);
        incremental->renderChanges(kept, swf::ScaleMode::ExactFit, swf::Quality::High);
        const auto before = kept.pixels;
        change(incremental->root().displayList().at(4)->state());
        change(full->root().displayList().at(4)->state());
        const auto areas = incremental->renderChanges(kept, swf::ScaleMode::ExactFit, swf::Quality::High);
        full->render(fresh, swf::ScaleMode::ExactFit, swf::Quality::High);
        EXPECT_FALSE(areas.empty()) << what;
        EXPECT_TRUE(kept.pixels != before) << what;
        EXPECT_TRUE(kept.pixels == fresh.pixels) << what;
    }
}

TEST(DisplayState, HiddenObjectsAreNotDrawn) {
    auto player = play(spriteOverBackdrop());
    ASSERT_TRUE(player);
    swf::Canvas shown(80, 60), hidden(80, 60);
    player->render(shown, swf::ScaleMode::ExactFit, swf::Quality::High);
    player->root().displayList().at(4)->state().visible = false;
    player->render(hidden, swf::ScaleMode::ExactFit, swf::Quality::High);
    EXPECT_NE(shown.row(30)[40], hidden.row(30)[40]) << "the square was drawn";
    EXPECT_EQ(hidden.row(30)[40], hidden.row(5)[5]) << "only the backdrop is left";
}

TEST(DisplayObjects, ASpriteClipKnowsTheObjectShowingIt) {
    auto player = play(fixtures::spriteMovie());
    ASSERT_TRUE(player);
    const auto& list = player->root().displayList();
    swf::DisplayObject* shown = list.at(1).get();
    ASSERT_TRUE(dynamic_cast<swf::SpriteDisplay*>(shown));
    swf::Clip* clip = shown->clip();
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->displayObject(), shown);
    EXPECT_EQ(clip->parent(), &player->root());
    EXPECT_EQ(player->root().displayObject(), nullptr) << "the root is shown by no object";
    EXPECT_EQ(player->root().objectAt(1), shown);
    EXPECT_EQ(player->root().objectAt(3), nullptr);
}

TEST(DisplayObjects, ReplacingACharacterKeepsTheStateInTheNewObject) {
    auto player = play(fixtures::displayListMovie());
    ASSERT_TRUE(player);
    player->root().displayList().at(1)->state().name = "kept";
    player->stepFrame();
    player->stepFrame();  // frame 3 replaces the character at depth 1
    EXPECT_EQ(describe(player->root()), "1:3 2:2");
    EXPECT_EQ(player->root().displayList().at(1)->state().name, "kept");
    EXPECT_EQ(player->root().displayList().at(1)->state().depth, 1);
}

// Shape 1; sprite 2 shows it; sprite 3 holds a sprite 2. Root: frame 1 places sprite 3 at
// depth 1, frame 2 a sprite 2 at depth 2, frame 3 removes depth 1; then it loops.
std::vector<uint8_t> nestedRemovalMovie() {
    swfw::MovieWriter m(8, 80, 60, 12);
    m.add(fixtures::squareShape(1, 10, fixtures::rgb(0, 0, 200)));
    m.add(swfw::defineSprite(2, 1, {swfw::placeObject2({1, 1, false, fixtures::at(0, 0)}), swfw::Tag{1, {}}}));
    m.add(swfw::defineSprite(3, 1, {swfw::placeObject2({1, 2, false, fixtures::at(5, 5)}), swfw::Tag{1, {}}}));
    m.add(swfw::placeObject2({1, 3, false, fixtures::at(0, 0)}));
    m.showFrame();
    m.add(swfw::placeObject2({2, 2, false, fixtures::at(40, 0)}));
    m.showFrame();
    m.add(swfw::removeObject2(1));
    m.showFrame();
    return m.build();
}

TEST(DisplayObjects, RemovedClipsUnloadChildrenFirst) {
    auto player = play(nestedRemovalMovie());
    ASSERT_TRUE(player);
    const swf::Clip& root = player->root();
    swf::Clip* outer = root.displayList().at(1)->clip();
    ASSERT_TRUE(outer && outer->objectAt(1));
    swf::Clip* inner = outer->objectAt(1)->clip();
    std::vector<const swf::Clip*> unloaded;
    outer->host().onUnload = [&](swf::Clip& c) { unloaded.push_back(&c); };
    player->stepFrame();
    EXPECT_TRUE(unloaded.empty()) << "placing unloads nothing";
    const swf::Clip* second = root.displayList().at(2)->clip();
    player->stepFrame();
    EXPECT_EQ(unloaded, (std::vector<const swf::Clip*>{inner, outer}));
    player->stepFrame();  // loops: depth 2 came after frame 1
    ASSERT_EQ(unloaded.size(), 3u);
    EXPECT_EQ(unloaded[2], second);
    EXPECT_EQ(describe(root), "1:3");
}

TEST(DisplayObjects, ScriptsPlaceAndSwapObjects) {
    auto player = play(fixtures::spriteMovie());
    ASSERT_TRUE(player);
    swf::Clip* sprite = player->root().displayList().at(1)->clip();
    ASSERT_TRUE(sprite);
    const swf::Character* square = player->movie().character(1);
    ASSERT_TRUE(square);
    swf::DisplayObject* placed = sprite->placeByScript(16389, *square, "dyn");
    ASSERT_TRUE(placed);
    EXPECT_TRUE(placed->state().placedByScript);
    EXPECT_EQ(placed->state().name, "dyn");
    EXPECT_EQ(describe(*sprite), "1:1 16389:1");
    swf::DisplayObject* timelineObject = sprite->objectAt(1);
    sprite->swapDepths(1, 16389);
    EXPECT_EQ(sprite->objectAt(1), placed);
    EXPECT_EQ(placed->state().depth, 1);
    EXPECT_EQ(sprite->objectAt(16389), timelineObject);
    EXPECT_EQ(timelineObject->state().depth, 16389);
    sprite->swapDepths(16389, 30);  // to an empty depth
    EXPECT_EQ(describe(*sprite), "1:1 30:1");
    EXPECT_TRUE(sprite->removeAt(30));
    EXPECT_FALSE(sprite->removeAt(30));
    EXPECT_EQ(describe(*sprite), "1:1");
}

}  // namespace
