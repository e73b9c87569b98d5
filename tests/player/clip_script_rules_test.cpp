// Rules of clips as scripts see them, each pinned by a case the original answers so: goto
// actions stop, sprites that end early wait on their last frame, WaitForFrame past frame
// 16000, clip events gated by the union of flags, rewinds over script depths, names of
// objects that are no clips, depth and property edge cases, bounds and points in twips.
#include <action_assembler.h>
#include <gtest/gtest.h>
#include <runtime/player.h>
#include <tags.h>

#include "avm1_script_test.h"
#include "fixtures.h"
#include "script_builder.h"
#include "test_movie.h"

namespace {

using namespace script;
using Lines = std::vector<std::string>;

swfw::Place place(uint16_t depth, uint16_t character, const swf::Matrix& m = swf::Matrix{}, const char* name = nullptr) {
    swfw::Place p;
    p.depth = depth;
    p.character = character;
    p.matrix = m;
    if (name) p.name = name;
    return p;
}

// `before` defines and places; then one frame per script.
std::unique_ptr<swf::Player> playFrames(const std::vector<swfw::Tag>& before, const std::vector<std::string>& frames,
                                        int version = 8, int steps = 0) {
    swfw::MovieWriter m(version, 200, 200, 12);
    for (const swfw::Tag& t : before) m.add(t);
    for (const std::string& f : frames) {
        m.add(swfw::doAction(swfw::assemble(f)));
        m.showFrame();
    }
    auto player = testing_support::play(m.build());
    for (int i = 1; i < (steps ? steps : int(frames.size())); ++i) player->stepFrame();
    return player;
}

swfw::Tag spriteTracing(uint16_t id, const std::vector<std::string>& frameTexts, bool ended, bool lastFrameShown) {
    std::vector<swfw::Tag> tags;
    for (size_t i = 0; i < frameTexts.size(); ++i) {
        tags.push_back(swfw::doAction(swfw::assemble(trace(str(frameTexts[i])))));
        if (i + 1 < frameTexts.size() || lastFrameShown) tags.push_back(swfw::Tag{1, {}});
    }
    swfw::Tag sprite = swfw::defineSprite(id, int(frameTexts.size()), tags);
    if (!ended) sprite.body.resize(sprite.body.size() - 2);  // without its End tag
    return sprite;
}

TEST(GotoRules, GotoFrameAndAKnownGotoLabelStop) {
    // GotoFrame 1 alone is gotoAndStop(2); an unknown label leaves the clip playing.
    auto player = playFrames({}, {"gotoFrame 1\ngotoLabel \"nowhere\"", "push \"frame 2\"\ntrace", "push \"frame 3\"\ntrace"}, 8, 3);
    EXPECT_EQ(player->traces(), Lines{"frame 2"});
    EXPECT_FALSE(player->isPlaying());
}

TEST(GotoRules, FractionsAreLabelsAndNoFrame) {
    auto player = playFrames({}, {run(call(var("_root"), "gotoAndStop", {num(2.5)})) + trace(var("_currentframe")) +
                                  run(call(var("_root"), "gotoAndStop", {num(4294967298.0)})) + trace(var("_currentframe")),
                                  "", ""});
    EXPECT_EQ(player->traces(), (Lines{"1", "2"}));
}

TEST(GotoRules, UndefinedAndFalseAreLabelsAndExactCaseWins) {
    swfw::MovieWriter m(8, 100, 100, 12);
    m.add(swfw::doAction(swfw::assemble("push undefined\ngotoFrame2\n" + trace(var("_currentframe")) + "push \"X\"\ngotoFrame2\n" +
                                        trace(var("_currentframe")) + "push false\ngotoFrame2\n" + trace(var("_currentframe")))));
    m.showFrame();
    for (const char* label : {"undefined", "x", "X", "false"}) {
        m.add(swfw::frameLabel(label));
        m.showFrame();
    }
    auto player = testing_support::play(m.build());
    EXPECT_EQ(player->traces(), (Lines{"2", "4", "5"}));
}

// A goto past the end shows the last frame without running its script; a scene's bias is
// added to a label's frame as to a number (gotoAndStop("Scene 2", "a") with "a" on frame 2).
TEST(GotoRules, PastTheEndRunsNoScriptAndScenesShiftLabels) {
    auto player = playFrames({}, {"push 99\ngotoFrame2\n" + trace(var("_currentframe")), trace(str("frame 2")), trace(str("frame 3"))}, 8, 1);
    EXPECT_EQ(player->traces(), Lines{"3"});

    swfw::MovieWriter m(8, 100, 100, 12);
    swfw::ActionWriter toScene;
    toScene.pushString("a").raw(0x9f, {2, 2, 0});  // stop, scene bias 2
    m.add(swfw::doAction(toScene.append(swfw::assemble(trace(var("_currentframe"))).build())));
    m.showFrame();
    for (const char* label : {"a", "", "", ""}) {
        if (*label) m.add(swfw::frameLabel(label));
        m.showFrame();
    }
    EXPECT_EQ(testing_support::play(m.build())->traces(), Lines{"4"});
}

TEST(SpriteLoading, SpritesEndingEarlyWaitOnTheirLastFrame) {
    // a: two frames and End (loops); b: no End; c: actions after its last ShowFrame.
    auto player = playFrames({spriteTracing(1, {"a1", "a2"}, true, true), spriteTracing(2, {"b1", "b2"}, false, true),
                              spriteTracing(3, {"c1", "c2"}, true, false), swfw::placeObject2(place(1, 1)),
                              swfw::placeObject2(place(2, 2)), swfw::placeObject2(place(3, 3))},
                             {"", "", "", ""});
    Lines traces = player->traces();
    EXPECT_EQ(std::count(traces.begin(), traces.end(), "a1"), 2);
    EXPECT_EQ(std::count(traces.begin(), traces.end(), "b1"), 1);
    EXPECT_EQ(std::count(traces.begin(), traces.end(), "c1"), 1);
    EXPECT_EQ(std::count(traces.begin(), traces.end(), "c2"), 1);  // the frame without ShowFrame still runs
}

TEST(WaitForFrame, FramesPast16000AreNeverLoaded) {
    auto waitFor = [](uint16_t frame) {
        swfw::ActionWriter w;
        w.raw(0x8a, {uint8_t(frame & 0xff), uint8_t(frame >> 8), 2});  // skip the push and trace
        w.pushString("loaded " + std::to_string(frame)).trace();
        return w;
    };
    swfw::MovieWriter m(8, 100, 100, 12);
    for (uint16_t f : {0, 5, 16000, 16001}) m.add(swfw::doAction(waitFor(f)));
    m.add(swfw::doAction(swfw::assemble(trace(str("end")))));
    m.showFrame();
    auto player = testing_support::play(m.build());
    EXPECT_EQ(player->traces(), (Lines{"loaded 0", "loaded 5", "loaded 16000", "end"}));
}

TEST(ClipEventFlags, AHandlerRunsOnlyForEventsInTheUnionOfFlags) {
    constexpr uint32_t kLoad = 1u << 0, kEnterFrame = 1u << 1;
    // The writer writes the union; a handler's flag missing from it is cut to what the union has.
    swfw::Tag tag = swfw::placeObject2(place(1, 1, swf::Matrix{}, "mc"), {{kLoad | kEnterFrame, swfw::assemble(trace(str("event")))}}, 8);
    // The union (after reserved u16) is the first flags word: clear enterFrame in it.
    const std::string name = "mc";
    auto at = std::search(tag.body.begin(), tag.body.end(), name.begin(), name.end()) - tag.body.begin();
    tag.body[size_t(at) + 3 + 2] &= uint8_t(~kEnterFrame);
    auto player = playFrames({swfw::defineSprite(1, 1, {swfw::Tag{1, {}}}), tag}, {"", ""});
    EXPECT_EQ(player->traces(), Lines{"event"});  // load only: no enterFrame in frame 2
}

TEST(Rewind, ScriptClipsAtTimelineDepthsGoAndThoseAtScriptDepthsStay) {
    const std::string make = run(call(var("_root"), "createEmptyMovieClip", {str("low"), num(-100)})) +
                             run(call(var("_root"), "createEmptyMovieClip", {str("high"), num(5)}));
    auto player = playFrames({}, {"push \"_root\"\ngetVariable\npush \"made\"\ngetMember\nif skip\n" + set("made", "push true\n") + make +
                                      "skip:",
                                  run(call(var("_root"), "gotoAndStop", {num(1)})) + trace(plus(var("low"), plus(str(" "), var("high"))))});
    EXPECT_EQ(player->traces(), Lines{"undefined _level0.high"});
}

TEST(ClipNames, NamedShapesGiveTheirClipAndForInListsWhatIsShown) {
    auto player = playFrames({fixtures::squareShape(1, 10, fixtures::rgb(0, 0, 0)), swfw::defineSprite(2, 1, {swfw::Tag{1, {}}}),
                              swfw::placeObject2(place(1, 1, swf::Matrix{}, "shape")), swfw::placeObject2(place(2, 2, swf::Matrix{}, "kid")),
                              swfw::placeObject2(place(3, 2))},
                             {set("v", num(1)) + trace(member(var("_root"), "shape")) + trace(member(member(var("_root"), "shape"), "v")) +
                              "push \"_root\"\ngetVariable\nenumerate2\nloop:\nstore 0\npush null\nequals2\nif done\npush r:0\ntrace\njump loop\ndone:"});
    EXPECT_EQ(player->traces(), (Lines{"_level0", "1", "v", "instance1", "kid", "shape"}));
}

TEST(ClipNames, ClipsAreNamedBeforeWhatTheyHold) {
    swfw::Tag inner = swfw::defineSprite(1, 1, {swfw::Tag{1, {}}});
    swfw::Tag outer = swfw::defineSprite(2, 1, {swfw::placeObject2(place(1, 1)), swfw::Tag{1, {}}});
    auto player = playFrames({inner, outer, swfw::placeObject2(place(1, 2))},
                             {trace(member(member(var("_root"), "instance1"), "instance2"))});
    EXPECT_EQ(player->traces(), Lines{"_level0.instance1.instance2"});
}

TEST(ClipDepths, SwapDepthsTakesPathsAndNaNAsZero) {
    const std::string make = run(call(var("_root"), "createEmptyMovieClip", {str("a"), num(1)})) +
                             run(call(var("_root"), "createEmptyMovieClip", {str("b"), num(2)}));
    auto player = playFrames({}, {make + run(call(var("a"), "swapDepths", {str("../b")})) + trace(call(var("a"), "getDepth", {})) +
                                  run(call(var("a"), "swapDepths", {str("nothing")})) + trace(call(var("a"), "getDepth", {})) +
                                  run(call(var("a"), "swapDepths", {"push undefined\n"})) + trace(call(var("a"), "getDepth", {}))});
    EXPECT_EQ(player->traces(), (Lines{"2", "0", "0"}));
}

TEST(ClipProperties, MirroredClipsReadPositiveScalesAndNamesIgnoreCase) {
    swf::Matrix mirrored;
    mirrored.a = -1;
    auto player = playFrames({swfw::defineSprite(1, 1, {swfw::Tag{1, {}}}), swfw::placeObject2(place(1, 1, mirrored, "m"))},
                             {trace(member(var("m"), "_xscale")) + trace(member(var("m"), "_yscale")) + trace(member(var("m"), "_rotation")) +
                              setMember(var("m"), "_X", num(12)) + trace(member(var("m"), "_x")) +
                              setMember(var("m"), "_xscale", num(50)) + trace(member(var("m"), "_rotation"))},
                             8);
    EXPECT_EQ(player->traces(), (Lines{"100", "100", "180", "12", "180"}));
}

TEST(ClipProperties, GetPropertyWithAnIndexThatIsNoNumberIsUndefined) {
    auto player = playFrames({}, {"push \"\", \"11ABC\"\ngetProperty\ntrace\npush \"\", -0.8\ngetProperty\ntrace"});
    EXPECT_EQ(player->traces(), (Lines{"undefined", "0"}));
}

TEST(TellTarget, AnUnknownTargetReadsTheRootsVariablesAndMovesTheRoot) {
    const std::string make = run(call(var("_root"), "createEmptyMovieClip", {str("kid"), num(1)})) + set("n", str("root")) +
                             setMember(var("kid"), "n", str("kid"));
    auto player = playFrames({}, {make + "setTarget \"kid\"\n" + trace(var("n")) + "setTarget \"missing\"\n" + trace(var("n")) +
                                      "push \"\", 11\ngetProperty\ntrace\ngotoFrame 1\nsetTarget \"\"",
                                  trace(str("root frame 2"))},
                             8, 1);
    EXPECT_EQ(player->traces(), (Lines{"kid", "root", "undefined", "root frame 2"}));  // the goto moved the root
    EXPECT_EQ(player->currentFrame(), 2);
}

TEST(RegisterClass, ConstructorsOrNullOnlyAndInstancesKnowTheirClass) {
    auto player = playFrames({swfw::defineSprite(1, 1, {swfw::Tag{1, {}}}), swfw::exportAssets({{1, "sym"}})},
                             {set("C", function("")) + trace(call(var("Object"), "registerClass", {str("sym"), num(3)})) +
                              trace(call(var("Object"), "registerClass", {str("sym"), var("C")})) +
                              run(call(var("_root"), "attachMovie", {str("sym"), str("x"), num(1)})) +
                              "push \"x\"\ngetVariable\npush \"__constructor__\"\ngetMember\npush \"C\"\ngetVariable\nstrictEquals\ntrace"});
    EXPECT_EQ(player->traces(), (Lines{"false", "true", "true"}));
}

TEST(RegisterClass, AButtonAttachedByARegisteredNameStaysAButton) {
    auto player = playFrames({swfw::defineSprite(1, 1, {swfw::Tag{1, {}}}), swfw::defineButton2(2, {{1, 1, 1, swf::Matrix{}}}),
                              swfw::exportAssets({{2, "btn"}})},
                             {set("C", function(trace(str("ctor")))) +
                              run(call(var("Object"), "registerClass", {str("btn"), var("C")})) +
                              run(call(var("_root"), "attachMovie", {str("btn"), str("b"), num(1)})) + trace("push \"b\"\ngetVariable\ntypeOf\n") +
                              trace(op(member(var("b"), "__proto__"), member(var("Button"), "prototype"), "strictEquals"))});
    EXPECT_EQ(player->traces(), (Lines{"object", "true"}));
}

TEST(StageObject, DisplayStateTakesTwoNamesAndTellsListeners) {
    const std::string listen = run(call(var("Stage"), "addListener", {object({{"onFullScreen", "function (full)\npush \"full\"\ngetVariable\ntrace\nend\n"}})}));
    auto player = playFrames({}, {listen + setMember(var("Stage"), "displayState", str("FULLSCREEN")) + trace(member(var("Stage"), "displayState")) +
                                  setMember(var("Stage"), "displayState", str("sideways")) + trace(member(var("Stage"), "displayState"))});
    EXPECT_EQ(player->traces(), (Lines{"true", "fullScreen", "fullScreen"}));
}

TEST(ClipGeometry, DuplicatesKeepTheDrawingAndPointsKeepWholeTwips) {
    const std::string draw = run(call(var("_root"), "createEmptyMovieClip", {str("d"), num(1)})) +
                             run(call(var("d"), "beginFill", {num(0)})) + run(call(var("d"), "lineTo", {num(100), num(0)})) +
                             run(call(var("d"), "lineTo", {num(0), num(100)})) + run(call(var("d"), "endFill", {}));
    const std::string point = set("p", object({{"x", num(1.234)}, {"y", num(0)}})) + run(call(var("d"), "localToGlobal", {var("p")}));
    auto player = playFrames({}, {draw + run(call(var("d"), "duplicateMovieClip", {str("e"), num(2)})) + trace(member(var("e"), "_width")) +
                                  point + trace(member(var("p"), "x"))});
    EXPECT_EQ(player->traces(), (Lines{"100", "1.25"}));
}

// getBounds(target) takes the clip's own box through the whole way to the target at once and
// boxes it there: a 10-px square in a clip turned 45 degrees is 10 px wide measured in that clip,
// not the 20 of its stage box boxed again.
TEST(ClipGeometry, BoundsInAnotherClipGoThroughTheWholeTransformAtOnce) {
    const std::string make = run(call(var("_root"), "createEmptyMovieClip", {str("p"), num(1)})) +
                             run(call(var("p"), "createEmptyMovieClip", {str("d"), num(1)})) +
                             run(call(member(var("p"), "d"), "beginFill", {num(0)})) +
                             run(call(member(var("p"), "d"), "lineTo", {num(10), num(0)})) +
                             run(call(member(var("p"), "d"), "lineTo", {num(10), num(10)})) +
                             run(call(member(var("p"), "d"), "lineTo", {num(0), num(10)})) +
                             run(call(member(var("p"), "d"), "endFill", {})) + setMember(var("p"), "_rotation", num(45));
    const std::string box = set("b", call(member(var("p"), "d"), "getBounds", {var("p")}));
    auto player = playFrames({}, {make + box + trace(minus(member(var("b"), "xMax"), member(var("b"), "xMin"))) +
                                  set("c", call(member(var("p"), "d"), "getBounds", {member(var("p"), "d")})) +
                                  trace(minus(member(var("c"), "xMax"), member(var("c"), "xMin")))});
    EXPECT_EQ(player->traces(), (Lines{"10", "10"}));
}

// Before SWF 6 a button is no script object: a clip inside it has the button's parent for
// _parent, and the button's name gives the clip holding it, as a shape's does.
TEST(ButtonObjects, Swf5ButtonsAreNoObjects) {
    for (int version : {5, 6}) {
        SCOPED_TRACE(version);
        swfw::Tag inner = swfw::defineSprite(1, 1, {swfw::doAction(swfw::assemble(trace(member(var("this"), "_parent")))), swfw::Tag{1, {}}});
        swfw::ButtonPart part;
        part.states = 15;
        part.character = 1;
        swfw::MovieWriter m(version, 100, 100, 12);
        m.add(inner);
        m.add(swfw::defineButton2(2, {part}));
        m.add(swfw::placeObject2(place(1, 2)));
        m.add(swfw::doAction(swfw::assemble(trace(member(var("_root"), "instance1")))));
        m.showFrame();
        auto player = testing_support::play(m.build());
        EXPECT_EQ(player->traces(), version == 5 ? (Lines{"_level0", "_level0"}) : (Lines{"_level0.instance1", "_level0.instance1"}));
    }
}

// Looping back replays frame 1 in the same order as the first time: the root's script, then
// the first frame of the child it makes again (the replay places the child before it gets to
// the script).
TEST(Rewind, ALoopRunsTheRootsScriptBeforeItsNewChildren) {
    swfw::MovieWriter m(8, 100, 100, 12);
    m.add(swfw::defineSprite(1, 1, {swfw::doAction(swfw::assemble(trace(str("child")))), swfw::Tag{1, {}}}));
    m.add(swfw::doAction(swfw::assemble(trace(str("root")))));
    m.add(swfw::placeObject2(place(1, 1)));
    m.showFrame();
    m.add(swfw::removeObject2(1));
    m.showFrame();
    auto player = testing_support::play(m.build());
    player->stepFrame();
    player->stepFrame();
    const Lines& t = player->traces();
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(Lines(t.begin() + 2, t.end()), Lines(t.begin(), t.begin() + 2));
    EXPECT_EQ(t[2], "root");
}

}  // namespace
