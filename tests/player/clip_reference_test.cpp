// How scripts hold and reach clips: kept references resolved by target path, a function's
// base clip, scripts whose clip is removed, tellTarget on removed or doubled targets, target
// paths and removal of text fields, level names.
#include <gtest/gtest.h>

#include "avm1_script_test.h"

namespace {

using script_test::Lines;

// A movie with a scripted sprite (id 1, exported as "scripted", its frame script
// `spriteScript`) and one root frame per entry of `frames`.
struct SpriteMovie {
    int version = 7;
    std::string spriteScript;
    std::vector<std::vector<swfw::Tag>> frameTags;  // placed before the frame's script
    std::vector<std::string> frames;

    std::unique_ptr<script_test::ScriptRun> run(int steps) const {
        swfw::MovieWriter m(version, 100, 100, 12);
        std::vector<swfw::Tag> spriteTags;
        if (!spriteScript.empty()) spriteTags.push_back(swfw::doAction(swfw::assemble(spriteScript)));
        spriteTags.push_back(swfw::Tag{1, {}});
        m.add(swfw::defineSprite(1, 1, spriteTags));
        m.add(swfw::exportAssets({{1, "scripted"}}));
        for (size_t i = 0; i < frames.size(); ++i) {
            if (i < frameTags.size())
                for (const swfw::Tag& t : frameTags[i]) m.add(t);
            m.add(swfw::doAction(swfw::assemble(frames[i])));
            m.showFrame();
        }
        return script_test::play(m.build(), steps);
    }
};

// `variable` = this.createEmptyMovieClip(name, depth)
std::string makeClip(const std::string& variable, const std::string& name, int depth) {
    return "push \"" + variable + "\", " + std::to_string(depth) + ", \"" + name +
           "\", 2, \"this\"\ngetVariable\npush \"createEmptyMovieClip\"\ncallMethod\nsetVariable\n";
}

std::string callOn(const std::string& variable, const std::string& method) {
    return "push 0, \"" + variable + "\"\ngetVariable\npush \"" + method + "\"\ncallMethod\npop\n";
}

std::string traceVariable(const std::string& name) { return "push \"" + name + "\"\ngetVariable\ntrace\n"; }

TEST(ClipReferences, KeptReferenceFindsTheClipMadeAgainAtItsPath) {
    std::string script = makeClip("ref", "a", 1) + callOn("ref", "removeMovieClip") +
                         traceVariable("ref") +  // gone: an empty path
                         "push \"ref\"\ngetVariable\ntypeOf\ntrace\n" + makeClip("again", "a", 2) +
                         // ref.v = 5 lands on the new clip; ref reads it back, ref's path is its
                         "push \"ref\"\ngetVariable\npush \"v\", 5\nsetMember\n"
                         "push \"again\"\ngetVariable\npush \"v\"\ngetMember\ntrace\n" +
                         traceVariable("ref") + "push \"ref\"\ngetVariable\npush \"_name\"\ngetMember\ntrace\n";
    EXPECT_EQ(script_test::traces(7, script), (Lines{"", "movieclip", "5", "_level0.a", "a"}));
}

TEST(ClipReferences, ARenameIsForgottenOnceTheClipIsGone) {
    // The reference keeps the path the clip had when it was made: after a rename it shows the
    // new one while the clip lives, and finds a clip under the first name afterwards.
    std::string script = makeClip("ref", "b", 1) + "push \"ref\"\ngetVariable\npush \"_name\", \"c\"\nsetMember\n" +
                         traceVariable("ref") + callOn("ref", "removeMovieClip") + makeClip("other", "c", 2) +
                         traceVariable("ref") + makeClip("first", "b", 3) + traceVariable("ref");
    EXPECT_EQ(script_test::traces(7, script), (Lines{"_level0.c", "", "_level0.b"}));
}

TEST(ClipReferences, AFunctionRunsOnItsClipByPathOrElseOnThisOrTheCaller) {
    // The first sprite placed defines _global.f, which traces its base clip's target ("" is
    // the base); the ones placed later define nothing.
    SpriteMovie movie;
    movie.spriteScript = R"(
        push "_global"
        getVariable
        push "f"
        getMember
        if done
        push "_global"
        getVariable
        push "f"
        function ()
          push "", 11
          getProperty
          trace
        end
        setMember
        done:
    )";
    swfw::Place definer{1, 1};
    definer.name = "definer";
    movie.frameTags = {{swfw::placeObject2(definer)}, {swfw::removeObject2(1)}, {swfw::placeObject2(definer)}};
    const std::string callGlobal = "push 0, \"_global\"\ngetVariable\npush \"f\"\ncallMethod\npop\n";
    movie.frames = {
        "",
        // definer is gone: called on a clip, f runs there; otherwise on the caller's target
        makeClip("a", "a", 1) + "push \"a\"\ngetVariable\npush \"f\", \"_global\"\ngetVariable\npush \"f\"\n"
                                "getMember\nsetMember\n" + callOn("a", "f") + callGlobal,
        // a new clip named definer is the function's clip again
        callGlobal + "stop",
    };
    EXPECT_EQ(movie.run(3)->traces(), (Lines{"/a", "/", "/definer"}));
}

TEST(ClipReferences, AScriptEndsAfterACallOnceItsClipIsRemoved) {
    SpriteMovie movie;
    // go(): removes its own clip by the action (no call), then calls on undefined (nothing is
    // called), then calls a missing function: the script ends there.
    movie.spriteScript = R"(
        function go()
          push "this"
          getVariable
          removeSprite
          push "after removal"
          trace
          push 0, "nothing"
          getVariable
          push "f"
          callMethod
          pop
          push "after a call on undefined"
          trace
          push 0, "missing"
          callFunction
          pop
          push "never"
          trace
        end
        function leave()
          push 0, "this"
          getVariable
          push "removeMovieClip"
          callMethod
          pop
          push "never either"
          trace
        end
    )";
    movie.frames = {"push 1, \"s\", \"scripted\", 3, \"this\"\ngetVariable\npush \"attachMovie\"\ncallMethod\npop\n"
                    "push 2, \"t\", \"scripted\", 3, \"this\"\ngetVariable\npush \"attachMovie\"\ncallMethod\npop\n",
                    callOn("s", "go") + callOn("t", "leave") + "push \"root goes on\"\ntrace\nstop"};
    EXPECT_EQ(movie.run(2)->traces(), (Lines{"after removal", "after a call on undefined", "root goes on"}));
}

TEST(ClipReferences, ARemovedScriptClipNamesNoTargetAndMovesNoTimeline) {
    // The attached sprite removes itself, then aims at _root: that fails, so gotoAndStop(3)
    // moves nothing (the root plays on to frame 2) and its variables go to the root.
    SpriteMovie movie;
    movie.spriteScript = R"(
        push "this"
        getVariable
        removeSprite
        setTarget "_root"
        gotoFrame 2
        push "seen", "by the root"
        setVariable
        setTarget ""
    )";
    movie.frames = {"push 1, \"s\", \"scripted\", 3, \"this\"\ngetVariable\npush \"attachMovie\"\ncallMethod\npop\n",
                    "push \"frame 2\"\ntrace\n" + traceVariable("seen") + "stop", "push \"frame 3\"\ntrace"};
    EXPECT_EQ(movie.run(2)->traces(), (Lines{"frame 2", "by the root"}));
}

TEST(ClipReferences, ARemovedTargetGivesWayToTheScriptsOwnClip) {
    // In the sprite: tellTarget(_root.t) { removeMovieClip(_root.t); trace(y) } reads the
    // sprite's y; after removeMovieClip(this) too, the root's.
    SpriteMovie movie;
    movie.spriteScript = R"(
        push "y", "sprite"
        setVariable
        push "_root"
        getVariable
        push "t"
        getMember
        setTarget2
        push "_root"
        getVariable
        push "t"
        getMember
        removeSprite
        push "y"
        getVariable
        trace
        push "this"
        getVariable
        removeSprite
        push "y"
        getVariable
        trace
        setTarget ""
    )";
    movie.frames = {"push \"y\", \"root\"\nsetVariable\n" + makeClip("t", "t", 5) +
                    "push 1, \"s\", \"scripted\", 3, \"this\"\ngetVariable\npush \"attachMovie\"\ncallMethod\npop\n"};
    EXPECT_EQ(movie.run(1)->traces(), (Lines{"sprite", "root"}));
}

TEST(ClipReferences, TellTargetOnAClipGoesByItsPath) {
    // Two clips named "c": tellTarget(second) reaches the first, as the path "_level0.c" does.
    std::string script = makeClip("first", "c", 1) + makeClip("second", "c", 2) +
                         "push \"first\"\ngetVariable\npush \"x\", \"first\"\nsetMember\n"
                         "push \"second\"\ngetVariable\npush \"x\", \"second\"\nsetMember\n"
                         "push \"second\"\ngetVariable\nsetTarget2\npush \"x\"\ngetVariable\ntrace\nsetTarget \"\"";
    EXPECT_EQ(script_test::traces(7, script), Lines{"first"});
}

TEST(ClipReferences, TextFieldsHaveTargetPathsAndAreRemovedLikeClips) {
    std::string script = "push 20, 20, 0, 0, 3, \"tf\", 6, \"this\"\ngetVariable\npush \"createTextField\"\n"
                         "callMethod\npop\n"
                         "push \"tf\"\ngetVariable\ntargetPath\ntrace\n"
                         "push \"tf\"\ntargetPath\ntrace\n"  // a string names nothing
                         "push \"tf\"\ngetVariable\nremoveSprite\n" +
                         traceVariable("tf");
    EXPECT_EQ(script_test::traces(7, script), (Lines{"_level0.tf", "undefined", "undefined"}));
}

// Two clips of one name at two depths are one path, and equal: a rewind that places the
// timeline's clip again beside the one a script moved away shows it.
TEST(ClipReferences, ClipsCompareByTheirTargetPaths) {
    auto compare = [](const char* a, const char* b, const char* action) {
        return "push \"" + std::string(a) + "\"\ngetVariable\npush \"" + b + "\"\ngetVariable\n" + action + "\ntrace\n";
    };
    std::string script = makeClip("x", "a", 1) + makeClip("y", "a", 2) + makeClip("z", "b", 3) +
                         compare("x", "y", "strictEquals") + compare("x", "y", "equals2") +
                         compare("x", "z", "strictEquals") + compare("x", "z", "equals2") +
                         // a reference whose clip is gone names nothing and equals no other
                         callOn("z", "removeMovieClip") + makeClip("w", "c", 4) + callOn("w", "removeMovieClip") +
                         compare("z", "w", "strictEquals") + compare("z", "z", "strictEquals");
    EXPECT_EQ(script_test::traces(7, script), (Lines{"true", "true", "false", "false", "false", "true"}));
}

TEST(ClipReferences, LevelNamesReadTheDigitsAfterThePrefix) {
    EXPECT_EQ(script_test::traces(7, traceVariable("_level0undefined") + traceVariable("_flash0") +
                                         traceVariable("_level7") + traceVariable("_lev")),
              (Lines{"_level0", "_level0", "undefined", "undefined"}));
}

TEST(ClipReferences, Swf4PathsKnowSlashesOnlyAndClipsAreNoValues) {
    // _target (11) of what each path names (undefined for nothing); then variables.
    SpriteMovie movie;
    movie.version = 4;
    swfw::Place a{1, 1};
    a.name = "a";
    movie.frameTags = {{swfw::placeObject2(a)}};
    std::string script;
    for (const char* path : {"a", "_level0:junk", "a/..", "a.v", "_root/a", "/_level0", "this"})
        script += std::string("push \"") + path + "\", 11\ngetProperty\ntrace\n";
    script += "push \"/a:v\", 3\nsetVariable\n" + traceVariable("/a:v") + traceVariable("a.v") + traceVariable("a") +
              traceVariable("/a");
    movie.frames = {script};
    EXPECT_EQ(movie.run(1)->traces(), (Lines{"/a", "/", "/", "undefined", "undefined", "undefined", "undefined", "3", "undefined", "undefined", "undefined"}));
}

TEST(ClipReferences, PathSeparatorsAndParentsAsTheOriginalReadsThem) {
    // _name (13) of what each path names from the root, with a.b made by script.
    std::string script = makeClip("a", "a", 1) +
                         "push \"b\", 1, \"b\", 2, \"a\"\ngetVariable\npush \"createEmptyMovieClip\"\ncallMethod\nsetVariable\n";
    for (const char* path : {"a:", "a::", "a/:::b", "a/b/..", "a/b/...", "a:b:...b", "a:b:..", "a//b"})
        script += std::string("push \"") + path + "\", 13\ngetProperty\ntrace\n";
    EXPECT_EQ(script_test::traces(7, script),
              (Lines{"a", "undefined", "b", "a", "undefined", "undefined", "a", "undefined"}));
}

TEST(ClipReferences, ASlashPathAloneIsAVariableNameWhenItNamesNoClip) {
    std::string script = makeClip("a", "a", 1) + "push \"a/x\", 1\nsetVariable\npush \"this/a\", \"own\"\nsetVariable\n" +
                         traceVariable("a/x") + traceVariable("this/a") + traceVariable("/a") +
                         "push \"a\"\ngetVariable\npush \"x\"\ngetMember\ntrace\n";
    EXPECT_EQ(script_test::traces(7, script), (Lines{"1", "own", "_level0.a", "undefined"}));
}

TEST(ClipReferences, VariablesNamedLikeTheClipsLinksHideThem) {
    // _root = "fake" makes a variable that later reads find first; a function's preloaded
    // _root register still holds the clip.
    std::string script = R"(
        push "_root", "fake"
        setVariable
        push "_root"
        getVariable
        trace
        function2 f() regs 2 flags preloadRoot,suppressThis,suppressArguments,suppressSuper
          push r:1
          trace
        end
        push 0, "f"
        callFunction
        pop
    )";
    EXPECT_EQ(script_test::traces(7, script), (Lines{"fake", "_level0"}));
}

TEST(ClipReferences, AFunctionFoundAmongLocalsRunsOnThem) {
    // function f() { var g = h; var mark = "local"; g(); } — h's `this` is f's locals; called
    // from the timeline, the timeline.
    std::string script = R"(
        function h()
          push "this"
          getVariable
          push "mark"
          getMember
          trace
        end
        function f()
          push "g", "h"
          getVariable
          defineLocal
          push "mark", "local"
          defineLocal
          push 0, "g"
          callFunction
          pop
        end
        push 0, "f"
        callFunction
        pop
        push 0, "h"
        callFunction
        pop
    )";
    EXPECT_EQ(script_test::traces(7, script), (Lines{"local", "undefined"}));
}

TEST(ClipReferences, RemovedByScriptWithAnUnloadHandlerAClipStaysUntilTheNextFrame) {
    // createEmptyMovieClip("mc", 1); mc.onUnload = ...; mc.removeMovieClip(); trace(mc)
    std::string first = "push 1, \"mc\", 2, \"this\"\ngetVariable\npush \"createEmptyMovieClip\"\ncallMethod\npop\n"
                        "push \"mc\"\ngetVariable\npush \"onUnload\"\nfunction ()\npush \"unload\"\ntrace\nend\nsetMember\n" +
                        callOn("mc", "removeMovieClip") + traceVariable("mc");
    EXPECT_EQ(script_test::runFrames(7, {first, traceVariable("mc")})->traces(),
              (Lines{"_level0.mc", "unload", "undefined"}));
}

TEST(ClipReferences, AClipUnloadingKeepsItsPathThroughRemovedParents) {
    // p.c.onUnload = function () { trace(this) }; p.removeMovieClip()
    std::string script = makeClip("p", "p", 1) +
                         "push \"c\", 1, \"c\", 2, \"p\"\ngetVariable\npush \"createEmptyMovieClip\"\ncallMethod\nsetVariable\n"
                         "push \"c\"\ngetVariable\npush \"onUnload\"\nfunction ()\npush \"this\"\ngetVariable\ntrace\nend\nsetMember\n" +
                         callOn("p", "removeMovieClip");
    EXPECT_EQ(script_test::traces(7, script), Lines{"_level0.p.c"});
}

}  // namespace
