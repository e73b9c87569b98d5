// Number to text as the original player writes it: trace output, string concatenation and
// Number.prototype.toString all go through here.
#pragma once

#include <string>

namespace swf::avm1 {

// 15 significant digits, rounded half away from zero; decimal notation from 1e-5 up to below
// 1e15, exponent notation ("1e+15", "1.5e-7") outside it; "NaN", "Infinity", "-Infinity";
// -0 prints "0". The digits are produced the way the original produces them (scaling by
// powers of ten and peeling digits off), including its carry fault on negative numbers that
// round up to a new power of ten: -9999999999999999 prints "-e+16".
std::string formatNumber(double n);

// Number.prototype.toString(radix) for a radix of 2..36 other than 10: the value truncated
// toward zero, lower-case digits, a leading '-' when negative. Values outside the 32-bit
// signed range, and NaN or the infinities, print "0" as the original does.
std::string formatNumberRadix(double n, int radix);

// value * 10^exponent by repeated squaring, multiplying for positive and dividing for negative
// exponents. Both directions are kept apart because the rounding of each step decides the last
// bit, and string-to-number parsing must agree with the original to that bit.
double scaleByPowerOfTen(double value, int exponent);

}  // namespace swf::avm1
