// Children found by name from scripts in clips holding many objects (the lookups go through an
// index there): renames, removals, new objects, depth changes and the version's case rule must
// all show at once, for clips, named shapes and text fields alike.
#include <gtest/gtest.h>

#include "avm1_script_test.h"
#include "fixtures.h"
#include "script_builder.h"
#include "test_movie.h"

namespace {

using script_test::Lines;
using namespace script;

// A 10-pixel square shape (id 1), a sprite of it exported as "box" (id 2), the shape placed on
// the root's timeline under the name "deco" at depth 5, then `source` as the frame's script.
Lines runWithBoxes(int version, const std::string& source) {
    swfw::MovieWriter m(version, 200, 200, 12);
    m.add(fixtures::squareShape(1, 10, fixtures::rgb(0, 0, 200)));
    m.add(swfw::defineSprite(2, 1, {swfw::placeObject2({1, 1, false, fixtures::at(0, 0)}), swfw::Tag{1, {}}}));
    m.add(swfw::exportAssets({{2, "box"}}));
    swfw::Place deco{5, 1, false, fixtures::at(0, 0)};
    deco.name = "deco";
    m.add(swfw::placeObject2(deco));
    m.add(swfw::doAction(swfw::assemble(source)));
    m.showFrame();
    return script_test::play(m.build(), 1)->traces();
}

// 20 boxes c0..c19 at depths 100..119: more than a short walk.
std::string attachBoxes() {
    std::string s;
    for (int i = 0; i < 20; ++i)
        s += run(call(var("this"), "attachMovie", {str("box"), str("c" + std::to_string(i)), num(100 + i)}));
    return s;
}

TEST(ChildLookup, ClipsAreFoundThroughRenamesRemovalsAndDepthChanges) {
    std::string s = attachBoxes();
    s += trace(member(var("c7"), "_name"));
    s += setMember(var("c7"), "_name", str("renamed"));
    s += trace(var("c7")) + trace(member(var("renamed"), "_name"));
    s += run(call(var("c3"), "removeMovieClip", {})) + trace(var("c3"));
    s += run(call(var("this"), "attachMovie", {str("box"), str("c3"), num(300)}));
    s += trace(call(var("c3"), "getDepth", {}));
    // Two children of one name: the lower depth wins, also after the other one moved.
    s += run(call(var("this"), "attachMovie", {str("box"), str("c3"), num(50)}));
    s += trace(call(var("c3"), "getDepth", {}));
    s += run(call(var("c3"), "swapDepths", {num(400)})) + trace(call(var("c3"), "getDepth", {}));
    s += trace(member(var("C5"), "_name"));
    EXPECT_EQ(runWithBoxes(6, s), (Lines{"c7", "undefined", "renamed", "undefined", "300", "50", "300", "c5"}));
    EXPECT_EQ(runWithBoxes(7, s).back(), "undefined") << "SWF 7 names are case-sensitive";
}

TEST(ChildLookup, NamedShapesAndTextFieldsAreFoundAmongManyClips) {
    std::string s = attachBoxes();
    s += set("marker", str("root"));
    // A named shape is no object: its name gives the clip holding it.
    s += trace(member(var("deco"), "marker"));
    s += run(call(var("this"), "createTextField", {str("label"), num(200), num(0), num(0), num(50), num(20)}));
    s += setMember(var("label"), "text", str("hi"));
    s += trace(member(var("label"), "text"));
    s += setMember(var("label"), "_name", str("caption"));
    s += trace(var("label")) + trace(member(var("caption"), "text"));
    // A clip renamed to a text field's name comes first when its depth is lower.
    s += setMember(var("c2"), "_name", str("caption"));
    s += trace(member(var("caption"), "_target"));
    s += run(call(var("caption"), "removeMovieClip", {})) + trace(member(var("caption"), "text"));
    EXPECT_EQ(runWithBoxes(6, s), (Lines{"root", "hi", "undefined", "hi", "/caption", "hi"}));
}

// A placed video is an object of its own (Video), named, with a path and a transform, though
// nothing plays in it; a named shape beside it still gives its clip.
TEST(ChildLookup, APlacedVideoIsAVideoObjectByItsName) {
    swfw::MovieWriter m(8, 200, 200, 12);
    m.add(swfw::Tag{60, {3, 0, 1, 0, 160, 0, 120, 0, 0, 2}});  // DefineVideoStream 3: 160 x 120
    auto parsed = testing_support::load(m.build());
    const auto& video = testing_support::character<swf::VideoCharacter>(*parsed, 3, swf::CharacterKind::Video);
    EXPECT_EQ(video.width, 160);
    EXPECT_EQ(video.height, 120);
    swfw::Place screen{6, 3, false, fixtures::at(10, 20)};
    screen.name = "screen";
    m.add(swfw::placeObject2(screen));
    std::string s = trace(var("screen")) + trace(member(var("screen"), "_name")) + trace(member(var("screen"), "_x"));
    s += trace(member(var("screen"), "_width"));
    s += setMember(var("screen"), "_xscale", num(50)) + trace(member(var("screen"), "_width"));
    s += trace(op(var("screen"), var("Video"), "instanceOf")) + trace(member(member(var("screen"), "_parent"), "_target"));
    s += set("kept", var("screen"));
    s += setMember(var("screen"), "_name", str("tv")) + trace(var("tv")) + trace(var("screen"));
    m.add(swfw::doAction(swfw::assemble(s)));
    m.showFrame();
    // Once the timeline took it away a kept reference reads nothing of it.
    m.add(swfw::removeObject2(6));
    m.add(swfw::doAction(swfw::assemble(trace(member(var("kept"), "_name")) + trace(var("kept")) + trace(var("tv")))));
    m.showFrame();
    EXPECT_EQ(script_test::play(m.build(), 2)->traces(),
              (Lines{"_level0.screen", "screen", "10", "160", "80", "true", "/", "_level0.tv", "undefined", "undefined",
                     "[object Object]", "undefined"}));
}

}  // namespace
