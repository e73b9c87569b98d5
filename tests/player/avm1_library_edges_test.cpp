// Library classes at their edges: loading files beside the movie, storage limits, hostile
// values and the less common flags, driven through the Vm.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include <runtime/avm1/host_services.h>
#include <runtime/avm1/library_classes.h>
#include <runtime/avm1/vm.h>
#include <runtime/avm1/xml_document.h>
#include <runtime/avm1/url_escape.h>
#include <runtime/avm1/string_to_number.h>
#include <runtime/avm1/number_format.h>

namespace {

using namespace swf::avm1;

class LibraryEdges : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("avm1-library-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        host.movieFolder = folder.string();
        host.startUtcMs = 0;
        vm = std::make_unique<Vm>(8, host);
    }
    void TearDown() override {
        vm.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    void writeFile(const std::string& name, const std::string& content) {
        std::ofstream(folder / name, std::ios::binary) << content;
    }
    Value global(const std::string& name) { return vm->getMember(vm->global(), name); }
    Value make(const std::string& cls, std::vector<Value> args = {}) { return vm->construct(global(cls), Arguments(args)); }
    Value call(const Value& target, const std::string& method, std::vector<Value> args = {}) {
        return vm->callMethod(target, method, Arguments(args));
    }
    std::string text(const Value& v) { return vm->toString(v); }
    Value str(const std::string& s) { return vm->newString(s); }
    static Value num(double n) { return Value::number(n); }
    // Records onLoad(success) calls on `target` in its "reported" property.
    void watchOnLoad(const Value& target) {
        target.asObject()->define("onLoad", Value::object(vm->newNative([](Vm& v, const Value& self, const Arguments& a) {
            v.setMember(self, "reported", Value::number(v.toBoolean(a[0]) ? 1 : 0));
            return Value();
        })));
    }
    void nextFrame() { vm->timers().runDue(*vm, host.movieMs()); }

    std::filesystem::path folder;
    FixedHostServices host;
    std::unique_ptr<Vm> vm;
};

TEST_F(LibraryEdges, XmlLoadArrivesAfterTheScriptThenCallsOnLoad) {
    writeFile("data.xml", "\xEF\xBB\xBF<list><item id=\"1\"/></list>");
    Value doc = make("XML");
    watchOnLoad(doc);
    EXPECT_TRUE(vm->toBoolean(call(doc, "load", {str("data.xml")})));
    EXPECT_TRUE(vm->getMember(doc, "reported").isUndefined()) << "not within the requesting script";
    EXPECT_EQ(vm->toNumber(call(doc, "getBytesLoaded")), 0);
    nextFrame();
    EXPECT_EQ(vm->toNumber(vm->getMember(doc, "reported")), 1);
    EXPECT_TRUE(vm->toBoolean(vm->getMember(doc, "loaded")));
    EXPECT_EQ(text(doc), "<list><item id=\"1\" /></list>") << "byte order mark dropped";
    EXPECT_EQ(vm->toNumber(call(doc, "getBytesTotal")), 30) << "the file's bytes, mark included";
}

TEST_F(LibraryEdges, MissingOrEscapingFilesReportFailure) {
    for (const char* path : {"absent.xml", "../outside.xml", "/etc/passwd"}) {
        Value doc = make("XML");
        watchOnLoad(doc);
        call(doc, "load", {str(path)});
        nextFrame();
        EXPECT_EQ(vm->toNumber(vm->getMember(doc, "reported")), 0) << path;
        EXPECT_FALSE(vm->toBoolean(vm->getMember(doc, "loaded"))) << path;
    }
    EXPECT_FALSE(vm->warnings().empty());
}

TEST_F(LibraryEdges, LoadVarsLoadDecodesIntoTheObject) {
    writeFile("vars.txt", "title=Night+sky&count=12&note=caf%C3%A9");
    Value lv = make("LoadVars");
    watchOnLoad(lv);
    call(lv, "load", {str("vars.txt")});
    nextFrame();
    EXPECT_EQ(vm->toNumber(vm->getMember(lv, "reported")), 1);
    EXPECT_EQ(text(vm->getMember(lv, "title")), "Night sky");
    EXPECT_EQ(vm->toNumber(vm->getMember(lv, "count")), 12);
    EXPECT_EQ(text(vm->getMember(lv, "note")), "caf\xC3\xA9");
    EXPECT_FALSE(vm->toBoolean(call(lv, "send", {str("http://example.com/")}))) << "no network";
}

TEST_F(LibraryEdges, SharedObjectCapAndDamagedStorage) {
    Value so = vm->callMethod(global("SharedObject"), "getLocal", Arguments(std::vector<Value>{str("big")}));
    vm->setMember(vm->getMember(so, "data"), "blob", str(std::string(200 * 1024, 'x')));
    EXPECT_FALSE(vm->toBoolean(call(so, "flush"))) << "over the local storage limit";
    EXPECT_GT(vm->toNumber(call(so, "getSize")), 200 * 1024);
    call(so, "clear");
    EXPECT_LT(vm->toNumber(call(so, "getSize")), 10);

    host.shared.emplace_back("broken", "o5{3:abc");
    Value broken = vm->callMethod(global("SharedObject"), "getLocal", Arguments(std::vector<Value>{str("broken")}));
    ASSERT_TRUE(broken.isObject());
    EXPECT_TRUE(vm->getMember(broken, "data").isObject()) << "damaged data starts empty";
    Value same = vm->callMethod(global("SharedObject"), "getLocal", Arguments(std::vector<Value>{str("broken")}));
    EXPECT_EQ(same.asObject(), broken.asObject()) << "one object per name";
}

TEST_F(LibraryEdges, UnloadWritesEverySharedObject) {
    Value so = vm->callMethod(global("SharedObject"), "getLocal", Arguments(std::vector<Value>{str("prefs")}));
    vm->setMember(vm->getMember(so, "data"), "speed", num(3));
    EXPECT_TRUE(host.shared.empty()) << "nothing written before flush";
    flushSharedObjects(*vm);
    ASSERT_EQ(host.shared.size(), 1u);
    EXPECT_EQ(host.shared[0].first, "prefs");
    EXPECT_NE(host.shared[0].second.find("speed"), std::string::npos);
}

TEST_F(LibraryEdges, SelfContainingArrayJoinsWithoutEndlessRecursion) {
    Value a = Value::object(vm->newArray({num(1)}));
    call(a, "push", {a});
    const std::string joined = text(a);
    EXPECT_EQ(joined.substr(0, 4), "1,1,");
    EXPECT_LT(joined.size(), 1000u);
}

TEST_F(LibraryEdges, SortOnPerFieldDescendingAndIndexedResult) {
    auto item = [&](double n, double b) {
        Object* o = vm->newObject();
        o->define("n", num(n));
        o->define("b", num(b));
        return Value::object(o);
    };
    Value a = Value::object(vm->newArray({item(1, 5), item(2, 1), item(1, 9), item(2, 7)}));
    Value order = call(a, "sortOn", {Value::object(vm->newArray({str("n"), str("b")})),
                                     Value::object(vm->newArray({num(16 | 8), num(16 | 2)}))});
    EXPECT_EQ(text(order), "2,0,3,1") << "n ascending, then b descending, as indices";
    EXPECT_EQ(vm->toNumber(vm->getMember(vm->getMember(a, "0"), "b")), 5) << "array left as it was";
}

TEST_F(LibraryEdges, DateUtcFormsAndSettersWithMissingArguments) {
    Value d = make("Date", {num(2004), num(1), num(29), num(12)});  // host zone is UTC here
    EXPECT_EQ(vm->toNumber(call(d, "getUTCDay")), 0) << "29 Feb 2004 was a Sunday";
    call(d, "setUTCDate", {num(30)});
    EXPECT_EQ(vm->toNumber(call(d, "getUTCMonth")), 2) << "30 Feb is 1 March";
    call(d, "setUTCMilliseconds", {num(1500)});
    EXPECT_EQ(vm->toNumber(call(d, "getUTCSeconds")), 1);
    EXPECT_TRUE(std::isnan(vm->toNumber(call(d, "setMinutes")))) << "no argument: NaN in SWF 8";
    EXPECT_EQ(text(d), "Invalid Date");
    call(d, "setTime", {num(86400000)});
    EXPECT_EQ(vm->toNumber(call(d, "valueOf")), 86400000);
    call(d, "setYear", {num(99)});
    EXPECT_EQ(vm->toNumber(call(d, "getFullYear")), 1999);
    EXPECT_TRUE(std::isnan(vm->toNumber(call(d, "setUTCHours", {num(1e20)})))) << "beyond the range";
}

TEST_F(LibraryEdges, NumberStringAndMathConstants) {
    EXPECT_EQ(text(vm->getMember(global("Number"), "MAX_VALUE")), "1.79769313486231e+308");
    EXPECT_EQ(text(vm->getMember(global("Number"), "MIN_VALUE")), "4.94065645841247e-324");
    EXPECT_EQ(text(vm->getMember(global("Math"), "PI")), "3.14159265358979");
    vm->setMember(global("Math"), "PI", num(3));
    EXPECT_EQ(text(vm->getMember(global("Math"), "PI")), "3.14159265358979") << "read-only";
    EXPECT_TRUE(vm->call(vm->getMember(vm->getMember(global("Number"), "prototype"), "toString"), str("5"), Arguments())
                    .isUndefined())
        << "no conversion of a string this";
}

TEST(LibraryRobustness, ParsersSurviveRandomInput) {
    std::mt19937 random(11);
    const std::string alphabet = "<>/=\"'&;#x!-[]?CDATA abc0123456789%+.eE\n\t";
    for (int round = 0; round < 2000; ++round) {
        std::string input;
        const int size = static_cast<int>(random() % 64);
        for (int i = 0; i < size; ++i) {
            input.push_back(random() % 4 == 0 ? static_cast<char>(random() & 0xFF) : alphabet[random() % alphabet.size()]);
        }
        auto doc = parseXml(input, round % 2 == 0);
        EXPECT_LE(doc.status, 0);
        EXPECT_GE(doc.status, kXmlEndTagWithoutStartTag);
        (void)serializeXmlDocument(doc);
        EXPECT_EQ(urlUnescape(urlEscape(input)), input.substr(0, input.find('\0')));
        (void)stringToNumber(input, 4 + round % 5);
        (void)parseIntPrefix(input, round % 3 ? std::optional<double>(random() % 40) : std::nullopt);
        const double n = parseFloatPrefix(input);
        EXPECT_FALSE(formatNumber(n).empty());
    }
}

}  // namespace
