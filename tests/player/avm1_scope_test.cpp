// The interpreter's rules of scope, functions, prototypes, `this`, exceptions and `with`.
#include <gtest/gtest.h>

#include <algorithm>

#include "avm1_script_test.h"

namespace {

using script_test::Lines;
using script_test::traces;

TEST(Avm1Scope, ClosuresKeepTheirDefiningLocals) {
    // function makeCounter() { var n = 0; return function() { n = n + 1; return n; }; }
    // c = makeCounter(); c(); trace(c()); trace(n);
    const char* src = R"(
        function makeCounter()
          push "n", 0
          defineLocal
          function ()
            push "n", "n"
            getVariable
            increment
            setVariable
            push "n"
            getVariable
            return
          end
          return
        end
        push "c", 0, "makeCounter"
        callFunction
        setVariable
        push 0, "c"
        callFunction
        pop
        push 0, "c"
        callFunction
        trace
        push "n"
        getVariable
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"2", "undefined"}));
}

TEST(Avm1Scope, UndeclaredAssignmentsGoToTheTimelineLocalsStayLocal) {
    // function f() { var local = 1; global = 5; } f(); trace(global); trace(local);
    const char* src = R"(
        function f()
          push "local", 1
          defineLocal
          push "shared", 5
          setVariable
        end
        push 0, "f"
        callFunction
        pop
        push "shared"
        getVariable
        trace
        push "local"
        getVariable
        trace
        push "_root"
        getVariable
        push "shared"
        getMember
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"5", "undefined", "5"}));
}

TEST(Avm1Scope, GlobalsAreFoundButAssignmentsShadowThemOnTheTimeline) {
    const char* src = R"(
        push "_global"
        getVariable
        push "g", 1
        setMember
        push "g"
        getVariable
        trace
        push "g", 2
        setVariable
        push "_global"
        getVariable
        push "g"
        getMember
        trace
        push "g"
        getVariable
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"1", "1", "2"}));
}

TEST(Avm1Scope, Function2RegistersAndPreloads) {
    // function2 f(r3 a) with this, arguments preloaded into r1, r2; `a` lives in r3 only.
    const char* src = R"(
        function2 f(r3 a) regs 4 flags preloadThis,preloadArguments
          push r:3
          trace
          push r:2
          push "length"
          getMember
          trace
          push r:1
          trace
          push "a"
          getVariable
          trace
        end
        push "x", "y", 2, "f"
        callFunction
        pop
    )";
    EXPECT_EQ(traces(7, src), (Lines{"y", "2", "_level0", "undefined"}));
}

TEST(Avm1Scope, WithPutsAnObjectFirstInTheChain) {
    const char* src = R"(
        push "o", "x", 7, 1
        initObject
        setVariable
        push "o"
        getVariable
        with
          push "x"
          getVariable
          trace
          push "x", 8
          setVariable
        end
        push "x"
        getVariable
        trace
        push "o"
        getVariable
        push "x"
        getMember
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"7", "undefined", "8"}));
}

TEST(Avm1This, MethodCallsBindTheObjectPlainCallsTheTimeline) {
    // o = {name: "obj", who: function() { return this.name; }}; w = o.who; name = "timeline"
    const char* src = R"(
        push "o", "name", "obj", "who"
        function ()
          push "this"
          getVariable
          push "name"
          getMember
          return
        end
        push 2
        initObject
        setVariable
        push "name", "timeline"
        setVariable
        push 0, "o"
        getVariable
        push "who"
        callMethod
        trace
        push "w", "o"
        getVariable
        push "who"
        getMember
        setVariable
        push 0, "w"
        callFunction
        trace
        push "other", "name", "other", 1
        initObject
        setVariable
        push "other"
        getVariable
        push 1, "w"
        getVariable
        push "call"
        callMethod
        trace
        push 0
        initArray
        push "other"
        getVariable
        push 2, "w"
        getVariable
        push "apply"
        callMethod
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"obj", "timeline", "other", "other"}));
}

TEST(Avm1Prototypes, ConstructorsPrototypesAndInstanceOf) {
    // function P(v) { this.v = v; } P.prototype.get = function() { return this.v; }
    const char* src = R"(
        function P(v)
          push "this"
          getVariable
          push "v", "v"
          getVariable
          setMember
        end
        push "P"
        getVariable
        push "prototype"
        getMember
        push "get"
        function ()
          push "this"
          getVariable
          push "v"
          getMember
          return
        end
        setMember
        push "p", 4, 1, "P"
        newObject
        setVariable
        push 0, "p"
        getVariable
        push "get"
        callMethod
        trace
        push "p"
        getVariable
        push "P"
        getVariable
        instanceOf
        trace
        push "p"
        getVariable
        push "__proto__"
        getMember
        push "P"
        getVariable
        push "prototype"
        getMember
        strictEquals
        trace
        push "get", 1, "p"
        getVariable
        push "hasOwnProperty"
        callMethod
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"4", "true", "true", "false"}));
}

TEST(Avm1Prototypes, SuperCallsClimbOneLevelEachTime) {
    // A <- B <- C, each constructor calling super() then tracing its name: a super lookup
    // that restarts from the instance would loop in B forever.
    const char* src = R"(
        function A()
          push "A"
          trace
        end
        function B()
          push 0, "super"
          getVariable
          push undefined
          callMethod
          pop
          push "B"
          trace
        end
        function C()
          push 0, "super"
          getVariable
          push undefined
          callMethod
          pop
          push "C"
          trace
        end
        push "B"
        getVariable
        push "A"
        getVariable
        extends
        push "C"
        getVariable
        push "B"
        getVariable
        extends
        push "o", 0, "C"
        newObject
        setVariable
        push "o"
        getVariable
        push "A"
        getVariable
        instanceOf
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"A", "B", "C", "true"}));
}

TEST(Avm1Prototypes, GettersSettersAndWatchesRunOnAssignment) {
    // o.addProperty("p", get, set); o.watch("w", cb): arguments are pushed last one first.
    const char* src = R"(
        push "o", 0
        initObject
        setVariable
        function2 (r1 v) regs 2
          push "set "
          push r:1
          stringAdd
          trace
        end
        function ()
          push "got"
          return
        end
        push "p", 3, "o"
        getVariable
        push "addProperty"
        callMethod
        pop
        push "o"
        getVariable
        push "p", 9
        setMember
        push "o"
        getVariable
        push "p"
        getMember
        trace
        function2 (r1 name, r2 old, r3 new) regs 4
          push r:3, 1
          add2
          return
        end
        push "w", 2, "o"
        getVariable
        push "watch"
        callMethod
        pop
        push "o"
        getVariable
        push "w", 1
        setMember
        push "o"
        getVariable
        push "w"
        getMember
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"set 9", "got", "2"}));
}

TEST(Avm1Prototypes, PropertyFlagsHideProtectAndFreeze) {
    // ASSetPropFlags(o, "a", 1) hides a; ("b", 2) keeps b from delete; ("c", 4) freezes c.
    const char* src = R"(
        push "o", "a", 1, "b", 2, "c", 3, 3
        initObject
        setVariable
        push 1, "a", "o"
        getVariable
        push 4, "ASSetPropFlags"
        callFunction
        pop
        push 2, "b", "o"
        getVariable
        push 4, "ASSetPropFlags"
        callFunction
        pop
        push 4, "c", "o"
        getVariable
        push 4, "ASSetPropFlags"
        callFunction
        pop
        push "o"
        getVariable
        enumerate2
    next:
        pushDuplicate
        push null
        equals2
        if done
        trace
        jump next
    done:
        pop
        push "o"
        getVariable
        push "b"
        delete
        trace
        push "o"
        getVariable
        push "c", 30
        setMember
        push "o"
        getVariable
        push "c"
        getMember
        trace
    )";
    Lines out = traces(7, src);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(std::count(out.begin(), out.begin() + 2, "a"), 0) << "DontEnum hides a from for..in";
    EXPECT_EQ(out[2], "false") << "DontDelete";
    EXPECT_EQ(out[3], "3") << "ReadOnly";
}

TEST(Avm1Exceptions, TryCatchFinallyAcrossCalls) {
    const char* src = R"(
        function thrower()
          push "boom"
          throw
        end
        try e
          push 0, "thrower"
          callFunction
          pop
          push "not reached"
          trace
        catch
          push "e"
          getVariable
          trace
        finally
          push "finally"
          trace
        end
        try r:1
          push "quiet"
          trace
        finally
          push "finally 2"
          trace
        end
        push "after"
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"boom", "finally", "quiet", "finally 2", "after"}));
}

TEST(Avm1Exceptions, FinallyRunsBeforeAnUncaughtThrowEndsTheScript) {
    const char* src = R"(
        try
          push "inner"
          throw
        finally
          push "cleanup"
          trace
        end
        push "not reached"
        trace
    )";
    auto run = script_test::runFrames(7, {src, "push \"next frame\"\ntrace"});
    EXPECT_EQ(run->traces(), (Lines{"cleanup", "Warning: Uncaught exception, inner", "next frame"}));
}

}  // namespace

namespace {

TEST(Avm1Clips, ClipsAreScriptObjectsWithPathsDepthsAndVariables) {
    // A sprite "kid" at depth 1 of the root; its variables live on its script object.
    swfw::MovieWriter m(7, 100, 100, 12);
    m.add(swfw::defineSprite(2, 1, {swfw::Tag{1, {}}}));
    swfw::Place p{1, 2, false, swf::Matrix{}};
    p.name = "kid";
    m.add(swfw::placeObject2(p));
    m.add(swfw::doAction(swfw::assemble(R"(
        push "kid"
        getVariable
        trace
        push 0, "kid"
        getVariable
        push "getDepth"
        callMethod
        trace
        push "kid"
        getVariable
        push "_x", 12.5
        setMember
        push "/kid:_x"
        getVariable
        trace
        push "_root.kid.score", 3
        setVariable
        push "kid"
        getVariable
        push "score"
        getMember
        trace
        push "kid"
        getVariable
        push "_parent"
        getMember
        targetPath
        trace
    )")));
    m.showFrame();
    std::vector<uint8_t> bytes = m.build();
    std::string error;
    swf::avm1::FixedHostServices host;
    auto player = swf::Player::load(bytes.data(), bytes.size(), error, &host);
    ASSERT_TRUE(player) << error;
    EXPECT_EQ(player->traces(), (Lines{"_level0.kid", "-16383", "12.5", "3", "_level0"}));
}

}  // namespace

namespace {

TEST(Avm1ScopeRules, SwfFiveFunctionsCloseOverNothing) {
    // foo = "root"; function f() { var foo = "local"; return function() { trace(foo); }; } g = f(); g();
    const char* src = R"(
        push "foo", "root"
        setVariable
        function f()
          push "foo", "local"
          defineLocal
          function ()
            push "foo"
            getVariable
            trace
          end
          return
        end
        push "g", 0, "f"
        callFunction
        setVariable
        push 0, "g"
        callFunction
        pop
    )";
    EXPECT_EQ(script_test::traces(5, src), (script_test::Lines{"root"}));
    EXPECT_EQ(script_test::traces(6, src), (script_test::Lines{"local"}));
}

TEST(Avm1ScopeRules, DottedPathsTryEveryScopeLevelUntilOneGivesAValue) {
    // _global.a = {b: {c: "global"}}; a = {b: {}}; trace(eval("a.b.c")); trace(eval("a.b"));
    // then in a function with a local a = {b: "local"}: "a.b" is the local's.
    const char* src = R"(
        push "_global"
        getVariable
        push "a", "b", "c", "global", 1
        initObject
        push 1
        initObject
        setMember
        push "a", "b", 0
        initObject
        push 1
        initObject
        setVariable
        push "a.b.c"
        getVariable
        trace
        push "a.b"
        getVariable
        typeOf
        trace
        function f()
          push "a", "b", "local", 1
          initObject
          defineLocal
          push "a.b"
          getVariable
          trace
          push "a.b", "set"
          setVariable
          push "a"
          getVariable
          push "b"
          getMember
          trace
        end
        push 0, "f"
        callFunction
        pop
        push "_global"
        getVariable
        push "a"
        getMember
        push "b"
        getMember
        push "c"
        getMember
        trace
    )";
    EXPECT_EQ(script_test::traces(7, src), (script_test::Lines{"global", "object", "local", "set", "global"}));
}

}  // namespace

namespace {

TEST(Avm1ScopeRules, WithOnNothingSkipsItsBlock) {
    const char* src = R"(
        push undefined
        with
          push "inside"
          trace
        end
        push "after"
        trace
    )";
    EXPECT_EQ(script_test::traces(7, src), (script_test::Lines{"after"}));
}

TEST(Avm1ScopeRules, TimelineDefineLocalInWithSetsOnlyTheObjectsOwnProperties) {
    // proto = {d: 20}; n = {b: 20, __proto__: proto};
    // with (n) { var b = 10; var d = 10; trace(d); } trace(n.b); trace(n.d); trace(d);
    const char* src = R"(
        push "n", "b", 20, "__proto__", "d", 20, 1
        initObject
        push 2
        initObject
        setVariable
        push "n"
        getVariable
        with
          push "b", 10
          defineLocal
          push "d", 10
          defineLocal
          push "d"
          getVariable
          trace
        end
        push "n"
        getVariable
        push "b"
        getMember
        trace
        push "n"
        getVariable
        push "d"
        getMember
        trace
        push "d"
        getVariable
        trace
    )";
    EXPECT_EQ(script_test::traces(7, src), (script_test::Lines{"20", "10", "20", "10"}));
}

TEST(Avm1ScopeRules, EmptyNamesStoreNothingAndProtoIsAnOwnProperty) {
    // o = {}; o[""] = 1; trace(o.hasOwnProperty("")); trace(o.hasOwnProperty("__proto__"));
    const char* src = R"(
        push "o", 0
        initObject
        setVariable
        push "o"
        getVariable
        push "", 1
        setMember
        push "", 1, "o"
        getVariable
        push "hasOwnProperty"
        callMethod
        trace
        push "__proto__", 1, "o"
        getVariable
        push "hasOwnProperty"
        callMethod
        trace
    )";
    EXPECT_EQ(script_test::traces(7, src), (script_test::Lines{"false", "true"}));
}

}  // namespace

namespace {

TEST(Avm1ScopeRules, RegistersPastAFunctionsOwnAreTheTimelines) {
    // The frame script sets r3 = 3; a function with one register reads r3 and writes r2.
    const char* src = R"(
        push 3
        store 3
        pop
        push 0
        store 2
        pop
        function2 f() regs 1
          push r:3
          trace
          push 9
          store 2
          pop
        end
        push 0, "f"
        callFunction
        pop
        push r:2
        trace
    )";
    EXPECT_EQ(script_test::traces(7, src), (script_test::Lines{"3", "9"}));
}

}  // namespace

namespace {

TEST(Avm1MovieEnd, SharedObjectsAreWrittenWhenTheMovieEnds) {
    // so = SharedObject.getLocal("prefs"); so.data.volume = 7;  (no flush)
    const char* src = R"(
        push "so", "prefs", 1, "SharedObject"
        getVariable
        push "getLocal"
        callMethod
        setVariable
        push "so"
        getVariable
        push "data"
        getMember
        push "volume", 7
        setMember
    )";
    auto run = script_test::runFrames(7, {src});
    EXPECT_TRUE(run->host.shared.empty()) << "nothing is written while the movie plays";
    run->player.reset();
    ASSERT_EQ(run->host.shared.size(), 1u);
    EXPECT_NE(run->host.shared[0].second.find("volume"), std::string::npos);
}

}  // namespace

namespace {

TEST(Avm1ScopeRules, AFunctionThatPreloadsThisDoesNotNameIt) {
    // function2 f() with preloadThis: r1 is the object, the name `this` is not a local.
    const char* src = R"(
        function2 f(r0 unused) regs 2 flags preloadThis,suppressArguments,suppressSuper
          push r:1
          typeOf
          trace
          push "this"
          getVariable
          typeOf
          trace
        end
        push 0, "f"
        newObject
        pop
    )";
    EXPECT_EQ(script_test::traces(5, src), (script_test::Lines{"object", "undefined"}));
    EXPECT_EQ(script_test::traces(6, src), (script_test::Lines{"object", "movieclip"}));
}

}  // namespace
