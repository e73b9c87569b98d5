// Script strings are stored as UTF-8 (SWF 6 and later) or as the movie's 8-bit text (before),
// but String methods count and index UTF-16 code units as the original does ("😋".length is
// 2). These convert between the two and change letter case.
#pragma once

#include <cstdint>
#include <string>

namespace swf::avm1 {

// UTF-8 to UTF-16 units when `utf8`; otherwise one unit per byte. Bytes that start no valid
// UTF-8 sequence become one unit each.
std::u16string toUtf16Units(const std::string& text, bool utf8);
// Back again. A lone surrogate keeps its own three-byte sequence, so that the halves that
// "😜".charAt(0) and charAt(1) give join again when concatenated. Without `utf8`, units above
// 0xFF are written as UTF-8 all the same (nothing better exists for them).
std::string fromUtf16Units(const std::u16string& units, bool utf8);

// The text as well-formed UTF-8 for the world outside scripts (trace output): a surrogate pair
// written as two three-byte sequences becomes its one character, a lone surrogate U+FFFD.
std::string wellFormedUtf8(const std::string& text);

// Orders two UTF-8 texts by code point, a pair of surrogates written as two three-byte
// sequences (as compilers write "\uD800\uDC02") counting as the one character it stands for.
bool codePointLess(const std::string& a, const std::string& b);

// Appends one code point as UTF-8.
void appendUtf8(std::string& out, uint32_t codePoint);

// Upper/lower case of one UTF-16 unit by the original player's table (unicode_case.cpp).
char16_t upperCaseUnit(char16_t c);
char16_t lowerCaseUnit(char16_t c);

}  // namespace swf::avm1
