// escape/unescape and the URL-encoded variables of LoadVars.
#include <gtest/gtest.h>

#include <runtime/avm1/loadvars_codec.h>
#include <runtime/avm1/url_escape.h>

namespace {

using namespace swf::avm1;

TEST(UrlEscape, KeepsOnlyLettersAndDigits) {
    EXPECT_EQ(urlEscape("Az09"), "Az09");
    EXPECT_EQ(urlEscape("a b-c_d.e*f@g+h/"), "a%20b%2Dc%5Fd%2Ee%2Af%40g%2Bh%2F");
    EXPECT_EQ(urlEscape("\xC3\xA9\n"), "%C3%A9%0A") << "byte-wise over UTF-8";
    EXPECT_EQ(urlEscape(std::string_view("ab\0cd", 5)), "ab") << "ends at NUL";
}

TEST(UrlEscape, UnescapeDecodesAndDropsBrokenSequences) {
    EXPECT_EQ(urlUnescape("%41%62%2f%2F"), "Ab//");
    EXPECT_EQ(urlUnescape("a+b"), "a b");
    EXPECT_EQ(urlUnescape("%C3%A9"), "\xC3\xA9");
    EXPECT_EQ(urlUnescape("x%"), "x");
    EXPECT_EQ(urlUnescape("x%4"), "x");
    EXPECT_EQ(urlUnescape("x%qy"), "xy") << "'%' and the non-hex character go";
    EXPECT_EQ(urlUnescape("x%4qy"), "xy") << "'%', the digit and the non-hex character go";
    EXPECT_EQ(urlUnescape("%u0041"), "0041");
    EXPECT_EQ(urlUnescape("%%"), "");
    for (int b = 1; b < 256; ++b) {
        std::string one(1, static_cast<char>(b));
        ASSERT_EQ(urlUnescape(urlEscape(one)), one) << "byte " << b;
    }
}

TEST(LoadVarsCodec, EncodesInGivenOrder) {
    EXPECT_EQ(encodeVariables({}), "");
    EXPECT_EQ(encodeVariables({{"l", "m"}, {"k", "undefined"}}), "l=m&k=undefined");
    EXPECT_EQ(encodeVariables({{"a b", "1&2=3"}}), "a%20b=1%262%3D3");
}

TEST(LoadVarsCodec, DecodesPairsSkippingEmptyPieces) {
    NameValuePairs expected = {{"name", "Jo Ann"}, {"x", "1=2"}, {"flag", ""}, {"", "v"}};
    EXPECT_EQ(decodeVariables("name=Jo+Ann&&x=1%3D2&flag&=v&"), expected);
    EXPECT_EQ(decodeVariables("a=1&b=2&c=3", 2).size(), 2u) << "capped";
    auto roundTrip = decodeVariables(encodeVariables({{"k\xC3\xA9y", "v+a&l"}}));
    ASSERT_EQ(roundTrip.size(), 1u);
    EXPECT_EQ(roundTrip[0].first, "k\xC3\xA9y");
    EXPECT_EQ(roundTrip[0].second, "v+a&l");
}

TEST(LoadVarsCodec, NonAsciiUtf8IsWellFormedTextBeyondAscii) {
    EXPECT_TRUE(isNonAsciiUtf8("caf\xC3\xA9 \xE7\x89\x87 \xF0\x9F\x98\x9C"));
    EXPECT_FALSE(isNonAsciiUtf8("plain")) << "nothing beyond ASCII";
    EXPECT_FALSE(isNonAsciiUtf8("\xC4rger")) << "Western";
    EXPECT_FALSE(isNonAsciiUtf8("\x95\xD0\x89\xBC")) << "Shift-JIS";
    EXPECT_FALSE(isNonAsciiUtf8("\xC0\xAF")) << "overlong";
    EXPECT_FALSE(isNonAsciiUtf8("\xED\xA0\x80")) << "surrogate";
    EXPECT_FALSE(isNonAsciiUtf8("\xE7\x89")) << "cut short";
}

}  // namespace
