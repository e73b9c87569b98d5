// Text to number as the original player converts it: the ToNumber of a string (which depends
// on the movie's SWF version) and the global parseFloat and parseInt.
#pragma once

#include <optional>
#include <string_view>

namespace swf::avm1 {

// ToNumber of a string.
// - SWF 4: the leading number is read and what follows ignored; no number at all is 0.
// - SWF 5: leading whitespace is skipped; anything after the number (trailing spaces too)
//   makes it NaN, as does "" or "Infinity".
// - SWF 6 and later: in addition "0x1F" and "-0x1F"... read as hexadecimal and "017" or
//   "-017" (a zero and only octal digits) as octal, both wrapped to a signed 32-bit integer.
//   A sign before "0x" is not skipped by the original, so "-0x1F" is NaN.
double stringToNumber(std::string_view text, int swfVersion);

// The global parseFloat: leading whitespace, a sign, digits with dots (dots after the first
// are skipped, "1.2.3" is 1.23), an exponent only right after the first fraction, and
// whatever follows ignored. No digits at all is NaN; "Infinity" is NaN.
double parseFloatPrefix(std::string_view text);

// The global parseInt with its radix argument already converted to a number (nullopt when
// none was given). A radix outside 2..36 after truncation gives NaN. Without a radix "0x.."
// is hexadecimal and "0" followed by only octal digits (after an optional sign) is octal; a
// signed "-0x.." is NaN unless the radix makes 'x' a digit. Leading whitespace is skipped
// after the prefix is recognised (so " 0x10" is 0 and " 077" is 77).
double parseIntPrefix(std::string_view text, std::optional<double> radix);

}  // namespace swf::avm1
