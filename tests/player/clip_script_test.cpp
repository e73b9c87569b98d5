// Clips as script objects: clip events and their order, the display properties and their
// rounding, the methods that make, move and measure clips, and input reaching scripts.
#include <gtest/gtest.h>

#include "avm1_script_test.h"
#include "fixtures.h"

#include <runtime/avm1/vm.h>
#include <runtime/clip_object.h>
#include <runtime/script_runtime.h>

namespace {

using script_test::Lines;

constexpr uint32_t kLoad = 1u << 0, kEnterFrame = 1u << 1, kUnload = 1u << 2, kMouseDown = 1u << 4,
                   kInitialize = 1u << 9, kConstruct = 1u << 18;

swfw::ActionWriter traceText(const std::string& text) { return swfw::assemble("push \"" + text + "\"\ntrace"); }

// A 10-pixel square sprite (id 2, exported as "box"); `place` decides how it is placed, then
// one DoAction per entry of `frames`.
struct ClipMovie {
    int version = 6;
    std::vector<swfw::Tag> place;
    std::vector<std::string> frames;
    std::vector<swfw::Tag> laterTags;  // in frame 2, before its script

    std::unique_ptr<script_test::ScriptRun> run(int steps) const {
        swfw::MovieWriter m(version, 200, 200, 12);
        m.add(fixtures::squareShape(1, 10, fixtures::rgb(0, 0, 200)));
        m.add(swfw::defineSprite(2, 1, {swfw::placeObject2({1, 1, false, fixtures::at(0, 0)}), swfw::Tag{1, {}}}));
        m.add(swfw::exportAssets({{2, "box"}}));
        for (const swfw::Tag& t : place) m.add(t);
        for (size_t i = 0; i < frames.size(); ++i) {
            if (i == 1)
                for (const swfw::Tag& t : laterTags) m.add(t);
            m.add(swfw::doAction(swfw::assemble(frames[i])));
            m.showFrame();
        }
        return script_test::play(m.build(), steps);
    }
};

swfw::Place named(uint16_t depth, const char* name, float x = 0, float y = 0, float scale = 1) {
    swfw::Place p{depth, 2, false, fixtures::at(x, y, scale)};
    p.name = name;
    return p;
}

TEST(ClipEvents, ClipActionsRunInTheOriginalsOrderAndStopWithTheClip) {
    ClipMovie movie;
    movie.place = {swfw::placeObject2(named(1, "a"), {{kInitialize, traceText("init")}, {kConstruct, traceText("construct")},
                                                      {kLoad, traceText("load")}, {kEnterFrame, traceText("enter")},
                                                      {kUnload, traceText("unload")}}, 6)};
    movie.frames = {"push \"frame 1\"\ntrace", "push \"frame 2\"\ntrace", "push \"frame 3\"\ntrace"};
    auto run = movie.run(3);
    EXPECT_EQ(run->traces(), (Lines{"init", "construct", "load", "frame 1", "enter", "frame 2", "enter", "frame 3"}));

    // Removed in frame 2: the unload handler runs, no enterFrame after it.
    movie.laterTags = {swfw::removeObject2(1)};
    run = movie.run(3);
    EXPECT_EQ(run->traces(), (Lines{"init", "construct", "load", "frame 1", "unload", "frame 2", "frame 3"}));
}

TEST(ClipEvents, Swf5FilesStoreSixteenBitFlags) {
    ClipMovie movie;
    movie.version = 5;
    movie.place = {swfw::placeObject2(named(1, "a"), {{kLoad | kEnterFrame, traceText("event")}}, 5)};
    movie.frames = {"push 1\ntrace", "push 2\ntrace"};
    EXPECT_EQ(movie.run(2)->traces(), (Lines{"event", "1", "event", "2"}));
}

TEST(ClipEvents, ChildrenStepBeforeParentsAndEnterFrameMethodsRunPerClip) {
    // a.onEnterFrame = function () { trace(this._name); }; b likewise (b newer: it runs first).
    ClipMovie movie;
    movie.place = {swfw::placeObject2(named(1, "a")), swfw::placeObject2(named(2, "b"))};
    movie.frames = {R"(
        function report()
          push "this"
          getVariable
          push "_name"
          getMember
          trace
        end
        push "a"
        getVariable
        push "onEnterFrame", "report"
        getVariable
        setMember
        push "b"
        getVariable
        push "onEnterFrame", "report"
        getVariable
        setMember
    )", "push \"root 2\"\ntrace"};
    EXPECT_EQ(movie.run(2)->traces(), (Lines{"b", "a", "root 2"}));
}

TEST(ClipEvents, InputReachesClipsAndListeners) {
    ClipMovie movie;
    movie.place = {swfw::placeObject2(named(1, "a", 20, 20), {{kMouseDown, traceText("clip down")}}, 6)};
    // Mouse.addListener({onMouseDown: function () { trace(_root.a._xmouse); }})
    movie.frames = {R"(
        push "onMouseDown"
        function ()
          push "_root"
          getVariable
          push "a"
          getMember
          push "_xmouse"
          getMember
          trace
        end
        push 1
        initObject
        push 1, "Mouse"
        getVariable
        push "addListener"
        callMethod
        pop
    )"};
    auto run = movie.run(1);
    run->player->pointerMoved(35, 40);
    run->player->pointerDown();
    EXPECT_EQ(run->traces(), (Lines{"clip down", "15"}));
}

TEST(ClipEvents, DraggedClipsFollowThePointerWithinTheirBounds) {
    // a.startDrag(); ... a.stopDrag(); a.startDrag(true, 0, 0, 30, 30)
    ClipMovie movie;
    movie.place = {swfw::placeObject2(named(1, "a", 20, 20))};
    movie.frames = {"push 0, \"a\"\ngetVariable\npush \"startDrag\"\ncallMethod\npop"};
    auto run = movie.run(1);
    auto position = [&] {
        swf::avm1::Vm& vm = run->player->scripts().vm();
        swf::avm1::Value a = vm.getMember(run->player->scripts().objectFor(run->player->scripts().root()), "a");
        return vm.toString(vm.getMember(a, "_x")) + "," + vm.toString(vm.getMember(a, "_y"));
    };
    run->player->pointerMoved(50, 60);
    EXPECT_EQ(position(), "70,80");  // the offset from where the pointer was (0, 0) is kept
    swf::avm1::Vm& vm = run->player->scripts().vm();
    swf::avm1::Value a = vm.getMember(run->player->scripts().objectFor(run->player->scripts().root()), "a");
    vm.callMethod(a, "stopDrag", swf::avm1::Arguments());
    run->player->pointerMoved(10, 10);
    EXPECT_EQ(position(), "70,80");
    swf::avm1::Value args[] = {swf::avm1::Value::boolean(true), swf::avm1::Value::number(0), swf::avm1::Value::number(0),
                               swf::avm1::Value::number(30), swf::avm1::Value::number(30)};
    vm.callMethod(a, "startDrag", swf::avm1::Arguments(args, 5));
    EXPECT_EQ(position(), "10,10");
    run->player->pointerMoved(100, 5);
    EXPECT_EQ(position(), "30,5");
}

// The value read back after setting each property of clip "a" placed at (0, 0).
Lines afterSetting(const std::string& property, const std::string& pushValue, int version = 6) {
    ClipMovie movie;
    movie.version = version;
    movie.place = {swfw::placeObject2(named(1, "a"))};
    movie.frames = {"push \"a\"\ngetVariable\npush \"" + property + "\", " + pushValue +
                    "\nsetMember\npush \"a\"\ngetVariable\npush \"" + property + "\"\ngetMember\ntrace"};
    return movie.run(1)->traces();
}

TEST(ClipProperties, PositionsKeepWholeTwipsAndAlphaWholeSteps) {
    EXPECT_EQ(afterSetting("_x", "10.123"), Lines{"10.1"});
    EXPECT_EQ(afterSetting("_y", "-3.33"), Lines{"-3.3"});  // toward zero
    EXPECT_EQ(afterSetting("_alpha", "2"), Lines{"1.953125"});
    EXPECT_EQ(afterSetting("_x", "\"abc\""), Lines{"0"});  // NaN: ignored
    EXPECT_EQ(afterSetting("_x", "undefined"), Lines{"0"});
}

TEST(ClipProperties, ScaleAndRotationAreKeptAsSet) {
    EXPECT_EQ(afterSetting("_xscale", "-50"), Lines{"-50"});
    EXPECT_EQ(afterSetting("_rotation", "270"), Lines{"-90"});
    EXPECT_EQ(afterSetting("_rotation", "-190"), Lines{"170"});
    EXPECT_EQ(afterSetting("_visible", "0"), Lines{"false"});
    EXPECT_EQ(afterSetting("_width", "25"), Lines{"25"});
}

TEST(ClipProperties, BlendModesByNameOrFileNumber) {
    EXPECT_EQ(afterSetting("blendMode", "\"layer\""), Lines{"layer"});
    EXPECT_EQ(afterSetting("blendMode", "\"lAyEr\""), Lines{"normal"});  // names as written only
    EXPECT_EQ(afterSetting("blendMode", "259"), Lines{"multiply"});      // the low byte: 3
    EXPECT_EQ(afterSetting("blendMode", "15"), Lines{"normal"});
}

TEST(ClipProperties, RotationTurnsTheMatrixAndWidthFollows) {
    // a._rotation = 90; a._xscale = 200; trace(a._width); trace(a._height); trace(a._xscale)
    ClipMovie movie;
    movie.place = {swfw::placeObject2(named(1, "a"))};
    movie.frames = {R"(
        push "a"
        getVariable
        push "_rotation", 90
        setMember
        push "a"
        getVariable
        push "_xscale", 200
        setMember
        push "a"
        getVariable
        push "_width"
        getMember
        trace
        push "a"
        getVariable
        push "_height"
        getMember
        trace
        push "a"
        getVariable
        push "_xscale"
        getMember
        trace
    )"};
    EXPECT_EQ(movie.run(1)->traces(), (Lines{"10", "20", "200"}));
}

TEST(ClipMethods, AttachMovieRunsTheRegisteredClassAndKeepsTheInitObject) {
    // function Box() { trace("ctor " + this.n); } Object.registerClass("box", Box);
    // var c = attachMovie("box", "c", 5, {n: 7}); trace(c); trace(c._name); trace(c instanceof Box)
    ClipMovie movie;
    movie.frames = {R"(
        function Box()
          push "ctor ", "this"
          getVariable
          push "n"
          getMember
          add2
          trace
        end
        push "Box"
        getVariable
        push "box", 2, "Object"
        getVariable
        push "registerClass"
        callMethod
        pop
        push "c", "n", 7, 1
        initObject
        push 5, "c", "box", 4, "this"
        getVariable
        push "attachMovie"
        callMethod
        setVariable
        push "c"
        getVariable
        trace
        push "c"
        getVariable
        push "_name"
        getMember
        trace
        push "c"
        getVariable
        push "Box"
        getVariable
        instanceOf
        trace
    )"};
    EXPECT_EQ(movie.run(1)->traces(), (Lines{"ctor 7", "_level0.c", "c", "true"}));
}

TEST(ClipMethods, DuplicateSwapAndRemove) {
    // a._x = 30; a.duplicateMovieClip("b", 3); trace(b._x); trace(getNextHighestDepth());
    // b.swapDepths(10); trace(b.getDepth()); trace(getInstanceAtDepth(10)); b.removeMovieClip(); trace(b);
    // a.removeMovieClip(); trace(a)   (a timeline clip at a negative depth stays)
    ClipMovie movie;
    movie.place = {swfw::placeObject2(named(1, "a"))};
    movie.frames = {R"(
        push "a"
        getVariable
        push "_x", 30
        setMember
        push 3, "b", 2, "a"
        getVariable
        push "duplicateMovieClip"
        callMethod
        pop
        push "b"
        getVariable
        push "_x"
        getMember
        trace
        push 0, "this"
        getVariable
        push "getNextHighestDepth"
        callMethod
        trace
        push 10, 1, "b"
        getVariable
        push "swapDepths"
        callMethod
        pop
        push 0, "b"
        getVariable
        push "getDepth"
        callMethod
        trace
        push 10, 1, "this"
        getVariable
        push "getInstanceAtDepth"
        callMethod
        trace
        push 0, "b"
        getVariable
        push "removeMovieClip"
        callMethod
        pop
        push "b"
        getVariable
        trace
        push 0, "a"
        getVariable
        push "removeMovieClip"
        callMethod
        pop
        push "a"
        getVariable
        trace
    )"};
    EXPECT_EQ(movie.run(1)->traces(), (Lines{"30", "4", "10", "_level0.b", "undefined", "_level0.a"}));
}

TEST(ClipMethods, ScriptDepthsWrapAsIntegersAndReachFar) {
    // b = createEmptyMovieClip("b", 2130690044); trace(b.getDepth()); b.swapDepths(4294967297); trace(b.getDepth())
    ClipMovie movie;
    movie.frames = {R"(
        push "b", 2130690044, "b", 2, "this"
        getVariable
        push "createEmptyMovieClip"
        callMethod
        setVariable
        push 0, "b"
        getVariable
        push "getDepth"
        callMethod
        trace
        push 4294967297, 1, "b"
        getVariable
        push "swapDepths"
        callMethod
        pop
        push 0, "b"
        getVariable
        push "getDepth"
        callMethod
        trace
        push 2130690045, "c", 2, "this"
        getVariable
        push "createEmptyMovieClip"
        callMethod
        trace
    )"};
    EXPECT_EQ(movie.run(1)->traces(), (Lines{"2130690044", "1", "undefined"}));
}

TEST(ClipMethods, BoundsPointsAndHits) {
    // a at (20, 30) scaled 200 %: getBounds(_root), localToGlobal, hitTest with and without shapes.
    ClipMovie movie;
    movie.place = {swfw::placeObject2(named(1, "a", 20, 30, 2))};
    movie.frames = {R"(
        push "r", "_root"
        getVariable
        push 1, "a"
        getVariable
        push "getBounds"
        callMethod
        setVariable
        push "r"
        getVariable
        push "xMin"
        getMember
        push " ", "r"
        getVariable
        push "yMax"
        getMember
        add2
        add2
        trace
        push "p", "x", 5, "y", 5, 2
        initObject
        setVariable
        push "p"
        getVariable
        push 1, "a"
        getVariable
        push "localToGlobal"
        callMethod
        pop
        push "p"
        getVariable
        push "x"
        getMember
        push " ", "p"
        getVariable
        push "y"
        getMember
        add2
        add2
        trace
        push true, 45, 25, 3, "a"
        getVariable
        push "hitTest"
        callMethod
        trace
        push true, 45, 55, 3, "a"
        getVariable
        push "hitTest"
        callMethod
        trace
    )"};
    EXPECT_EQ(movie.run(1)->traces(), (Lines{"20 50", "30 40", "true", "false"}));
}

TEST(ScriptedMovies, TheClockTicksWithTheClock) {
    auto bytes = fixtures::clockMovie();
    script_test::ScriptRun run;
    run.host.startUtcMs = 981152406000.0;  // 22:20:06 UTC
    std::string error;
    run.player = swf::Player::load(bytes.data(), bytes.size(), error, &run.host);
    ASSERT_TRUE(run.player) << error;
    for (int f = 0; f < 30; ++f) {
        run.host.elapsedMs += 1000.0 / 12;
        run.player->stepFrame();
    }
    EXPECT_EQ(run.traces(), (Lines{"22:20:6", "22:20:7", "22:20:8"}));
}

}  // namespace
