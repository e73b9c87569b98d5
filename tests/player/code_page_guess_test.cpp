// The tools' stand-in for the system's code page: Shift-JIS or Western by the bytes.
#include <gtest/gtest.h>

#include <hostoptions/code_page_guess.h>

namespace {

TEST(CodePageGuess, TwoBytePairsMakeShiftJisElseWestern) {
    EXPECT_EQ(tools::guessedCodePageToUtf8("\x95\xD0\x89\xBC\x96\xBC"), "\xE7\x89\x87\xE4\xBB\xAE\xE5\x90\x8D");
    // Ä Ö Ü are half-width katakana bytes in Shift-JIS too: with no pair they stay Western.
    EXPECT_EQ(tools::guessedCodePageToUtf8("\xC4\xD6\xDC \xDF"), "\xC3\x84\xC3\x96\xC3\x9C \xC3\x9F");
    EXPECT_EQ(tools::guessedCodePageToUtf8("\x80 \x95"), "\xE2\x82\xAC \xE2\x80\xA2") << "a lead byte without its trail";
    EXPECT_FALSE(tools::looksLikeShiftJis("plain"));
    EXPECT_FALSE(tools::looksLikeShiftJis("\x95\x7F")) << "7F is no trail byte";
}

}  // namespace
