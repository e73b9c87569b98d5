// Text helpers of the library: UTF-16 units of script strings and the stored form of
// SharedObject data.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <runtime/avm1/stored_value_codec.h>
#include <runtime/avm1/utf16_text.h>

namespace {

using namespace swf::avm1;

TEST(Utf16Text, CountsUnitsLikeTheOriginal) {
    EXPECT_EQ(toUtf16Units("\xF0\x9F\x98\x8B", true).size(), 2u) << "an emoji is a surrogate pair";
    EXPECT_EQ(toUtf16Units("\xD0\xA1\xD0\xBF", true), u"\u0421\u043F");
    EXPECT_EQ(toUtf16Units("\xD0\xA1", false).size(), 2u) << "before SWF 6 bytes are characters";
    EXPECT_EQ(toUtf16Units("a\xFF" "b", true), std::u16string(u"a\u00FFb")) << "a stray byte stays one unit";
    EXPECT_EQ(toUtf16Units("\xE3\x81", true).size(), 2u) << "cut-off sequence";
}

TEST(Utf16Text, BackToUtf8AndLoneSurrogates) {
    const std::string text = "h\xC3\xA9 \xF0\x9D\x8C\x86!";
    EXPECT_EQ(fromUtf16Units(toUtf16Units(text, true), true), text);
    const std::u16string pair = toUtf16Units("\xF0\x9D\x8C\x86", true);
    const std::string high = fromUtf16Units(pair.substr(0, 1), true), low = fromUtf16Units(pair.substr(1), true);
    EXPECT_EQ(toUtf16Units(high + low, true), pair) << "the halves of charAt join when concatenated";
    EXPECT_EQ(wellFormedUtf8(high + low), "\xF0\x9D\x8C\x86") << "and print as the one character";
    EXPECT_EQ(wellFormedUtf8("a" + high + "b"), "a\xEF\xBF\xBD" "b") << "a lone half prints as U+FFFD";
    EXPECT_EQ(wellFormedUtf8(low + high), "\xEF\xBF\xBD\xEF\xBF\xBD") << "halves in the wrong order pair nothing";
    EXPECT_EQ(fromUtf16Units(u"\u00E9", false), "\xE9");
}

TEST(Utf16Text, LetterCase) {
    EXPECT_EQ(upperCaseUnit(u'a'), u'A');
    EXPECT_EQ(upperCaseUnit(u'\u00E9'), u'\u00C9');
    EXPECT_EQ(upperCaseUnit(u'\u00F7'), u'\u00F7') << "division sign";
    EXPECT_EQ(upperCaseUnit(u'\u00FF'), u'\u0178');
    EXPECT_EQ(upperCaseUnit(u'\u043F'), u'\u041F');
    EXPECT_EQ(upperCaseUnit(u'\u0101'), u'\u0100');
    EXPECT_EQ(upperCaseUnit(u'\u013A'), u'\u0139') << "pairs starting on an odd code point";
    EXPECT_EQ(lowerCaseUnit(u'\u0139'), u'\u013A');
    EXPECT_EQ(lowerCaseUnit(u'\u03A3'), u'\u03C3');
    EXPECT_EQ(lowerCaseUnit(u'\u00D7'), u'\u00D7');
    // The original's table has one-way mappings (U+0130 lowers to a plain "i", the title-case
    // digraph U+01C5 lowers to U+01C6 and uppers to U+01C4), so only the lower case is stable
    // through a round trip.
    EXPECT_EQ(lowerCaseUnit(u'\u0130'), u'i');
    EXPECT_EQ(upperCaseUnit(u'\u01C5'), u'\u01C4');
    for (char16_t c = 0; c < 0x500; ++c) {
        const char16_t lower = lowerCaseUnit(c);
        if (lower != c) EXPECT_EQ(lowerCaseUnit(upperCaseUnit(lower)), lower) << int(c);
    }
}

StoredValue member(StoredValue::Kind kind) {
    StoredValue v;
    v.kind = kind;
    return v;
}

TEST(StoredValueCodec, RoundTripsEveryKind) {
    using K = StoredValue::Kind;
    StoredValue root = member(K::kObject);
    StoredValue number = member(K::kNumber);
    number.number = 0.1 + 0.2;
    StoredValue text = member(K::kString);
    text.text = std::string("a:1{}\0b", 7);
    StoredValue list = member(K::kArray);
    StoredValue nan = member(K::kNumber);
    nan.number = std::nan("");
    StoredValue inf = member(K::kNumber);
    inf.number = -std::numeric_limits<double>::infinity();
    list.members = {{"0", nan}, {"1", inf}, {"2", member(K::kNull)}};
    StoredValue yes = member(K::kBoolean);
    yes.boolean = true;
    root.members = {{"n", number}, {"s", text}, {"list", list}, {"u", member(K::kUndefined)}, {"b", yes}};

    auto back = decodeStoredValue(encodeStoredValue(root));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->members.size(), 5u);
    EXPECT_EQ(back->members[0].second.number, 0.1 + 0.2) << "bit-exact";
    EXPECT_EQ(back->members[1].second.text, text.text);
    EXPECT_EQ(back->members[2].first, "list");
    EXPECT_EQ(back->members[2].second.kind, K::kArray);
    EXPECT_TRUE(std::isnan(back->members[2].second.members[0].second.number));
    EXPECT_EQ(back->members[2].second.members[1].second.number, -std::numeric_limits<double>::infinity());
    EXPECT_EQ(back->members[3].second.kind, K::kUndefined);
    EXPECT_TRUE(back->members[4].second.boolean);
    EXPECT_EQ(encodeStoredValue(*back), encodeStoredValue(root));
}

TEST(StoredValueCodec, RejectsDamagedText) {
    for (const char* bad : {"", "x", "s5:ab", "o2{1:au}", "o99999999{}", "d1e;", "d;", "ou", "a1{1:0u", "uu",
                            "s99999999999999999999:a"}) {
        EXPECT_FALSE(decodeStoredValue(bad)) << bad;
    }
    std::string deep;
    for (int i = 0; i < 100; ++i) deep += "o1{1:k";
    deep += "u";
    for (int i = 0; i < 100; ++i) deep += "}";
    EXPECT_FALSE(decodeStoredValue(deep, 64)) << "nesting cap";
    EXPECT_TRUE(decodeStoredValue(deep, 200));
}

}  // namespace
