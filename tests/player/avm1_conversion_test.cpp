// The interpreter's version-dependent rules: conversions, names, SWF 4 forms, comparisons.
#include <gtest/gtest.h>

#include "avm1_script_test.h"

namespace {

using script_test::Lines;
using script_test::traces;

TEST(Avm1Conversions, UndefinedIsEmptyTextBeforeSeven) {
    const char* src = R"(
        push "a", undefined
        add2
        trace
        push undefined
        trace
    )";
    EXPECT_EQ(traces(6, src), (Lines{"a", "undefined"})) << "trace itself always prints undefined";
    EXPECT_EQ(traces(7, src), (Lines{"aundefined", "undefined"}));
}

TEST(Avm1Conversions, StringsToBooleansByVersion) {
    // Before SWF 7 a string is true when it reads as a non-zero number.
    const char* src = R"(
        push "abc"
        not
        not
        trace
        push "0"
        not
        not
        trace
        push "2"
        not
        not
        trace
    )";
    EXPECT_EQ(traces(6, src), (Lines{"false", "false", "true"}));
    EXPECT_EQ(traces(7, src), (Lines{"true", "true", "true"}));
}

TEST(Avm1Conversions, UndefinedAndNullToNumbersByVersion) {
    const char* src = R"(
        push undefined
        toNumber
        trace
        push null
        increment
        trace
        push ""
        toNumber
        trace
        push "12"
        toNumber
        trace
        push "0x1F"
        toNumber
        trace
    )";
    EXPECT_EQ(traces(6, src), (Lines{"0", "1", "NaN", "12", "31"}));
    EXPECT_EQ(traces(7, src), (Lines{"NaN", "NaN", "NaN", "12", "31"}));
}

TEST(Avm1Conversions, NumbersPrintAsTheOriginalFormatsThem) {
    const char* src = R"(
        push 1, 3
        divide
        trace
        push 1e21
        trace
        push 0.0001
        trace
        push 1, 0
        divide
        trace
        push -1, 0
        divide
        trace
        push 123456789012345678.0
        trace
    )";
    EXPECT_EQ(traces(8, src), (Lines{"0.333333333333333", "1e+21", "0.0001", "Infinity", "-Infinity", "1.23456789012346e+17"}));
}

TEST(Avm1Conversions, SwfFourFormsPushNumbersAndFlagDivisionByZero) {
    const char* src = R"(
        push 2, 3
        less
        trace
        push "10", "9"
        stringLess
        trace
        push 1, 0
        divide
        trace
    )";
    EXPECT_EQ(traces(4, src), (Lines{"1", "1", "#ERROR#"}));
    EXPECT_EQ(traces(6, src), (Lines{"true", "true", "Infinity"}));
}

TEST(Avm1Conversions, AdditionConcatenatesWhenEitherSideIsText) {
    const char* src = R"(
        push 1, "2"
        add2
        trace
        push 1, 2
        add2
        trace
        push true, 1
        add2
        trace
        push null, 1
        add
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"12", "3", "2", "NaN"}));
}

TEST(Avm1Conversions, ObjectsConvertThroughValueOfAndToString) {
    // o = {valueOf: function() { return 5 }, toString: function() { return "five" }}
    const char* src = R"(
        push "o", "valueOf"
        function ()
          push 5
          return
        end
        push "toString"
        function ()
          push "five"
          return
        end
        push 2
        initObject
        setVariable
        push "o"
        getVariable
        push 1
        add2
        trace
        push "x:"
        push "o"
        getVariable
        stringAdd
        trace
        push "o"
        getVariable
        push 5
        equals2
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"6", "x:five", "true"}));
}

TEST(Avm1Conversions, EcmaComparisonsWithNaNAndStrings) {
    const char* src = R"(
        push "b", "a"
        greater
        trace
        push 1, "x"
        less2
        trace
        push "10", 9
        less2
        trace
        push null, undefined
        equals2
        trace
        push null, undefined
        strictEquals
        trace
        push "1", 1
        equals2
        trace
        push 0, false
        equals2
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"true", "undefined", "false", "true", "false", "true", "true"}));
}

TEST(Avm1Conversions, BitOperationsWorkOnInt32) {
    // The unsigned shift's result reads back as a signed 32-bit number.
    const char* src = R"(
        push -1, 0
        bitURShift
        trace
        push -3, 1
        bitURShift
        trace
        push 4294967297.0, 0
        bitOr
        trace
        push 1, 33
        bitLShift
        trace
        push -8, 1
        bitRShift
        trace
        push 5.9
        toInteger
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"-1", "2147483646", "1", "2", "-4", "5"}));
}

TEST(Avm1Conversions, StringActionsCountCharactersFromSixBytesBefore) {
    // "é" is two bytes of UTF-8.
    const char* src = R"(
        push "h\u00e9llo"
        stringLength
        trace
        push "hello", 2, 3
        stringExtract
        trace
        push 65
        asciiToChar
        trace
        push "A"
        charToAscii
        trace
    )";
    std::string text = src;
    text.replace(text.find("\\u00e9"), 6, "\xc3\xa9");
    EXPECT_EQ(traces(5, text), (Lines{"6", "ell", "A", "65"}));
    EXPECT_EQ(traces(6, text), (Lines{"5", "ell", "A", "65"}));
    // Beyond the basic plane a character is two UTF-16 units; its code reads as U+FFFD.
    const char* emoji = "push \"\xf0\x9f\x98\x8b\"\nmbStringLength\ntrace\npush \"\xf0\x9f\x98\x8b\"\nmbCharToAscii\ntrace";
    EXPECT_EQ(traces(6, emoji), (Lines{"2", "65533"}));
}

TEST(Avm1Names, CaseInsensitiveBeforeSeven) {
    const char* src = R"(
        push "Foo", 1
        setVariable
        push "foo"
        getVariable
        trace
        push "o"
        push 0
        initObject
        setVariable
        push "o"
        getVariable
        push "Key", "k"
        setMember
        push "o"
        getVariable
        push "KEY"
        getMember
        trace
    )";
    EXPECT_EQ(traces(6, src), (Lines{"1", "k"}));
    EXPECT_EQ(traces(7, src), (Lines{"undefined", "undefined"}));
}

TEST(Avm1Names, TypeOfNamesEveryKind) {
    const char* src = R"(
        push undefined
        typeOf
        trace
        push null
        typeOf
        trace
        push 1
        typeOf
        trace
        push "s"
        typeOf
        trace
        push true
        typeOf
        trace
        push 0
        initObject
        typeOf
        trace
        function ()
        end
        typeOf
        trace
        push "_root"
        getVariable
        typeOf
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"undefined", "null", "number", "string", "boolean", "object", "function", "movieclip"}));
}

}  // namespace

namespace {

TEST(Avm1Conversions, AnObjectWithNoPrototypeIsUndefinedAsAPrimitive) {
    // o = {}; o.__proto__ = null: no valueOf or toString anywhere (a loaded sound's id3 object).
    // With a method that is no function, the object stays itself: "[type Object]".
    const char* src = R"(
        push "o", 0
        initObject
        setVariable
        push "o"
        getVariable
        push "__proto__", null
        setMember
        push "x: "
        push "o"
        getVariable
        add2
        trace
        push "o"
        getVariable
        push undefined
        equals2
        trace
        push "o"
        getVariable
        push null
        equals2
        trace
        push "p", "valueOf", 1, 1
        initObject
        setVariable
        push "p"
        getVariable
        push undefined
        equals2
        trace
    )";
    EXPECT_EQ(script_test::traces(7, src), (script_test::Lines{"x: undefined", "true", "true", "false"}));
}

}  // namespace
