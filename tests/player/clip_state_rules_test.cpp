// Clip states and properties as the original reports them: the edge of an empty clip's bounds,
// getBounds targets given as paths, what swapDepths leaves to the timeline, level names, a
// clip the timeline removes while it has an unload handler, the state a failed or undone load
// leaves, setProperty values that change nothing, _width and _height on turned clips, init
// objects copied oldest first, and points that are no points.
#include <action_assembler.h>
#include <gtest/gtest.h>
#include <runtime/avm1/names.h>
#include <runtime/clip_properties.h>
#include <runtime/player.h>
#include <tags.h>

#include "avm1_script_test.h"
#include "fixtures.h"
#include "script_builder.h"
#include "test_movie.h"

namespace {

using namespace script;
using Lines = std::vector<std::string>;

swfw::Place placed(uint16_t depth, uint16_t character, const char* name) {
    swfw::Place p;
    p.depth = depth;
    p.character = character;
    p.matrix = swf::Matrix{};
    p.name = name;
    return p;
}

// `before` defines and places; `frames` are each a list of tags ending with the frame's script.
std::unique_ptr<swf::Player> playTags(int version, const std::vector<swfw::Tag>& before,
                                      const std::vector<std::vector<swfw::Tag>>& frames) {
    swfw::MovieWriter m(version, 200, 200, 12);
    for (const swfw::Tag& t : before) m.add(t);
    for (const auto& frame : frames) {
        for (const swfw::Tag& t : frame) m.add(t);
        m.showFrame();
    }
    auto player = testing_support::play(m.build());
    for (size_t i = 1; i < frames.size(); ++i) player->stepFrame();
    return player;
}

swfw::Tag script(const std::string& source) { return swfw::doAction(swfw::assemble(source)); }

std::string makeClip(const std::string& name, int depth) {
    return run(call(var("_root"), "createEmptyMovieClip", {str(name), num(depth)}));
}

TEST(EmptyClipBounds, OwnSpaceReadsExactTwipsAndAnotherClipAFloatFromSwf8) {
    const std::string body = makeClip("e", 1) + trace(member(call(var("e"), "getBounds", {}), "xMin")) +
                             trace(member(call(var("e"), "getBounds", {var("_root")}), "xMin")) +
                             trace(member(call(var("e"), "getRect", {var("e")}), "yMax"));
    EXPECT_EQ(script_test::traces(8, body), (Lines{"6710886.35", "6710886.4", "6710886.35"}));
    // A SWF 7 show never passed the edge through a float.
    EXPECT_EQ(script_test::traces(7, body), (Lines{"6710886.35", "6710886.35", "6710886.35"}));
}

TEST(BoundsTargets, PathsAndOtherValuesNameClipsFromTheClip) {
    const std::string square = makeClip("a", 1) + run(call(var("a"), "beginFill", {num(0)})) +
                               run(call(var("a"), "lineTo", {num(10), num(0)})) + run(call(var("a"), "lineTo", {num(10), num(10)})) +
                               run(call(var("a"), "endFill", {})) + setMember(var("a"), "_x", num(50)) +
                               run(call(var("a"), "createEmptyMovieClip", {str("undefined"), num(1)})) +
                               setMember(member(var("a"), "undefined"), "_x", num(-5));
    const auto xMinIn = [](const std::string& target) { return trace(member(call(var("a"), "getBounds", {target}), "xMin")); };
    EXPECT_EQ(script_test::traces(8, square + xMinIn(str("/")) + xMinIn(str("..")) + xMinIn("push undefined\n") + xMinIn(str("")) +
                                         xMinIn(str("nothing"))),
              (Lines{"50", "50", "5", "undefined", "undefined"}));
}

// Frame 2 removes depth 1 and moves depth 3: the clip a swap put on depth 1 goes, and b,
// swapped away and back to 3, keeps its place as a clip moved by script does.
TEST(SwapDepths, TheTimelineRemovesWhatASwapPutAtItsDepthsButMovesNoSwappedClip) {
    swf::Matrix moved;
    moved.tx = 40 * 20;
    swfw::Place move;
    move.depth = 3;
    move.move = true;
    move.matrix = moved;
    auto player = playTags(8, {swfw::defineSprite(1, 1, {swfw::Tag{1, {}}}), swfw::placeObject2(placed(1, 1, "a")),
                               swfw::placeObject2(placed(3, 1, "b")), swfw::placeObject2(placed(5, 1, "c"))},
                           {{script(run(call(var("c"), "swapDepths", {var("a")})) + run(call(var("a"), "swapDepths", {num(100)})) +
                                    run(call(var("b"), "swapDepths", {num(200)})) + run(call(var("b"), "swapDepths", {num(-16381)})))},
                            {swfw::removeObject2(1), swfw::placeObject2(move),
                             script(trace(var("a")) + trace(var("c")) + trace(member(var("b"), "_x")))}});
    EXPECT_EQ(player->traces(), (Lines{"_level0.a", "undefined", "0"}));
}

TEST(LevelNames, LevelsComeBeforeChildrenAndPrototypesAndReadDigitsAsFarAsTheyGo) {
    const std::string body = makeClip("_level0", 1) + trace(var("_level0")) + trace(member(var("_root"), "_level0")) +
                             trace(var("_flash0")) + trace(var("_level")) + trace(var("_level0a")) +
                             trace(var("_level4294967296")) + trace(var("_level2147483648")) +
                             setMember(member(var("MovieClip"), "prototype"), "_level1", num(99)) +
                             trace(member(var("_root"), "_level1")) + setMember(var("_root"), "_level0", num(50)) +
                             trace(member(var("_root"), "_level0"));
    EXPECT_EQ(script_test::traces(8, body),
              (Lines{"_level0", "_level0", "_level0", "_level0", "_level0", "_level0", "undefined", "undefined", "50"}));
}

TEST(LevelNames, ParsedWrappingAt32Bits) {
    int32_t level = 7;
    EXPECT_TRUE(swf::avm1::parseLevelName("_flash12x", swf::avm1::NameRule{true}, level));
    EXPECT_EQ(level, 12);
    EXPECT_TRUE(swf::avm1::parseLevelName("_LEVEL4294967297", swf::avm1::NameRule{false}, level));
    EXPECT_EQ(level, 1);
    EXPECT_TRUE(swf::avm1::parseLevelName("_level-3", swf::avm1::NameRule{true}, level));
    EXPECT_EQ(level, -3);
    EXPECT_FALSE(swf::avm1::parseLevelName("_LEVEL1", swf::avm1::NameRule{true}, level));
    EXPECT_FALSE(swf::avm1::parseLevelName("_leve", swf::avm1::NameRule{true}, level));
}

// A clip the timeline removes while it has an unload handler moves to depth -depth-1 (1 reads
// -16386), what it holds unloads and then it, before the frame's scripts, which still find it;
// it goes when the next frame starts.
TEST(TimelineRemoval, AClipWithAnUnloadHandlerStaysUntilItsUnloadEventRan) {
    const std::string handler = "function ()\n" + trace(plus(str("unload "), call(var("this"), "getDepth", {}))) + "end\n";
    auto player = playTags(8, {swfw::defineSprite(1, 1, {swfw::Tag{1, {}}}), swfw::placeObject2(placed(1, 1, "c")),
                               swfw::placeObject2(placed(2, 1, "plain"))},
                           {{script(setMember(var("c"), "onUnload", handler) + run(call(var("c"), "createEmptyMovieClip", {str("kid"), num(1)})) +
                                    setMember(member(var("c"), "kid"), "onUnload", function(trace(str("kid unload")))))},
                            {swfw::removeObject2(1), swfw::removeObject2(2),
                             script(trace(call(var("c"), "getDepth", {})) + trace(var("plain")))},
                            {script(trace(var("c")))}});
    EXPECT_EQ(player->traces(), (Lines{"kid unload", "unload -16386", "-16386", "undefined", "undefined"}));
}

TEST(LoadStates, AFailedLoadReadsMinusOneAndAnUndoneOneTheParentsVersion) {
    const std::string read = trace(member(var("m"), "_framesloaded")) + trace(member(var("m"), "_totalframes")) +
                             trace(call(var("m"), "getSWFVersion", {})) + trace(call(var("m"), "getBytesTotal", {})) +
                             trace(call(var("m"), "getBytesLoaded", {})) + trace(member(var("m"), "_currentframe"));
    auto loaded = script_test::runFrames(9, {makeClip("m", 1) + run(call(var("m"), "loadMovie", {str("missing.swf")})),
                                             read + run(call(var("m"), "unloadMovie", {})), read});
    EXPECT_EQ(loaded->traces(), (Lines{"-1", "0", "-1", "-1", "0", "0", "0", "0", "9", "0", "0", "0"}));
}

TEST(SetProperty, UndefinedNullAndNaNChangeNoNumberAndAnObjectTurnsTheFocusRectOff) {
    const auto setAndRead = [](const std::string& index, const std::string& value) {
        return "push \"\", " + index + "\n" + value + "setProperty\npush \"\", " + index + "\ngetProperty\ntrace\n";
    };
    const std::string body = setAndRead("0", num(7)) + setAndRead("0", "push undefined\n") + setAndRead("0", "push null\n") +
                             setAndRead("6", num(50)) + setAndRead("6", "push undefined\n") + setAndRead("17", num(1)) +
                             setAndRead("17", str("abc")) + setAndRead("17", object({{"valueOf", function(num(1) + "return\n")}}));
    EXPECT_EQ(script_test::traces(6, body), (Lines{"7", "7", "7", "50", "50", "true", "true", "false"}));
}

TEST(ClipSize, WidthOfATurnedClipScalesAlongTheSideThatLiesAcross) {
    const double quarter = 90;
    // Unturned: only the scale along the side set changes.
    swf::ClipScales s = swf::scalesForSize(true, 50, 100, 40, 0, 1, 0.5);
    EXPECT_DOUBLE_EQ(s.x, 0.5);
    EXPECT_DOUBLE_EQ(s.y, 0.5);
    s = swf::scalesForSize(false, 80, 100, 40, 0, 1, 0.5);
    EXPECT_DOUBLE_EQ(s.x, 1);
    EXPECT_DOUBLE_EQ(s.y, 2);
    // A quarter turn: _width scales along the content's height, and the other scale takes the
    // old one of the side set (a second _width = 200 then shrinks the height too).
    s = swf::scalesForSize(true, 200, 200, 233.05, quarter, 1, 1);
    EXPECT_NEAR(s.x, 200 / 233.05, 1e-9);
    EXPECT_NEAR(s.y, 1, 1e-9);
    s = swf::scalesForSize(true, 200, 200, 233.05, quarter, s.x, s.y);
    EXPECT_NEAR(s.y, 200 / 233.05, 1e-9);
    // Nothing to measure: both scales go to 0.
    s = swf::scalesForSize(true, 20, 0, 0, 0, 1, 1);
    EXPECT_EQ(s.x, 0);
    EXPECT_EQ(s.y, 0);
}

TEST(ClipSize, WidthSetOnAnEmptyClipLeavesItsContentUnseen) {
    const std::string body = makeClip("e", 1) + setMember(var("e"), "_width", num(20)) + run(call(var("e"), "beginFill", {num(0)})) +
                             run(call(var("e"), "lineTo", {num(40), num(0)})) + run(call(var("e"), "lineTo", {num(40), num(30)})) +
                             run(call(var("e"), "endFill", {})) + trace(member(var("e"), "_width")) + trace(member(var("e"), "_yscale"));
    EXPECT_EQ(script_test::traces(8, body), (Lines{"0", "0"}));
}

// A clip's box comes from its shapes through all the turns down to them: turns that cancel out
// leave a 10-px square 10 px wide, where boxing each level's box would give 20.
TEST(ClipSize, NestedTurnsThatCancelLeaveTheBoxOfTheShapes) {
    const std::string body = makeClip("p", 1) + run(call(var("p"), "createEmptyMovieClip", {str("q"), num(1)})) +
                             run(call(member(var("p"), "q"), "createEmptyMovieClip", {str("r"), num(1)})) +
                             set("r", member(member(var("p"), "q"), "r")) + run(call(var("r"), "beginFill", {num(0)})) +
                             run(call(var("r"), "lineTo", {num(10), num(0)})) + run(call(var("r"), "lineTo", {num(10), num(10)})) +
                             run(call(var("r"), "lineTo", {num(0), num(10)})) + run(call(var("r"), "endFill", {})) +
                             setMember(var("r"), "_rotation", num(-45)) + setMember(member(var("p"), "q"), "_rotation", num(45)) +
                             trace(member(var("p"), "_width"));
    EXPECT_EQ(script_test::traces(8, body), (Lines{"10"}));
}

TEST(ClipSize, AnAttachedBitmapMeasuresItsPixels) {
    const std::string bitmap = "push 4294967295, false, 12, 10, 4\n" + member(var("flash"), "display") + str("BitmapData") + "newMethod\n";
    const std::string body = makeClip("b", 1) + run(call(var("b"), "attachBitmap", {bitmap, num(1)})) +
                             trace(member(var("b"), "_width")) + trace(member(var("b"), "_height"));
    EXPECT_EQ(script_test::traces(8, body), (Lines{"10", "12"}));
}

TEST(InitObjects, PropertiesAreCopiedOldestFirst) {
    const std::string setter = "function ()\n" + trace(plus(str("set "), member(var("this"), "_x"))) + "end\n";
    const std::string cls = set("C", function("")) + setMember(var("C"), "prototype", construct("MovieClip", {})) +
                            run(call(member(var("C"), "prototype"), "addProperty", {str("early"), function(""), setter})) +
                            run(call(member(var("C"), "prototype"), "addProperty", {str("late"), function(""), setter})) +
                            run(call(var("Object"), "registerClass", {str("sym"), var("C")}));
    // The copy runs backwards through {early, _x, late}: late's setter runs before _x is set.
    const std::string init = object({{"early", num(1)}, {"_x", num(5)}, {"late", num(1)}});
    auto player = playTags(8, {swfw::defineSprite(1, 1, {swfw::Tag{1, {}}}), swfw::exportAssets({{1, "sym"}})},
                           {{script(cls + run(call(var("_root"), "attachMovie", {str("sym"), str("k"), num(1), init})))}});
    EXPECT_EQ(player->traces(), (Lines{"set 0", "set 5"}));
}

TEST(Points, OnlyOwnNumbersAreConverted) {
    const std::string body = makeClip("p", 1) + setMember(var("p"), "_x", num(100)) +
                             setMember(member(var("Object"), "prototype"), "y", num(10)) +
                             set("a", object({{"x", num(10)}})) + run(call(var("p"), "localToGlobal", {var("a")})) + trace(member(var("a"), "x")) +
                             set("b", object({{"x", num(10)}, {"y", str("10")}})) + run(call(var("p"), "localToGlobal", {var("b")})) +
                             trace(member(var("b"), "x")) + set("c", object({{"x", num(10)}, {"y", num(10)}})) +
                             run(call(var("p"), "localToGlobal", {var("c")})) + trace(member(var("c"), "x"));
    EXPECT_EQ(script_test::traces(8, body), (Lines{"10", "10", "110"}));
}

TEST(TransformObjects, NoClipMakesNoTransform) {
    const auto newTransform = [](const std::string& args, int count) {
        return args + "push " + std::to_string(count) + "\n" + member(var("flash"), "geom") + str("Transform") + "newMethod\n";
    };
    const std::string body = makeClip("t", 1) + trace(newTransform("", 0)) + trace(newTransform(var("_root"), 1)) +
                             trace(member(member(newTransform(var("t"), 1), "matrix"), "tx"));
    EXPECT_EQ(script_test::traces(8, body), (Lines{"undefined", "[object Object]", "0"}));
}

// A Sound made on a path keeps it as written and finds its clip from the script using it.
TEST(SoundTargets, ARelativePathIsReadFromTheRunningScriptsClip) {
    const std::string body = makeClip("kid", 1) + run(call(var("kid"), "createEmptyMovieClip", {str("n"), num(1)})) +
                             set("s", construct("Sound", {str("n")})) + trace(call(var("s"), "getVolume", {})) +
                             trace(call(construct("Sound", {str("kid.n")}), "getVolume", {})) + "setTarget \"kid\"\n" +
                             trace(call(member(var("_root"), "s"), "getVolume", {})) + "setTarget \"\"\n";
    EXPECT_EQ(script_test::traces(8, body), (Lines{"undefined", "100", "100"}));
}

}  // namespace
