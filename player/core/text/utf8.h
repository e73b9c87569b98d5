// Text of SWF 6 and later movies is UTF-8; older movies store one byte per character.
#pragma once

#include <string>

namespace swf {

// Lenient: a byte that does not start a well-formed sequence stands for itself (Latin-1), so
// the text of an old movie or a damaged string still shows.
std::u32string decodeUtf8(const std::string& s);
// One code point appended as UTF-8.
void appendUtf8(std::string& out, char32_t c);
std::string encodeUtf8(const std::u32string& text);

}  // namespace swf
