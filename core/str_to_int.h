// The one text-to-integer conversion of the program, used for window handles on the command line
// and for numbers stored as registry text.
#pragma once

#include <cstdint>
#include <string>

namespace kestoral {

// Accepts leading blanks, then either an optional sign and decimal digits, or "$", "x"/"X" or
// "0x"/"0X" followed by one to eight hexadecimal digits; nothing may follow. Decimal values must
// fit a signed 32-bit integer; eight hex digits wrap ("$FFFFFFFF" is -1). On failure `value` is
// left unchanged and the result is false.
bool TryStrToInt(const std::string& text, int32_t& value);

}  // namespace kestoral
