// The interpreter's object model: __resolve, __proto__ as a property, for..in order, accessor
// and watcher nesting, AsBroadcaster, ASSetNative, function preloads, calls and `this`.
#include <gtest/gtest.h>

#include "avm1_script_test.h"

namespace {

using script_test::Lines;
using script_test::kTraceEnumerated;
using script_test::traces;

TEST(Avm1ObjectModel, ResolveAnswersOnlyMissingProperties) {
    const char* src = R"(
        push "o", 0
        initObject
        setVariable
        push "o"
        getVariable
        push "__resolve"
        function2 (r1 name) regs 2
          push "resolved "
          push r:1
          add2
          return
        end
        setMember
        push "o"
        getVariable
        push "x", 1
        setMember
        push "o"
        getVariable
        push "x"
        getMember
        trace
        push "o"
        getVariable
        push "missing"
        getMember
        trace
        # a plain object as __resolve answers nothing
        push "p", "__resolve", 0
        initObject
        push 1
        initObject
        setVariable
        push "p"
        getVariable
        push "missing"
        getMember
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"1", "resolved missing", "undefined"}));
}

TEST(Avm1ObjectModel, APrototypeCycleEndsTheScript) {
    const char* src = R"(
        push "a", 0
        initObject
        setVariable
        push "a"
        getVariable
        push "__proto__", "a"
        getVariable
        setMember
        push "before"
        trace
        push "a"
        getVariable
        push "foo"
        getMember
        trace
        push "after"
        trace
    )";
    auto run = script_test::runFrames(7, {src});
    EXPECT_EQ(run->traces(), (Lines{"before"}));
    ASSERT_FALSE(run->warnings().empty());
    EXPECT_NE(run->warnings().back().find("script aborted"), std::string::npos);
}

TEST(Avm1ObjectModel, ForInListsPrototypeNamesFirstAndOwnNamesShadowThem) {
    std::string src = R"(
        push "base", 0
        initObject
        setVariable
        push "base"
        getVariable
        push "a", 1
        setMember
        push "base"
        getVariable
        push "b", 2
        setMember
        push "o", "__proto__", "base"
        getVariable
        push 1
        initObject
        setVariable
        push "o"
        getVariable
        push "c", 3
        setMember
        push "o"
        getVariable
        push "a", 4
        setMember
        push "o"
        getVariable
    )";
    EXPECT_EQ(traces(7, src + kTraceEnumerated), (Lines{"b", "a", "c"}));
}

TEST(Avm1ObjectModel, ProtoIsAPropertyHoldingAnyValue) {
    const char* src = R"(
        push "o", 0
        initObject
        setVariable
        push "o"
        getVariable
        push "__proto__", 5
        setMember
        push "o"
        getVariable
        push "__proto__"
        getMember
        trace
        push "o"
        getVariable
        push "toString"
        getMember
        typeOf
        trace
        push "o"
        getVariable
        push "__proto__"
        delete
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"5", "undefined", "false"}));
}

TEST(Avm1ObjectModel, ASetterStoringIntoItselfNestsSixtyFiveDeep) {
    const char* src = R"(
        push "n", 0
        setVariable
        push "o", 0
        initObject
        setVariable
        function2 (r1 v) regs 2
          push "n", "n"
          getVariable
          increment
          setVariable
          push "o"
          getVariable
          push "p", r:1
          setMember
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
        push "p", 1
        setMember
        push "n"
        getVariable
        trace
        push "o"
        getVariable
        push "p"
        getMember
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"65", "got"}));
}

TEST(Avm1ObjectModel, AWatcherThatThrowsLeavesThePropertyUndefined) {
    const char* src = R"(
        push "o", 0
        initObject
        setVariable
        push "o"
        getVariable
        push "w", 1
        setMember
        function ()
          push "no"
          throw
        end
        push "w", 2, "o"
        getVariable
        push "watch"
        callMethod
        pop
        try e
          push "o"
          getVariable
          push "w", 2
          setMember
        catch
          push "e"
          getVariable
          trace
        end
        push "o"
        getVariable
        push "w"
        getMember
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"no", "undefined"}));
}

TEST(Avm1ObjectModel, PropertiesHiddenFromThisVersionAreStillOwnedAndReplacedByAStore) {
    // ASSetPropFlags(o, "p", 4096): p is for SWF 8 and later only.
    const char* src = R"(
        push "o", "p", 1, 1
        initObject
        setVariable
        push 0, 4096, "p", "o"
        getVariable
        push 4, "ASSetPropFlags"
        callFunction
        pop
        push "o"
        getVariable
        push "p"
        getMember
        trace
        push "p", 1, "o"
        getVariable
        push "hasOwnProperty"
        callMethod
        trace
        push "o"
        getVariable
        push "p", 2
        setMember
        push "o"
        getVariable
        push "p"
        getMember
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"undefined", "true", "2"}));
}

TEST(Avm1ObjectModel, PrimitivesAreBoxedByWhatGlobalStringIsNow) {
    // _global.String = function(v) { trace("boxing " + v); }; "abc".length; a cast of "x".
    const char* src = R"(
        push "_global"
        getVariable
        push "String"
        function2 (r1 v) regs 2
          push "boxing "
          push r:1
          add2
          trace
        end
        setMember
        push "abc"
        push "length"
        getMember
        trace
        push "Object"
        getVariable
        push "x"
        castOp
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"boxing abc", "undefined", "boxing x", "null"}));
}

TEST(Avm1Broadcaster, ListenersAreComparedWithLooseEquality) {
    const char* src = R"(
        push "b", 0
        initObject
        setVariable
        push "b"
        getVariable
        push 1, "AsBroadcaster"
        getVariable
        push "initialize"
        callMethod
        pop
        push undefined, 1, "b"
        getVariable
        push "addListener"
        callMethod
        pop
        push null, 1, "b"
        getVariable
        push "addListener"
        callMethod
        pop
        push "b"
        getVariable
        push "_listeners"
        getMember
        push "length"
        getMember
        trace
        push "b"
        getVariable
        push "_listeners"
        getMember
        push 0
        getMember
        trace
        push undefined, 1, "b"
        getVariable
        push "removeListener"
        callMethod
        trace
        push "onX", 1, "b"
        getVariable
        push "broadcastMessage"
        callMethod
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"1", "null", "true", "undefined"}));
}

TEST(Avm1NativeTables, SetNativeNamesTakeIndicesAndVersionPrefixes) {
    // ASSetNative(o, 200, "6f,9late,1a"): Math's abs, min and max; "late" is for SWF 9.
    const char* src = R"(
        push "o", 0
        initObject
        setVariable
        push "6f,9late,1a", 200, "o"
        getVariable
        push 3, "ASSetNative"
        callFunction
        pop
        push -3, 1, "o"
        getVariable
        push "f"
        callMethod
        trace
        push "o"
        getVariable
        push "late"
        getMember
        typeOf
        trace
        push 2, 1, 2, "o"
        getVariable
        push "a"
        callMethod
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"3", "undefined", "2"}));
}

TEST(Avm1NativeTables, AsNewTellsAConstructorCallFromAPlainOne) {
    const char* src = R"(
        push "asNew", 0, 2, 2, "ASnative"
        callFunction
        setVariable
        function F()
          push 0, "asNew"
          callFunction
          trace
        end
        push 0, "F"
        callFunction
        pop
        push 0, "F"
        newObject
        pop
    )";
    EXPECT_EQ(traces(7, src), (Lines{"false", "true"}));
}

TEST(Avm1Calls, PreloadedNamesAreRegistersOnlyAndSuppressingThisWins) {
    const char* src = R"(
        function2 f() regs 4 flags preloadThis,suppressThis,preloadArguments,suppressArguments
          push r:1
          typeOf
          trace
          push r:2
          push "length"
          getMember
          trace
          push "arguments"
          getVariable
          typeOf
          trace
        end
        push "a", "b", 2, "f"
        callFunction
        pop
        # the root has no parent: _global takes the first register
        function2 g() regs 3 flags preloadParent,preloadGlobal
          push r:1, "_global"
          getVariable
          strictEquals
          trace
        end
        push 0, "g"
        callFunction
        pop
    )";
    EXPECT_EQ(traces(7, src), (Lines{"undefined", "2", "undefined", "true"}));
}

TEST(Avm1Calls, CallWithNullThisGivesGlobalAndFunctionReturnsItsArgument) {
    const char* src = R"(
        function2 who() regs 2 flags preloadThis
          push r:1, "_global"
          getVariable
          strictEquals
          trace
        end
        push null, 1, "who"
        getVariable
        push "call"
        callMethod
        pop
        push 5, 1, "Function"
        callFunction
        trace
        push 0, "Object"
        callFunction
        push "toString"
        getMember
        typeOf
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"true", "5", "undefined"}));
}

TEST(Avm1Calls, ThisIsTheWithObjectOrThePathOwnerAndCanBeAssigned) {
    const char* src = R"(
        push "o", 0
        initObject
        setVariable
        push "o"
        getVariable
        push "f"
        function2 () regs 2 flags preloadThis
          push r:1, "o"
          getVariable
          strictEquals
          trace
        end
        setMember
        push "o"
        getVariable
        with
          push 0, "f"
          callFunction
          pop
        end
        push 0, "o.f"
        callFunction
        pop
        push "this", "changed"
        setVariable
        push "this"
        getVariable
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"true", "true", "changed"}));
}

TEST(Avm1Calls, SuperCallFromAnOwnMethodStartsAtThePrototype) {
    const char* src = R"(
        function ownCtor()
          push "own"
          trace
        end
        function protoCtor()
          push "proto"
          trace
        end
        push "p", "__constructor__", "protoCtor"
        getVariable
        push 1
        initObject
        setVariable
        push "o", "__constructor__", "ownCtor"
        getVariable
        push "__proto__", "p"
        getVariable
        push 2
        initObject
        setVariable
        push "o"
        getVariable
        push "f"
        function ()
          push 0, "super"
          callFunction
          pop
        end
        setMember
        push 0, "o"
        getVariable
        push "f"
        callMethod
        pop
    )";
    EXPECT_EQ(traces(7, src), (Lines{"proto"}));
}

TEST(Avm1Calls, InstancesOfAClassAreInstancesOfWhatItImplements) {
    const char* src = R"(
        function I()
        end
        function C()
        end
        push "I"
        getVariable
        push 1, "C"
        getVariable
        implementsOp
        push 0, "C"
        newObject
        push "I"
        getVariable
        instanceOf
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"true"}));
}

TEST(Avm1Literals, ACountLargerThanTheStackMakesNoArray) {
    const char* src = R"(
        push "a", "b", 5
        initArray
        trace
        trace
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"undefined", "b", "a"}));
}

TEST(Avm1Frames, ScriptsOfOneFrameShareTheStackAndTheNextFrameStartsEmpty) {
    auto run = script_test::runFrameScripts(7, {{"push \"left\"", "trace"}, {"push \"x\""}, {"trace"}});
    EXPECT_EQ(run->traces(), (Lines{"left", "undefined"}));
}

TEST(Avm1Frames, CallRunsAFramesScriptsWithoutGoingThere) {
    const char* first = R"(
        push 2
        call
        push "", 4
        getProperty
        trace
        stop
    )";
    auto run = script_test::runFrames(7, {first, "push \"frame two\"\ntrace"});
    EXPECT_EQ(run->traces(), (Lines{"frame two", "1"}));
}

}  // namespace
