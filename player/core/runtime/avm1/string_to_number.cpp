#include "string_to_number.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "number_format.h"

namespace swf::avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view skipSpace(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && isSpace(s[i])) ++i;
    return s.substr(i);
}

// Returns true for '-'; consumes '+' or '-'.
bool takeSign(std::string_view& s) {
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        bool negative = s[0] == '-';
        s.remove_prefix(1);
        return negative;
    }
    return false;
}

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// The decimal reader behind ToNumber (strict: the whole text must be the number) and
// parseFloat (not strict). Digits are summed one by one, each scaled by its power of ten,
// which is how the original arrives at its exact bits (".1499999" is 0.14999990000000005).
double parseDecimal(std::string_view s, bool strict) {
    s = skipSpace(s);
    const bool negative = takeSign(s);
    const std::string_view number = s;

    size_t i = 0;
    while (i < s.size() && isDigit(s[i])) ++i;
    int32_t exponent = static_cast<int32_t>(i) - 1;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i;
    }
    if (i == 0) return kNaN;
    if (i == 1 && s[0] == '.') return kNaN;

    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        std::string_view rest = s.substr(i);
        const bool negativeExponent = takeSign(rest);
        i = s.size() - rest.size();
        uint32_t value = 0;  // wraps like the original's 32-bit exponent: 1e4294967297 is 10
        while (i < s.size() && isDigit(s[i])) value = value * 10u + static_cast<uint32_t>(s[i++] - '0');
        if (negativeExponent) value = 0u - value;
        exponent = static_cast<int32_t>(static_cast<uint32_t>(exponent) + value);
    }
    if (strict && i != s.size()) return kNaN;

    double result = 0;
    for (char c : number) {
        if (isDigit(c)) {
            result += scaleByPowerOfTen(c - '0', exponent);
            exponent = static_cast<int32_t>(static_cast<uint32_t>(exponent) - 1u);
        } else if (c != '.') {
            break;
        }
    }
    return negative ? -result : result;
}

// A whole signed integer in the given radix, wrapped to 32 bits; nullopt when any character
// is not a digit or there are none.
std::optional<int32_t> parseWrappedInteger(std::string_view s, int radix) {
    const bool negative = takeSign(s);
    if (s.empty()) return std::nullopt;
    uint32_t value = 0;
    for (char c : s) {
        int digit = digitValue(c);
        if (digit >= radix) return std::nullopt;
        value = value * static_cast<uint32_t>(radix) + static_cast<uint32_t>(digit);
    }
    return static_cast<int32_t>(negative ? 0u - value : value);
}

bool allOctal(std::string_view s) {
    for (char c : s) {
        if (c < '0' || c > '7') return false;
    }
    return true;
}

bool startsWithHexPrefix(std::string_view s) {
    return s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
}

// ToInt32 of a radix argument.
int32_t wrapToInt32(double n) {
    if (!std::isfinite(n)) return 0;
    double m = std::fmod(std::trunc(n), 4294967296.0);
    if (m < 0) m += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(m));
}

}  // namespace

double stringToNumber(std::string_view text, int swfVersion) {
    if (swfVersion >= 6) {
        std::string_view unsigned_ = text;
        takeSign(unsigned_);
        if (startsWithHexPrefix(unsigned_)) {
            auto value = parseWrappedInteger(text.substr(2), 16);
            return value ? static_cast<double>(*value) : kNaN;
        }
        if (!unsigned_.empty() && unsigned_[0] == '0' && allOctal(unsigned_.substr(1))) {
            auto value = parseWrappedInteger(text, 8);
            return value ? static_cast<double>(*value) : kNaN;
        }
    }
    const bool strict = swfVersion >= 5;
    double result = parseDecimal(text, strict);
    return (!strict && std::isnan(result)) ? 0.0 : result;
}

double parseFloatPrefix(std::string_view text) { return parseDecimal(text, false); }

double parseIntPrefix(std::string_view text, std::optional<double> radixArgument) {
    std::optional<int32_t> radix;
    if (radixArgument) {
        radix = wrapToInt32(*radixArgument);
        if (*radix < 2 || *radix > 36) return kNaN;
    }

    std::string_view s = text;
    bool signIgnored = false;
    int base = 10;
    std::string_view afterSign = s.substr(s.empty() || (s[0] != '+' && s[0] != '-') ? 0 : 1);
    if (afterSign.size() != s.size() && startsWithHexPrefix(afterSign)) {
        // "-0x1F": the original neither skips the prefix nor honours the sign; only a radix
        // in which 'x' is a digit reads anything.
        if (!radix || *radix <= 33) return kNaN;
        signIgnored = true;
        base = *radix;
        s = afterSign;
    } else if (startsWithHexPrefix(s)) {
        s.remove_prefix(2);
        base = radix.value_or(16);
    } else if (!afterSign.empty() && afterSign[0] == '0' && allOctal(afterSign.substr(1))) {
        base = radix.value_or(8);
    } else {
        base = radix.value_or(10);
    }

    s = skipSpace(s);
    bool negative = false;
    if (!signIgnored) negative = takeSign(s);

    double result = 0;
    bool anyDigit = false;
    for (char c : s) {
        int digit = digitValue(c);
        if (digit >= base) break;
        result = result * base + digit;
        anyDigit = true;
    }
    if (!anyDigit) return kNaN;
    return negative ? -result : result;
}

}  // namespace swf::avm1
