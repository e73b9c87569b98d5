// Number <-> text conversions of the script core: the original player's digit rules.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <runtime/avm1/number_format.h>
#include <runtime/avm1/string_to_number.h>

namespace {

using namespace swf::avm1;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(NumberFormat, IntegersSpecialValuesAndNegativeZero) {
    EXPECT_EQ(formatNumber(0), "0");
    EXPECT_EQ(formatNumber(-0.0), "0");
    EXPECT_EQ(formatNumber(-42), "-42");
    EXPECT_EQ(formatNumber(2147483647), "2147483647");
    EXPECT_EQ(formatNumber(kNaN), "NaN");
    EXPECT_EQ(formatNumber(kInf), "Infinity");
    EXPECT_EQ(formatNumber(-kInf), "-Infinity");
}

TEST(NumberFormat, FifteenSignificantDigitsRoundedHalfAway) {
    EXPECT_EQ(formatNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatNumber(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(formatNumber(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(formatNumber(-22222222.222222222), "-22222222.2222222");
    EXPECT_EQ(formatNumber(99999.99999), "99999.99999");
    EXPECT_EQ(formatNumber(12.5), "12.5");
    EXPECT_EQ(formatNumber(99.99999999999999), "100") << "the carry reaches the spare digit";
    EXPECT_EQ(formatNumber(4294967296.5), "4294967296.5");
}

TEST(NumberFormat, ExponentFormsOutsideTheDecimalRange) {
    EXPECT_EQ(formatNumber(1e15), "1e+15");
    EXPECT_EQ(formatNumber(999999999999999.0), "999999999999999");
    EXPECT_EQ(formatNumber(-22222222222222222.0), "-2.22222222222222e+16");
    EXPECT_EQ(formatNumber(8.64e15 + 1), "8.64e+15");
    EXPECT_EQ(formatNumber(1e21), "1e+21");
    EXPECT_EQ(formatNumber(1.79769313486231e308), "1.79769313486231e+308");
    EXPECT_EQ(formatNumber(0.00001), "0.00001");
    EXPECT_EQ(formatNumber(0.000012345), "0.000012345");
    EXPECT_EQ(formatNumber(0.0000099), "9.9e-6");
    EXPECT_EQ(formatNumber(1e-7), "1e-7");
    EXPECT_EQ(formatNumber(-1.5e-7), "-1.5e-7");
    EXPECT_EQ(formatNumber(5e-324), "4.94065645841247e-324") << "subnormal";
}

TEST(NumberFormat, CarryFaultOfTheOriginalOnLargeNegatives) {
    EXPECT_EQ(formatNumber(9999999999999998.0), "1e+16");
    EXPECT_EQ(formatNumber(-9999999999999998.0), "-e+16");
    EXPECT_EQ(formatNumber(-1e16), "-1e+16") << "no carry, no fault";
}

TEST(NumberFormat, RadixTruncatesAndKeepsTheSign) {
    EXPECT_EQ(formatNumberRadix(255, 16), "ff");
    EXPECT_EQ(formatNumberRadix(-255.9, 16), "-ff");
    EXPECT_EQ(formatNumberRadix(5.75, 2), "101");
    EXPECT_EQ(formatNumberRadix(35, 36), "z");
    EXPECT_EQ(formatNumberRadix(-2147483647, 2), "-1111111111111111111111111111111");
    EXPECT_EQ(formatNumberRadix(0.5, 8), "0");
    EXPECT_EQ(formatNumberRadix(4294967296.0, 16), "0") << "outside 32 bits";
    EXPECT_EQ(formatNumberRadix(kNaN, 16), "-(0000000") << "NaN is -2^31, whose digits stay negative";
    EXPECT_EQ(formatNumberRadix(kNaN, 2), "-/" + std::string(31, '0'));
}

TEST(StringToNumber, DependsOnTheSwfVersion) {
    EXPECT_EQ(stringToNumber("", 4), 0);
    EXPECT_EQ(stringToNumber("abc", 4), 0);
    EXPECT_EQ(stringToNumber("12abc", 4), 12) << "SWF 4 reads the leading number";
    EXPECT_TRUE(std::isnan(stringToNumber("", 5)));
    EXPECT_TRUE(std::isnan(stringToNumber("12abc", 5)));
    EXPECT_TRUE(std::isnan(stringToNumber("12 ", 6))) << "trailing space is junk";
    EXPECT_EQ(stringToNumber("  12.5e1", 6), 125);
    EXPECT_EQ(stringToNumber("-.5", 7), -0.5);
    EXPECT_TRUE(std::isnan(stringToNumber("Infinity", 7)));

    EXPECT_TRUE(std::isnan(stringToNumber("0x96", 5))) << "hex only from SWF 6";
    EXPECT_EQ(stringToNumber("0x96", 6), 150);
    EXPECT_EQ(stringToNumber("0XfFfFfFfF", 6), -1) << "wrapped to 32 bits";
    EXPECT_TRUE(std::isnan(stringToNumber("-0x10", 6))) << "the sign stops the prefix";
    EXPECT_TRUE(std::isnan(stringToNumber("0x", 7)));
    EXPECT_EQ(stringToNumber("010", 6), 8);
    EXPECT_EQ(stringToNumber("-010", 6), -8);
    EXPECT_EQ(stringToNumber("010", 5), 10);
    EXPECT_EQ(stringToNumber("019", 6), 19) << "not all octal digits: decimal";
}

TEST(ParseFloat, ReadsThePrefixWithTheOriginalsQuirks) {
    EXPECT_EQ(parseFloatPrefix("  3.25kg"), 3.25);
    EXPECT_EQ(formatNumber(parseFloatPrefix("+100e-100")), "1e-98");
    EXPECT_EQ(parseFloatPrefix("-34.1+e20"), -34.1);
    EXPECT_EQ(parseFloatPrefix("4e"), 4);
    EXPECT_EQ(parseFloatPrefix("4e-"), 4);
    EXPECT_EQ(parseFloatPrefix("2e4294967298"), 200) << "the exponent wraps at 32 bits";
    EXPECT_EQ(parseFloatPrefix("3.25.5"), 3.255) << "later dots are skipped";
    EXPECT_EQ(parseFloatPrefix("3.25.5e9"), 3.255) << "no exponent after a second dot";
    EXPECT_EQ(parseFloatPrefix("9e99999"), kInf);
    EXPECT_EQ(parseFloatPrefix(".1499999"), 0.14999990000000005) << "summed digit by digit";
    EXPECT_TRUE(std::isnan(parseFloatPrefix("Infinity")));
    EXPECT_TRUE(std::isnan(parseFloatPrefix("-")));
    EXPECT_TRUE(std::isnan(parseFloatPrefix("e5")));
    EXPECT_TRUE(std::isnan(parseFloatPrefix("")));
    EXPECT_EQ(parseFloatPrefix("0x1A"), 0);
}

TEST(ParseInt, PrefixesRadixAndSigns) {
    EXPECT_EQ(parseIntPrefix("42abc", std::nullopt), 42);
    EXPECT_EQ(parseIntPrefix("0x1f", std::nullopt), 31);
    EXPECT_EQ(parseIntPrefix("0x1f", 16.9), 31);
    EXPECT_EQ(parseIntPrefix("0x-1f", std::nullopt), -31) << "sign after the prefix";
    EXPECT_EQ(parseIntPrefix("0x  1f", std::nullopt), 31) << "spaces after the prefix";
    EXPECT_EQ(parseIntPrefix(" 0x1f", std::nullopt), 0) << "a space hides the prefix";
    EXPECT_TRUE(std::isnan(parseIntPrefix("-0x1f", std::nullopt)));
    EXPECT_TRUE(std::isnan(parseIntPrefix("+0x1f", 33)));
    EXPECT_EQ(parseIntPrefix("-0x1", 34), 33 * 34 + 1) << "sign ignored, 'x' a digit";
    EXPECT_EQ(parseIntPrefix("017", std::nullopt), 15);
    EXPECT_EQ(parseIntPrefix("-017", std::nullopt), -15);
    EXPECT_EQ(parseIntPrefix("017", 10), 17);
    EXPECT_EQ(parseIntPrefix(" 017", std::nullopt), 17);
    EXPECT_EQ(parseIntPrefix("018", std::nullopt), 18);
    EXPECT_EQ(parseIntPrefix("zz", 36), 35 * 36 + 35);
    EXPECT_TRUE(std::isnan(parseIntPrefix("10", 1)));
    EXPECT_TRUE(std::isnan(parseIntPrefix("10", 37)));
    EXPECT_TRUE(std::isnan(parseIntPrefix("10", kNaN)));
    EXPECT_TRUE(std::isnan(parseIntPrefix("--1", std::nullopt)));
    EXPECT_TRUE(std::isnan(parseIntPrefix("", std::nullopt)));
    EXPECT_EQ(parseIntPrefix(std::string(400, '9'), std::nullopt), kInf);
}

}  // namespace
