// Frame scripts: frame control, labels, GotoFrame2, targets, constant pool, branches, trace.
#include <runtime/runtime_limits.h>
#include <parse/load_context.h>

#include <runtime/avm1/interpreter.h>
#include <runtime/clip_object.h>
#include <runtime/script_runtime.h>

#include "fixtures.h"
#include "test_movie.h"

namespace {

using testing_support::play;

// A root timeline of `frames` frames, frame i labelled "f<i+1>", each tracing its number, with
// the given script added to frame 1 and a sprite "kid" of three frames at depth 1.
std::vector<uint8_t> scriptedMovie(const swfw::ActionWriter& frameOneScript, int frames = 5) {
    swfw::MovieWriter m(6, 50, 50, 12);
    m.add(swfw::scriptLimits(256, 1));  // endless loops below end after a second, not fifteen
    m.add(fixtures::squareShape(1, 10, fixtures::rgb(0, 0, 0)));
    std::vector<swfw::Tag> kid;
    for (int f = 0; f < 3; ++f) {
        kid.push_back(swfw::frameLabel("k" + std::to_string(f + 1)));
        kid.push_back(swfw::doAction(swfw::ActionWriter().pushString("kid " + std::to_string(f + 1)).trace()));
        kid.push_back(swfw::Tag{1, {}});
    }
    m.add(swfw::defineSprite(2, 3, kid));
    swfw::Place p{1, 2, false, fixtures::at(0, 0)};
    p.name = "kid";
    m.add(swfw::placeObject2(p));
    for (int f = 0; f < frames; ++f) {
        m.add(swfw::frameLabel("f" + std::to_string(f + 1)));
        swfw::ActionWriter a;
        a.pushString("root " + std::to_string(f + 1)).trace();
        m.add(swfw::doAction(a));
        if (f == 0) m.add(swfw::doAction(frameOneScript));
        m.showFrame();
    }
    return m.build();
}

std::string lastTrace(const swf::Player& p) { return p.traces().empty() ? "" : p.traces().back(); }

TEST(Avm1, StopPlayAndFrameSteps) {
    auto player = play(scriptedMovie(swfw::ActionWriter().stop()));
    ASSERT_TRUE(player);
    EXPECT_FALSE(player->isPlaying());
    player->stepFrame();
    EXPECT_EQ(player->currentFrame(), 1);

    auto next = play(scriptedMovie(swfw::ActionWriter().nextFrame()));
    EXPECT_EQ(next->currentFrame(), 2);
    EXPECT_FALSE(next->isPlaying()) << "nextFrame stops";
    EXPECT_EQ(lastTrace(*next), "root 2");
}

TEST(Avm1, GotoByNumberAndLabel) {
    auto byNumber = play(scriptedMovie(swfw::ActionWriter().gotoFrame(3)));  // 0-based in the action
    EXPECT_EQ(byNumber->currentFrame(), 4);
    EXPECT_FALSE(byNumber->isPlaying()) << "GotoFrame stops, as gotoAndStop";
    std::vector<std::string> expected = {"kid 1", "root 1", "root 4"};
    EXPECT_EQ(byNumber->traces(), expected) << "skipped frames run no scripts";

    auto byLabel = play(scriptedMovie(swfw::ActionWriter().gotoLabel("F3").stop()));
    EXPECT_EQ(byLabel->currentFrame(), 3);
    EXPECT_FALSE(byLabel->isPlaying());

    auto unknown = play(scriptedMovie(swfw::ActionWriter().gotoLabel("nowhere")));
    EXPECT_EQ(unknown->currentFrame(), 1);
}

TEST(Avm1, GotoFrame2WithNumbersLabelsAndPaths) {
    auto number = play(scriptedMovie(swfw::ActionWriter().pushInt(5).gotoFrame2(false)));
    EXPECT_EQ(number->currentFrame(), 5);
    EXPECT_FALSE(number->isPlaying()) << "gotoAndStop";

    auto label = play(scriptedMovie(swfw::ActionWriter().pushString("f2").gotoFrame2(true)));
    EXPECT_EQ(label->currentFrame(), 2);
    EXPECT_TRUE(label->isPlaying());

    auto path = play(scriptedMovie(swfw::ActionWriter().pushString("/kid:k3").gotoFrame2(false)));
    const swf::Clip* kid = path->root().childByName("kid");
    ASSERT_TRUE(kid);
    EXPECT_EQ(kid->currentFrame(), 2);
    EXPECT_FALSE(kid->isPlaying());
    EXPECT_EQ(path->currentFrame(), 1);

    auto numeric = play(scriptedMovie(swfw::ActionWriter().pushString("3").gotoFrame2(false)));
    EXPECT_EQ(numeric->currentFrame(), 3);
}

TEST(Avm1, SetTargetDirectsFrameControlToSprites) {
    auto player = play(scriptedMovie(swfw::ActionWriter().setTarget("kid").gotoFrame(1).stop().setTarget("").stop()));
    ASSERT_TRUE(player);
    const swf::Clip* kid = player->root().childByName("kid");
    ASSERT_TRUE(kid);
    EXPECT_EQ(kid->currentFrame(), 1);
    EXPECT_FALSE(kid->isPlaying());
    EXPECT_FALSE(player->isPlaying()) << "the empty target returns to the script's own clip";

    auto viaStack = play(scriptedMovie(swfw::ActionWriter().pushString("_root.kid").setTarget2().stop()));
    EXPECT_FALSE(viaStack->root().childByName("kid")->isPlaying());
    EXPECT_TRUE(viaStack->isPlaying());

    // Under a target that does not exist the frame actions act on the root, as the original's do.
    auto missing = play(scriptedMovie(swfw::ActionWriter().setTarget("/ghost").stop()));
    EXPECT_FALSE(missing->isPlaying());
}

TEST(Avm1, ResolvesRelativeAndAbsolutePaths) {
    auto player = play(scriptedMovie(swfw::ActionWriter()));
    ASSERT_TRUE(player);
    swf::Clip& root = const_cast<swf::Clip&>(player->root());
    swf::Clip* kid = root.childByName("kid");
    swf::ScriptRuntime& scripts = player->scripts();
    auto resolve = [&](swf::Clip& base, const char* path) -> swf::Clip* {
        swf::avm1::Value v = scripts.vm().interpreter().resolvePath(scripts.objectFor(base), path);
        auto* o = dynamic_cast<swf::ClipObject*>(v.asObject());
        return o ? o->clip() : nullptr;
    };
    EXPECT_EQ(resolve(root, "kid"), kid);
    EXPECT_EQ(resolve(root, "/kid"), kid);
    EXPECT_EQ(resolve(root, "_level0.kid"), kid);
    EXPECT_EQ(resolve(*kid, ".."), &root);
    EXPECT_EQ(resolve(*kid, "_parent"), &root);
    EXPECT_EQ(resolve(*kid, "../kid"), kid);
    EXPECT_EQ(resolve(*kid, "this"), kid);
    EXPECT_EQ(resolve(root, "kid/missing"), nullptr);
    EXPECT_EQ(resolve(root, "_parent"), nullptr);
}

TEST(Avm1, ConstantPoolBranchesArithmeticAndVariables) {
    // counter = 0; do { trace(pool[1] + counter); counter = counter + 1 } while (counter < 3)
    swfw::ActionWriter a;
    a.constantPool({"counter", "n="});
    a.pushConstant(0).pushInt(0).setVariable();
    size_t loopStart = a.size();
    a.pushConstant(1).pushConstant(0).getVariable().add2().trace();
    a.pushConstant(0).pushConstant(0).getVariable().simple(0x50).setVariable();  // increment
    a.pushConstant(0).getVariable().pushInt(3).simple(0x48);                     // less2
    int16_t back = int16_t(int(loopStart) - int(a.size() + 5));
    a.branchIf(back);
    auto player = play(scriptedMovie(a));
    ASSERT_TRUE(player);
    std::vector<std::string> expected = {"kid 1", "root 1", "n=0", "n=1", "n=2"};
    EXPECT_EQ(player->traces(), expected);
}

TEST(Avm1, UnknownActionsAreSkippedAndLoopsAreBounded) {
    swfw::ActionWriter a;
    a.simple(0x3c);                      // DefineLocal: not run
    a.raw(0x83, {'u', 0, 't', 0});       // GetURL: skipped
    a.pushString("still here").trace();
    a.jump(-5);                          // jumps to itself forever
    auto player = play(scriptedMovie(a));
    ASSERT_TRUE(player);
    EXPECT_EQ(lastTrace(*player), "still here");
    player->stepFrame();  // the next frame still runs its own script
    EXPECT_EQ(lastTrace(*player), "root 2");
}

TEST(Avm1, TracesAreCappedForLongRuns) {
    // An endless trace loop: the script time limit ends the frame, the trace cap bounds memory.
    swfw::ActionWriter a;
    a.pushString("again").trace();
    a.jump(int16_t(-int(a.size()) - 5));
    auto player = play(scriptedMovie(a));
    ASSERT_TRUE(player);
    EXPECT_EQ(player->traces().size(), swf::kMaxTraces);
    EXPECT_EQ(player->traces()[2], "again");
}

TEST(Avm1, ClipMethodsAndMembersAsFlashSixToEightCompileThem) {
    // kid.gotoAndStop(3); _root.kid.play(); trace(kid._currentframe); kid.score = 5;
    // trace(_root.kid.score); gotoAndStop("f2")
    swfw::ActionWriter a;
    a.pushInt(3).pushInt(1).pushString("kid").getVariable().pushString("gotoAndStop").callMethod().pop();
    a.pushInt(0).pushString("_root").getVariable().pushString("kid").getMember().pushString("play").callMethod().pop();
    a.pushString("kid").getVariable().pushString("_currentframe").getMember().trace();
    a.pushString("kid").getVariable().pushString("score").pushInt(5).setMember();
    a.pushString("_root").getVariable().pushString("kid").getMember().pushString("score").getMember().trace();
    a.pushString("f2").pushInt(1).pushString("gotoAndStop").callFunction().pop();
    auto player = play(scriptedMovie(a));
    ASSERT_TRUE(player);
    const swf::Clip* kid = player->root().childByName("kid");
    ASSERT_TRUE(kid);
    EXPECT_EQ(kid->currentFrame(), 2);
    EXPECT_TRUE(kid->isPlaying()) << "play() after gotoAndStop()";
    EXPECT_EQ(player->currentFrame(), 2);
    EXPECT_FALSE(player->isPlaying());
    std::vector<std::string> expected = {"kid 1", "root 1", "3", "5", "kid 3", "root 2"};
    EXPECT_EQ(player->traces(), expected);
}

TEST(Avm1, MethodsOnMissingClipsAndOddArgumentCountsAreHarmless) {
    swfw::ActionWriter a;
    a.pushInt(1000000).pushString("ghost").getVariable().pushString("gotoAndPlay").callMethod();  // no clip, huge count
    a.pushInt(-3).pushString("fly").callFunction();  // no such function, a negative count
    a.pushString("_root").getVariable().pushString("nosuch").getMember().trace();
    auto player = play(scriptedMovie(a));
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->isPlaying());
    EXPECT_EQ(player->traces().back(), "undefined");
}

}  // namespace
