// Native classes applied to script-made objects (super() into Array, Number, SharedObject),
// the own `length` of String objects, addProperty over an array's count and elements, trace of
// an object whose toString throws, and the rules of ImplementsOp.
#include <gtest/gtest.h>

#include "avm1_script_test.h"

namespace {

using script_test::Lines;
using script_test::traces;

// p = { __proto__: <Class>.prototype, __constructor__: <Class>, init: function(v) { trace(super(v)) } }
// and o = new Object() with o.__proto__ = p: o.init(v) runs the class's constructor on o.
std::string subclassOf(const std::string& className) {
    return R"(
        push "p", "__proto__", ")" + className + R"("
        getVariable
        push "prototype"
        getMember
        push "__constructor__", ")" + className + R"("
        getVariable
        push "init"
        function (v)
          push "v"
          getVariable
          push 1, "super"
          callFunction
          trace
        end
        push 3
        initObject
        setVariable
        push "o", 0, "Object"
        newObject
        setVariable
        push "o"
        getVariable
        push "__proto__", "p"
        getVariable
        setMember
    )";
}

std::string initWith(const std::string& operand) {
    return "push " + operand + ", 1, \"o\"\ngetVariable\npush \"init\"\ncallMethod\npop\n";
}

TEST(Avm1NativeInstances, SuperIntoArrayMakesTheObjectAnArrayInPlace) {
    const std::string src = subclassOf("Array") + R"(
        push "o"
        getVariable
        push "length"
        getMember
        trace
    )" + initWith("undefined") + R"(
        push "o"
        getVariable
        push "5", "x"
        setMember
        push "o"
        getVariable
        push "length"
        getMember
        trace
        push "o"
        getVariable
        push "Array"
        getVariable
        instanceOf
        trace
        push "o"
        getVariable
        push "length", 2
        setMember
        push "o"
        getVariable
        push "5"
        getMember
        trace
    )";
    // super(undefined) gives one undefined element, which the object prints as.
    EXPECT_EQ(traces(7, src), (Lines{"undefined", "undefined", "6", "true", "undefined"}))
        << "no count before super(); after it an index store grows the count and lowering it drops the "
           "element stored on the object itself";
}

TEST(Avm1NativeInstances, ASecondSuperKeepsTheFirstStateButConvertsItsArguments) {
    const std::string src = subclassOf("Number") + initWith("5") + R"(
        push "noisy", "valueOf"
        function ()
          push "valueOf called"
          trace
          push 7
          return
        end
        push 1
        initObject
        setVariable
        push "noisy"
        getVariable
        push 1, "o"
        getVariable
        push "init"
        callMethod
        pop
        push 0, "o"
        getVariable
        push "valueOf"
        callMethod
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"5", "valueOf called", "5", "5"}))
        << "super() answers the object (printing as its number); the second one changes nothing";
}

TEST(Avm1NativeInstances, ClassesTheOriginalWritesInScriptAnswerUndefinedToSuper) {
    EXPECT_EQ(traces(7, subclassOf("SharedObject") + initWith("undefined")), (Lines{"undefined"}));
    EXPECT_EQ(traces(7, subclassOf("NetConnection") + initWith("undefined")), (Lines{"undefined"}));
    EXPECT_EQ(traces(7, subclassOf("TextField.StyleSheet") + initWith("undefined")), (Lines{"[object Object]"}))
        << "a native class without a constructor function still answers the object";
    const std::string boolean = subclassOf("Boolean") + initWith("true") +
                                "push 0, \"o\"\ngetVariable\npush \"valueOf\"\ncallMethod\ntrace\n";
    EXPECT_EQ(traces(7, boolean), (Lines{"true", "true"})) << "Boolean's methods see the value super() stored";
}

TEST(Avm1NativeInstances, SuperFindsTheConstructorOnThisChainAsItIsWhenCalled) {
    const char* src = R"(
        function C()
        end
        function Other()
          push "other"
          trace
        end
        push "C"
        getVariable
        push "prototype"
        getMember
        push "init"
        function ()
          push "this"
          getVariable
          push "__proto__", "__constructor__", "Other"
          getVariable
          push 1
          initObject
          setMember
          push 0, "super"
          callFunction
          pop
        end
        setMember
        push "o", 0, "C"
        newObject
        setVariable
        push 0, "o"
        getVariable
        push "init"
        callMethod
        pop
    )";
    EXPECT_EQ(traces(7, src), (Lines{"other"})) << "a method that replaced this.__proto__ reaches the new __constructor__";
}

TEST(Avm1NativeInstances, CallingAPrimitiveBoxesItFirst) {
    const char* src = R"(
        push "_global"
        getVariable
        push "String"
        function (v)
          push "boxed"
          trace
        end
        setMember
        push "s", "callme"
        setVariable
        push 0, "s"
        callFunction
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"boxed", "undefined"})) << "_global.String makes the object, which is no function";
}

TEST(Avm1NativeInstances, ClosingAServerAttemptEndsItWithAnEmptyStatus) {
    const char* src = R"(
        push "c", 0, "NetConnection"
        newObject
        setVariable
        push "c"
        getVariable
        push "onStatus"
        function (e)
          push "e"
          getVariable
          push "code"
          getMember
          trace
        end
        setMember
        push "http://example.org", 1, "c"
        getVariable
        push "connect"
        callMethod
        trace
        push 0, "c"
        getVariable
        push "close"
        callMethod
        pop
        push null, 1, "c"
        getVariable
        push "connect"
        callMethod
        pop
        push 0, "c"
        getVariable
        push "close"
        callMethod
        pop
    )";
    EXPECT_EQ(traces(7, src), (Lines{"false", "NetConnection.Connect.Closed", "undefined", "NetConnection.Connect.Success",
                                     "NetConnection.Connect.Closed"}))
        << "only the closed attempt is answered a second time, with no event";
}

TEST(Avm1NativeInstances, AStringObjectsLengthIsAnOwnWritableUndeletableProperty) {
    const char* src = R"(
        push "s", "abc", 1, "String"
        newObject
        setVariable
        push "s"
        getVariable
        push "length"
        getMember
        trace
        push "length", 1, "s"
        getVariable
        push "hasOwnProperty"
        callMethod
        trace
        push "s"
        getVariable
        push "length", "hmm"
        setMember
        push "s"
        getVariable
        push "length"
        delete
        trace
        push "s"
        getVariable
        push "length"
        getMember
        trace
        push "s"
        getVariable
    )";
    EXPECT_EQ(traces(6, std::string(src) + script_test::kTraceEnumerated), (Lines{"3", "true", "false", "hmm"}))
        << "length is stored, not computed: a script overwrites it, cannot delete it, for..in skips it";
}

TEST(Avm1NativeInstances, AddPropertyOverAnArraysCountAndElementsAnswersReadsOnly) {
    const char* src = R"(
        push "a", 3, 2, 1, 3
        initArray
        setVariable
        push null
        function ()
          push 10
          return
        end
        push "length", 3, "a"
        getVariable
        push "addProperty"
        callMethod
        trace
        push "a"
        getVariable
        push "length"
        getMember
        trace
        push 4, 1, "a"
        getVariable
        push "push"
        callMethod
        trace
        push null
        function ()
          push "ten"
          return
        end
        push "3", 3, "a"
        getVariable
        push "addProperty"
        callMethod
        pop
        push "a"
        getVariable
        push "3"
        getMember
        trace
        push 0, "a"
        getVariable
        push "pop"
        callMethod
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"true", "10", "4", "ten", "4"}))
        << "the getter answers a.length and a[3]; push counts and pop takes the stored element";
}

TEST(Avm1NativeInstances, TraceOfAnObjectWhoseToStringThrowsWritesTheKindThenThrows) {
    const char* src = R"(
        try e
          push "o", "toString"
          function ()
            push "boom"
            throw
          end
          push 1
          initObject
          setVariable
          push "o"
          getVariable
          trace
          push "not reached"
          trace
        catch
          push "caught "
          push "e"
          getVariable
          add2
          trace
        end
    )";
    EXPECT_EQ(traces(7, src), (Lines{"[type Object]", "caught boom"}));
}

// C.prototype declares interfaces I (and J, K on later ImplementsOps).
const char* kInterfaces = R"(
    function C()
    end
    function I()
    end
    function J()
    end
    push "o", 0, "C"
    newObject
    setVariable
    push "fake", "prototype", "I"
    getVariable
    push "prototype"
    getMember
    push 1
    initObject
    setVariable
)";

std::string implementsOp(const std::vector<std::string>& interfaces, const std::string& klass) {
    std::string s;
    for (auto it = interfaces.rbegin(); it != interfaces.rend(); ++it) s += "push \"" + *it + "\"\ngetVariable\n";
    return s + "push " + std::to_string(interfaces.size()) + ", \"" + klass + "\"\ngetVariable\nimplementsOp\n";
}

std::string traceInstanceOf(const std::string& klass) {
    return "push \"o\"\ngetVariable\npush \"" + klass + "\"\ngetVariable\ninstanceOf\ntrace\n";
}

TEST(Avm1NativeInstances, OnlyTheFirstImplementsOpWithOperandsCounts) {
    const std::string src = std::string(kInterfaces) + implementsOp({}, "C") + implementsOp({"I"}, "C") +
                            implementsOp({"J"}, "C") + traceInstanceOf("I") + traceInstanceOf("J") +
                            traceInstanceOf("fake");
    EXPECT_EQ(traces(7, src), (Lines{"true", "false", "true"}))
        << "an empty ImplementsOp changes nothing, a second one is ignored, and an object with the same "
           "prototype answers as the interface";
}

TEST(Avm1NativeInstances, AnInterfaceIsItsPrototypeAtTheTimeOfImplementsOp) {
    const std::string src = std::string(kInterfaces) + implementsOp({"I"}, "C") + R"(
        push "I"
        getVariable
        push "prototype", 0
        initObject
        setMember
        push "I"
        getVariable
        push 1, "J"
        getVariable
        implementsOp
    )" + traceInstanceOf("I") + traceInstanceOf("fake") + traceInstanceOf("J");
    EXPECT_EQ(traces(7, src), (Lines{"false", "true", "false"}))
        << "I's new prototype is no interface of C; an interface declared on it later does not reach C";
}

}  // namespace
