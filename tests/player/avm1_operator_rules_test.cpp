// How the operators convert objects and order their operands: comparisons, equality, text
// conversion, the SWF 4 forms and the string actions' units.
#include <gtest/gtest.h>

#include "avm1_script_test.h"

namespace {

using script_test::Lines;
using script_test::traces;

// Leaves {valueOf: function() { trace(label); return value; }} on the stack.
std::string objectWithValueOf(const std::string& label, const std::string& value) {
    return "push \"valueOf\"\n function ()\n push \"" + label + "\"\n trace\n push " + value +
           "\n return\n end\n push 1\n initObject\n";
}

TEST(Avm1OperatorRules, PlainObjectsCompareFalseWithoutConvertingTheOtherSide) {
    // {} < 1, {} < {valueOf}, {valueOf} < {}, 1 < {valueOf}
    std::string src = "push 0\n initObject\n push 1\n less2\n trace\n"
                      "push 0\n initObject\n" + objectWithValueOf("right", "1") + "less2\n trace\n" +
                      objectWithValueOf("left", "1") + "push 0\n initObject\n less2\n trace\n"
                      "push 0\n" + objectWithValueOf("right", "1") + "less2\n trace\n";
    EXPECT_EQ(traces(7, src), (Lines{"false", "false", "left", "false", "right", "true"}));
}

TEST(Avm1OperatorRules, AnObjectWithoutValueOfIsUndefined) {
    // _global has no prototype: as a number it is undefined (0 before SWF 7, NaN from 7).
    const char* src = R"(
        push "_global"
        getVariable
        push true
        less2
        trace
        push "_global"
        getVariable
        push null
        equals2
        trace
    )";
    EXPECT_EQ(traces(6, src), (Lines{"true", "true"}));
    EXPECT_EQ(traces(7, src), (Lines{"undefined", "true"}));
}

TEST(Avm1OperatorRules, NaNEqualsItselfButNotATextThatIsNoNumber) {
    const char* src = R"(
        push "NaN"
        getVariable
        push "NaN"
        getVariable
        equals2
        trace
        push "NaN"
        getVariable
        push "NaN"
        getVariable
        strictEquals
        trace
        push "x", "NaN"
        getVariable
        equals2
        trace
        push 1, 2
        equals2
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"true", "true", "false", "false"}));
}

TEST(Avm1OperatorRules, TextOfAnObjectWhoseToStringGivesNoTextIsItsKind) {
    // trace({toString: function() {}}) and the same object concatenated
    const char* src = R"(
        push "o", "toString"
        function ()
        end
        push 1
        initObject
        setVariable
        push "o"
        getVariable
        trace
        push "<", "o"
        getVariable
        add2
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"[type Object]", "<[type Object]"}))
        << "add2: valueOf gives the object itself, so its text is asked for";
}

TEST(Avm1OperatorRules, AValueOfThatIsNoFunctionIsUndefinedBeforeSwfSix) {
    // o = {valueOf: {}, toString: function() { return "text"; }}; trace("<" + o)
    const char* src = R"(
        push "o", "valueOf", 0
        initObject
        push "toString"
        function ()
          push "text"
          return
        end
        push 2
        initObject
        setVariable
        push "<", "o"
        getVariable
        add2
        trace
    )";
    EXPECT_EQ(traces(5, src), (Lines{"<"}));
    EXPECT_EQ(traces(6, src), (Lines{"<text"})) << "from SWF 6 the object stays and its text is asked for";
}

TEST(Avm1OperatorRules, StartDragFlagsAreSetOnlyByOne) {
    // The constraint flag 7 takes no rectangle: "kept" stays under the action's operands.
    EXPECT_EQ(traces(8, "push \"kept\", 7, 1, \"_root\"\nstartDrag\ntrace\n"), (Lines{"kept"}));
    EXPECT_EQ(traces(8, "push \"kept\", 1, 2, 3, 4, 1, 0, \"_root\"\nstartDrag\ntrace\n"), (Lines{"kept"}));
}

TEST(Avm1OperatorRules, SwfFourBooleansAreBooleansThatPrintAsDigits) {
    const char* src = R"(
        push 1, 1
        equals
        typeOf
        trace
        push 1, 1
        equals
        trace
    )";
    EXPECT_EQ(traces(4, src), (Lines{"boolean", "1"}));
}

TEST(Avm1OperatorRules, SubtractAndDivideConvertTheirRightOperandFirst) {
    std::string a = objectWithValueOf("a", "6");
    std::string b = objectWithValueOf("b", "3");
    std::string src = a + b + "subtract\n trace\n" + a + b + "divide\n trace\n" + a + b + "multiply\n trace\n" +
                      a + b + "equals\n trace\n";
    EXPECT_EQ(traces(5, src), (Lines{"b", "a", "3", "b", "a", "2", "a", "b", "18", "b", "a", "false"}));
}

TEST(Avm1OperatorRules, UnsignedShiftIsUnsignedFromNineAndIntWrapsToThirtyTwoBits) {
    const char* src = R"(
        push -3, 0
        bitURShift
        trace
        push 4294967295
        toInteger
        trace
    )";
    EXPECT_EQ(traces(8, src), (Lines{"-3", "-1"}));
    EXPECT_EQ(traces(9, src), (Lines{"4294967293", "-1"}));
}

TEST(Avm1OperatorRules, SubstringCountsUtf16UnitsAndWrapsItsArguments) {
    // "😋航空" : the emoji is two units; 4294967299 wraps to 3.
    const char* src = "push \"\xF0\x9F\x98\x8B\xE8\x88\xAA\xE7\xA9\xBA\", 1, 2\n stringExtract\n trace\n"
                      "push \"\xF0\x9F\x98\x8B\xE8\x88\xAA\xE7\xA9\xBA\", 4294967299, -4294967295\n"
                      " mbStringExtract\n trace\n";
    EXPECT_EQ(traces(6, src), (Lines{"\xF0\x9F\x98\x8B", "\xE8\x88\xAA"}));
}

TEST(Avm1OperatorRules, TextsCompareByCodePoint) {
    // "\uFF61" < "\uD800\uDC02", the pair written as two three-byte sequences; byte order
    // and UTF-16 unit order would both say false.
    const char* src = "push \"\xEF\xBD\xA1\", \"\xED\xA0\x80\xED\xB0\x82\"\n less2\n trace\n"
                      "push \"b\", \"a\"\n less2\n trace\n";
    EXPECT_EQ(traces(7, src), (Lines{"true", "false"}));
}

}  // namespace

namespace {

TEST(Avm1PropertyFlags, VersionBitsHidePropertiesFromOlderMovies) {
    // o = {p: 1}; ASSetPropFlags(o, "p", 1024 /* from SWF 7 */); trace(o.p); for (k in o) trace(k);
    // then flag 256 (not in SWF 6) on q. A hidden property reads as undefined but for..in
    // still lists its name.
    const char* src = R"(
        push "o", "p", 1, "q", 2, 2
        initObject
        setVariable
        push 0, 1024, "p", "o"
        getVariable
        push 4, "ASSetPropFlags"
        callFunction
        pop
        push 0, 256, "q", "o"
        getVariable
        push 4, "ASSetPropFlags"
        callFunction
        pop
        push "o"
        getVariable
        push "p"
        getMember
        trace
        push "o"
        getVariable
        push "q"
        getMember
        trace
        push "o"
        getVariable
        enumerate2
        loop:
        pushDuplicate
        push null
        equals2
        if done
        trace
        jump loop
        done:
        pop
    )";
    EXPECT_EQ(traces(6, src), (Lines{"undefined", "undefined", "p", "q"}));
    EXPECT_EQ(traces(7, src), (Lines{"1", "2", "p", "q"}));
}

}  // namespace

namespace {

TEST(Avm1PropertyFlags, AGetterReadingItselfEndsInUndefinedAfterSixtyFiveLevels) {
    // n = 0; addProperty("v", function() { n++; return v; }, null); trace(v); trace(n);
    const char* src = R"(
        push "n", 0
        setVariable
        push null
        function ()
          push "n", "n"
          getVariable
          increment
          setVariable
          push "v"
          getVariable
          return
        end
        push "v", 3, "addProperty"
        callFunction
        pop
        push "v"
        getVariable
        trace
        push "n"
        getVariable
        trace
        push "done"
        trace
    )";
    EXPECT_EQ(script_test::traces(7, src), (script_test::Lines{"undefined", "65", "done"}));
}

}  // namespace

namespace {

TEST(Avm1NativeTable, ASnativeReachesNumberedBuiltins) {
    // ASnative(200, 0)(-3) is Math.abs; the index wraps at 32 bits, not 16; an unknown Math
    // index converts two arguments and gives NaN; three arguments give no function.
    const char* src = R"(
        push -3, 1, 0, 200, 2, "ASnative"
        callFunction
        push undefined
        callMethod
        trace
        push "%26", 1, 4294967297, 100, 2, "ASnative"
        callFunction
        push undefined
        callMethod
        trace
        push 65536, 100, 2, "ASnative"
        callFunction
        typeOf
        trace
        push 0, 50, 200, 2, "ASnative"
        callFunction
        push undefined
        callMethod
        trace
        push 0, 0, 100, 3, "ASnative"
        callFunction
        typeOf
        trace
    )";
    EXPECT_EQ(script_test::traces(7, src), (script_test::Lines{"3", "&", "undefined", "NaN", "undefined"}));
}

}  // namespace
