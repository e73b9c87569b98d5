// The library classes on the object model, driven through the Vm as scripts would call them.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include <runtime/avm1/host_services.h>
#include <runtime/avm1/vm.h>

namespace {

using namespace swf::avm1;

class Library : public ::testing::Test {
protected:
    void start(int version = 8) {
        host.startUtcMs = 981152406000;  // 2001-02-02 22:20:06 UTC
        host.offsetMinutes = 345;        // UTC+5:45
        vm = std::make_unique<Vm>(version, host);
    }
    void SetUp() override { start(); }

    Value global(const std::string& name) { return vm->getMember(vm->global(), name); }
    Value make(const std::string& cls, std::vector<Value> args = {}) { return vm->construct(global(cls), Arguments(args)); }
    Value call(const Value& target, const std::string& method, std::vector<Value> args = {}) {
        return vm->callMethod(target, method, Arguments(args));
    }
    std::string text(const Value& v) { return vm->toString(v); }
    Value str(const std::string& s) { return vm->newString(s); }
    static Value num(double n) { return Value::number(n); }
    Value array(std::vector<Value> values) { return Value::object(vm->newArray(values)); }
    double length(const Value& v) { return vm->toNumber(vm->getMember(v, "length")); }

    FixedHostServices host;
    std::unique_ptr<Vm> vm;
};

TEST_F(Library, ArrayLengthFollowsIndicesAndTruncates) {
    Value a = make("Array", {num(3)});
    EXPECT_EQ(length(a), 3);
    EXPECT_EQ(text(a), "undefined,undefined,undefined");
    vm->setMember(a, "7", str("x"));
    EXPECT_EQ(length(a), 8);
    vm->setMember(a, "length", num(2));
    EXPECT_TRUE(vm->getMember(a, "7").isUndefined()) << "truncation deletes";
    Value b = make("Array", {str("3")});
    EXPECT_EQ(length(b), 1) << "a single non-number is an element";
    // Indices wrap to 32 bits and so does the length.
    vm->setMember(b, "-2147483649", str("wraps to 2147483647"));
    EXPECT_EQ(length(b), -2147483648.0);
    EXPECT_TRUE(vm->getMember(b, "0").isUndefined()) << "the length went down: truncated";
    vm->setMember(b, "4294967296", str("index 0"));
    EXPECT_EQ(length(b), 1);
}

TEST_F(Library, ArrayMutators) {
    Value a = array({num(1), num(2), num(3)});
    EXPECT_EQ(vm->toNumber(call(a, "push", {num(4), num(5)})), 5);
    EXPECT_EQ(vm->toNumber(call(a, "pop")), 5);
    EXPECT_EQ(vm->toNumber(call(a, "shift")), 1);
    EXPECT_EQ(vm->toNumber(call(a, "unshift", {num(0)})), 4);
    EXPECT_EQ(text(a), "0,2,3,4");
    EXPECT_EQ(text(call(a, "splice", {num(1), num(2), str("x")})), "2,3");
    EXPECT_EQ(text(a), "0,x,4");
    EXPECT_EQ(text(call(a, "slice", {num(-2)})), "x,4");
    EXPECT_EQ(text(call(a, "concat", {array({num(7)}), num(8)})), "0,x,4,7,8");
    EXPECT_EQ(text(call(call(a, "reverse"), "join", {str("-")})), "4-x-0");
    EXPECT_TRUE(call(a, "splice").isUndefined());
}

TEST_F(Library, ArrayElementOrderAfterReorderingAndSpliceRefusals) {
    Value a = make("Array");
    vm->setMember(a, "4", num(4));
    call(a, "reverse");
    auto keys = [&](const Value& v) {
        std::string out;
        for (const auto& k : vm->enumerate(v.asObject())) out += k + ",";
        return out;
    };
    EXPECT_EQ(keys(a), "3,1,4,0,") << "pairs re-stored outside in, the middle left alone";
    Value b = array({str("a"), str("b"), str("c")});
    EXPECT_TRUE(call(b, "splice", {num(1), num(-1)}).isUndefined());
    EXPECT_TRUE(call(b, "splice", {num(1), Value()}).isUndefined());
    EXPECT_EQ(length(call(b, "splice", {num(9)})), 0);
    EXPECT_EQ(text(b), "a,b,c");
    Object* plain = vm->newObject(vm->getMember(global("Array"), "prototype").asObject());
    plain->define("length", num(2));
    plain->define("0", str("own"));
    EXPECT_EQ(text(call(Value::object(plain), "join")), "undefined,undefined") << "no array storage";
}

TEST_F(Library, ArraySortFlagsAndArguments) {
    Value a = array({num(4), num(1), num(3), num(22), num(2)});
    EXPECT_EQ(text(call(a, "sort")), "1,2,22,3,4");
    EXPECT_EQ(text(call(a, "sort", {num(16 | 2)})), "22,4,3,2,1");
    EXPECT_EQ(text(call(a, "sort", {num(2), num(16)})), "1,2,3,4,22") << "the second flags win";
    EXPECT_TRUE(call(a, "sort", {Value::boolean(true), num(0)}).isUndefined());
    Value dup = array({num(3), num(1), num(3)});
    EXPECT_EQ(vm->toNumber(call(dup, "sort", {num(4)})), 0);
    EXPECT_EQ(text(dup), "3,1,3") << "a rejected unique sort leaves the array";
    EXPECT_EQ(text(call(dup, "sort", {num(8)})), "1,0,2");
    EXPECT_EQ(text(dup), "3,1,3");
}

TEST_F(Library, ArraySortOnFieldsAndPrimitives) {
    auto item = [&](double n, const std::string& b) {
        Object* o = vm->newObject();
        o->define("n", num(n));
        o->define("b", str(b));
        return Value::object(o);
    };
    Value a = array({item(2, "y"), item(1, "z"), item(2, "x")});
    call(a, "sortOn", {array({str("n"), str("b")})});
    auto field = [&](int i, const char* f) { return text(vm->getMember(vm->getMember(a, std::to_string(i)), f)); };
    EXPECT_EQ(field(0, "b") + field(1, "b") + field(2, "b"), "zxy");
    call(a, "sortOn", {str("b"), num(2)});
    EXPECT_EQ(field(0, "b") + field(1, "b") + field(2, "b"), "zyx");
    Value words = array({str("pear"), str("fig"), str("apple")});
    EXPECT_EQ(text(call(words, "sortOn", {str("length"), num(16)})), "apple,fig,pear")
        << "primitives compare as themselves";
}

TEST_F(Library, StringMethodsCountUtf16Units) {
    Value s = str("\xF0\x9F\x98\x8B" "abc");
    EXPECT_EQ(length(s), 5);
    EXPECT_EQ(vm->toNumber(call(s, "charCodeAt", {num(0)})), 0xD83D);
    EXPECT_EQ(text(call(s, "charAt", {num(4294967298.0)})), "a") << "positions wrap at 32 bits";
    Value hello = str("hello world");
    EXPECT_EQ(text(call(hello, "substr", {num(3), num(-4)})), "lo worl");
    EXPECT_EQ(text(call(hello, "substr", {num(3), num(-3)})), "");
    EXPECT_EQ(text(call(hello, "substring", {num(5), num(0)})), "hello");
    EXPECT_EQ(text(call(hello, "slice", {num(-5), num(-1)})), "worl");
    EXPECT_EQ(vm->toNumber(call(hello, "lastIndexOf", {str("o")})), 7);
    EXPECT_TRUE(call(hello, "indexOf").isUndefined());
    EXPECT_EQ(text(call(hello, "split", {str("o"), num(2)})), "hell, w");
    EXPECT_EQ(text(call(str("\xC3\xA9t\xC3\xA9"), "toUpperCase")), "\xC3\x89T\xC3\x89");
    EXPECT_EQ(text(vm->callMethod(global("String"), "fromCharCode", Arguments(std::vector<Value>{num(72), num(105)}))), "Hi");
    Value boxed = make("String", {str("abc")});
    EXPECT_EQ(length(boxed), 3);
}

TEST_F(Library, SplitOfEmptySeparatorDependsOnVersion) {
    EXPECT_EQ(length(call(str("abc"), "split", {str("")})), 3);
    start(5);
    EXPECT_EQ(length(call(str("abc"), "split", {str("")})), 1);
}

TEST_F(Library, NumberAndMath) {
    EXPECT_EQ(text(call(num(255), "toString", {num(16)})), "ff");
    EXPECT_EQ(text(call(num(-7.9), "toString", {num(2)})), "-111");
    EXPECT_EQ(text(num(1.0 / 3)), "0.333333333333333");
    EXPECT_EQ(vm->toNumber(str("0x1F")), 31);
    Value math = global("Math");
    EXPECT_TRUE(std::isnan(vm->toNumber(call(math, "min", {num(1)})))) << "Math.min(1) is NaN";
    EXPECT_EQ(vm->toNumber(call(math, "max")), -INFINITY);
    EXPECT_EQ(vm->toNumber(call(math, "max", {num(1), num(9), num(30)})), 9) << "a third argument is ignored";
    EXPECT_EQ(vm->toNumber(call(math, "round", {num(-2.5)})), -2);
    const double r = vm->toNumber(call(math, "random"));
    EXPECT_TRUE(r >= 0 && r < 1);
}

TEST_F(Library, MathMissingArgumentsAreNaNInEveryVersion) {
    start(6);
    Value math = global("Math");
    EXPECT_TRUE(std::isnan(vm->toNumber(call(math, "pow")))) << "not 0^0";
    EXPECT_EQ(vm->toNumber(call(math, "pow", {Value::boolean(true)})), 1) << "C's pow: 1^NaN is 1";
    EXPECT_EQ(vm->toNumber(call(math, "pow", {num(2), Value()})), 1) << "a passed undefined is 0 in SWF 6";
    EXPECT_TRUE(std::isnan(vm->toNumber(call(math, "atan2", {num(1)}))));
    EXPECT_TRUE(std::isnan(vm->toNumber(call(math, "min", {Value::null()}))));
}

TEST_F(Library, DateWithThePinnedClockAndZone) {
    Value now = make("Date");
    EXPECT_EQ(text(now), "Sat Feb 3 04:05:06 GMT+0545 2001");
    EXPECT_EQ(vm->toNumber(call(now, "getTimezoneOffset")), -345);
    EXPECT_EQ(vm->toNumber(call(now, "getUTCDate")), 2);
    EXPECT_EQ(vm->toNumber(call(now, "getYear")), 101);
    call(now, "setHours", {num(23), num(59)});
    EXPECT_EQ(text(now), "Sat Feb 3 23:59:06 GMT+0545 2001");
    call(now, "setUTCMonth", {num(13)});
    EXPECT_EQ(vm->toNumber(call(now, "getUTCFullYear")), 2002);
    EXPECT_EQ(text(vm->callMethod(global("Date"), "UTC", Arguments(std::vector<Value>{num(1), num(2)}))), "-2172355200000");
    EXPECT_TRUE(vm->callMethod(global("Date"), "UTC", Arguments(std::vector<Value>{num(1)})).isUndefined());
    Value invalid = make("Date", {num(NAN)});
    EXPECT_EQ(text(invalid), "Invalid Date");
    EXPECT_TRUE(std::isnan(vm->toNumber(call(invalid, "setHours", {num(1)}))));
    EXPECT_EQ(vm->toNumber(call(invalid, "setFullYear", {num(2000)})), 946664100000) << "from +0 as local time";
    EXPECT_EQ(text(make("Date", {num(1), num(2)})), "Fri Mar 1 00:00:00 GMT+0545 1901");
}

TEST_F(Library, XmlTreeThroughItsProperties) {
    Value doc = make("XML", {str("<?xml version=\"1.0\"?><a x=\"1\"><b/>t&amp;</a>")});
    EXPECT_EQ(vm->toNumber(vm->getMember(doc, "status")), 0);
    Value a = vm->getMember(doc, "firstChild");
    EXPECT_EQ(text(vm->getMember(a, "nodeName")), "a");
    EXPECT_EQ(text(vm->getMember(vm->getMember(a, "attributes"), "x")), "1");
    EXPECT_EQ(length(vm->getMember(a, "childNodes")), 2);
    Value b = vm->getMember(a, "firstChild");
    Value t = vm->getMember(b, "nextSibling");
    EXPECT_EQ(text(vm->getMember(t, "nodeValue")), "t&");
    EXPECT_TRUE(vm->getMember(t, "nodeName").isNull());
    EXPECT_EQ(text(doc), "<?xml version=\"1.0\"?><a x=\"1\"><b />t&amp;</a>");

    call(b, "appendChild", {a});  // an ancestor cannot become a child
    EXPECT_EQ(length(vm->getMember(b, "childNodes")), 0);
    Value c = call(doc, "createElement", {str("c")});
    call(a, "insertBefore", {c, b});
    call(a, "appendChild", {b});  // still in the tree: refused
    call(t, "removeNode");
    EXPECT_EQ(text(a), "<a x=\"1\"><c /><b /></a>");
    Value copy = call(a, "cloneNode", {Value::boolean(true)});
    call(c, "removeNode");
    EXPECT_EQ(text(copy), "<a x=\"1\"><c /><b /></a>");
    EXPECT_EQ(vm->toNumber(vm->getMember(make("XML", {str("<a><b></a>")}), "status")), -9);
}

TEST_F(Library, XmlDocumentWithANameWritesItselfAsAnElement) {
    Value doc = make("XML", {str("<a/>b")});
    vm->setMember(doc, "nodeName", str("wrap"));
    EXPECT_EQ(text(doc), "<wrap><a />b</wrap>");
}

TEST_F(Library, XmlIgnoreWhiteIsReadAtParseTime) {
    Value doc = make("XML");
    vm->setMember(doc, "ignoreWhite", Value::boolean(true));
    call(doc, "parseXML", {str("<r> <i/> </r>")});
    EXPECT_EQ(length(vm->getMember(vm->getMember(doc, "firstChild"), "childNodes")), 1);
}

TEST_F(Library, LoadVarsCodecAndGlobalTextFunctions) {
    Value lv = make("LoadVars");
    call(lv, "decode", {str("a=1+2&b=%26")});
    EXPECT_EQ(text(vm->getMember(lv, "a")), "1 2");
    EXPECT_EQ(text(lv), "b=%26&a=1%202") << "newest first";
    Value g = Value::object(vm->global());
    EXPECT_EQ(text(call(g, "escape", {str("a b")})), "a%20b");
    EXPECT_EQ(text(call(g, "unescape", {str("a%20b")})), "a b");
    EXPECT_EQ(vm->toNumber(call(g, "parseInt", {str("0x1f")})), 31);
    EXPECT_EQ(vm->toNumber(call(g, "parseFloat", {str("2.5e1x")})), 25);
    EXPECT_TRUE(call(g, "parseInt").isUndefined());
}

TEST_F(Library, SharedObjectDataSurvivesANewRun) {
    Value so = vm->callMethod(global("SharedObject"), "getLocal", Arguments(std::vector<Value>{str("scores")}));
    ASSERT_TRUE(so.isObject());
    Value data = vm->getMember(so, "data");
    vm->setMember(data, "best", num(42.5));
    vm->setMember(data, "names", array({str("ann"), str("bo")}));
    vm->setMember(data, "self", data);  // a cycle is cut, not followed
    EXPECT_TRUE(vm->toBoolean(call(so, "flush")));
    EXPECT_TRUE(vm->callMethod(global("SharedObject"), "getLocal", Arguments(std::vector<Value>{str("bad name")})).isNull());

    start();  // a new run with the same host storage
    Value again = vm->callMethod(global("SharedObject"), "getLocal", Arguments(std::vector<Value>{str("scores")}));
    Value restored = vm->getMember(again, "data");
    EXPECT_EQ(vm->toNumber(vm->getMember(restored, "best")), 42.5);
    EXPECT_EQ(text(vm->getMember(restored, "names")), "ann,bo");
    EXPECT_TRUE(vm->getMember(restored, "self").isNull());
}

TEST_F(Library, SystemCapabilities) {
    Value caps = vm->getMember(global("System"), "capabilities");
    EXPECT_TRUE(vm->toBoolean(vm->getMember(caps, "hasAudio")));
    EXPECT_EQ(text(vm->getMember(caps, "os")), "Windows");
}

}  // namespace
