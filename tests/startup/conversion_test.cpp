// The integer conversion shared by the command line and the settings, and the run-mode table.
#include <gtest/gtest.h>

#include "command_line.h"
#include "str_to_int.h"

using namespace kestoral;

namespace {

// Converts with a sentinel in place, so a failed conversion that touched the value shows.
::testing::AssertionResult Converts(const std::string& text, int32_t expected) {
    int32_t value = 0x5EA1;
    if (!TryStrToInt(text, value)) return ::testing::AssertionFailure() << "'" << text << "' was refused";
    if (value != expected)
        return ::testing::AssertionFailure() << "'" << text << "' gave " << value << ", expected " << expected;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Refuses(const std::string& text) {
    int32_t value = 0x5EA1;
    if (TryStrToInt(text, value)) return ::testing::AssertionFailure() << "'" << text << "' gave " << value;
    if (value != 0x5EA1) return ::testing::AssertionFailure() << "'" << text << "' changed the value on failure";
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(IntegerConversion, DecimalWithBlanksAndSign) {
    EXPECT_TRUE(Converts("1234", 1234));
    EXPECT_TRUE(Converts("   1234", 1234));
    EXPECT_TRUE(Converts("+7", 7));
    EXPECT_TRUE(Converts("-1", -1));
    EXPECT_TRUE(Converts("0", 0));
    EXPECT_TRUE(Converts("007", 7));
    EXPECT_TRUE(Converts("2147483647", 2147483647));
    EXPECT_TRUE(Converts("-2147483648", INT32_MIN));
}

TEST(IntegerConversion, DecimalOutside32BitsFails) {
    EXPECT_TRUE(Refuses("2147483648"));
    EXPECT_TRUE(Refuses("-2147483649"));
    EXPECT_TRUE(Refuses("99999999999999999999"));
}

TEST(IntegerConversion, HexFormsWrapToSigned) {
    EXPECT_TRUE(Converts("$1F", 31));
    EXPECT_TRUE(Converts("x1f", 31));
    EXPECT_TRUE(Converts("0X1F", 31));
    EXPECT_TRUE(Converts("  $FFFFFFFF", -1));
    EXPECT_TRUE(Converts("$80000000", INT32_MIN));
    EXPECT_TRUE(Refuses("$123456789"));  // nine digits
    EXPECT_TRUE(Refuses("$"));
    EXPECT_TRUE(Refuses("0x"));
    EXPECT_TRUE(Refuses("-$10"));  // no sign before the hex forms
    EXPECT_TRUE(Refuses("$1G"));
}

TEST(IntegerConversion, NothingMayFollowOrBeMissing) {
    EXPECT_TRUE(Refuses(""));
    EXPECT_TRUE(Refuses("   "));
    EXPECT_TRUE(Refuses("-"));
    EXPECT_TRUE(Refuses("12 "));
    EXPECT_TRUE(Refuses("12abc"));
    EXPECT_TRUE(Refuses("abc"));
    EXPECT_TRUE(Refuses("\t12"));  // only blanks are skipped
    EXPECT_TRUE(Refuses("1.5"));
}

TEST(CommandLine, SplitsOnBlanksAndGroupsQuotes) {
    const auto args = SplitCommandLine("\"C:\\Program Files\\kestoral.scr\"  /p\t1234 \"a b\"c \"\"");
    ASSERT_EQ(args.size(), 5u);
    EXPECT_EQ(args[0], "C:\\Program Files\\kestoral.scr");
    EXPECT_EQ(args[1], "/p");
    EXPECT_EQ(args[2], "1234");
    EXPECT_EQ(args[3], "a bc");
    EXPECT_EQ(args[4], "");
    EXPECT_TRUE(SplitCommandLine("   ").empty());
}

TEST(CommandLine, RunModeIsTheUpperCasedSecondCharacter) {
    auto mode = [](const char* line) { return DeriveRunMode(SplitCommandLine(line)); };
    EXPECT_EQ(mode("k.scr"), "C");
    EXPECT_EQ(mode("k.scr /c"), "C");
    EXPECT_EQ(mode("k.scr -C"), "C");
    EXPECT_EQ(mode("k.scr /c:1234"), "C");
    EXPECT_EQ(mode("k.scr /s"), "S");
    EXPECT_EQ(mode("k.scr -s"), "S");
    EXPECT_EQ(mode("k.scr /S"), "S");
    EXPECT_EQ(mode("k.scr xs"), "S");
    EXPECT_EQ(mode("k.scr /p 1234"), "P");
    EXPECT_EQ(mode("k.scr /a 99"), "A");
    EXPECT_EQ(mode("k.scr /x"), "X");
    // A bare letter has no second character: a NUL, which matches no mode and so shows.
    EXPECT_EQ(mode("k.scr s"), std::string(1, '\0'));
    // Only ASCII letters are upper-cased.
    EXPECT_EQ(mode("k.scr /\xE9"), "\xE9");
}
