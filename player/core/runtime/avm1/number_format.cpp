#include "number_format.h"

#include <cmath>
#include <limits>
#include <cstdint>
#include <cstring>

namespace swf::avm1 {

double scaleByPowerOfTen(double value, int exponent) {
    double base = 10.0;
    if (exponent > 0) {
        for (uint32_t e = static_cast<uint32_t>(exponent); e != 0; e >>= 1) {
            if (e & 1) value *= base;
            base *= base;
        }
    } else {
        // Negated through uint32 so INT_MIN (a wrapped exponent of parseFloat) is no overflow.
        for (uint32_t e = 0u - static_cast<uint32_t>(exponent); e != 0; e >>= 1) {
            if (e & 1) value /= base;
            base *= base;
        }
    }
    return value;
}

namespace {

constexpr int kSignificantDigits = 15;

// Decimal exponent of a positive finite value, estimated from its binary exponent with the
// original's log10(2) and corrected by one either way.
int decimalExponent(double n, double& mantissa) {
    uint64_t bits;
    std::memcpy(&bits, &n, sizeof bits);
    int binaryExponent = static_cast<int>((bits >> 52) & 0x7ff) - 1023;
    if (binaryExponent == -1023) {  // subnormal: scale into the normal range first
        double scaled = n * 18014398509481984.0;  // 2^54
        std::memcpy(&bits, &scaled, sizeof bits);
        binaryExponent = static_cast<int>((bits >> 52) & 0x7ff) - 1023 - 54;
    }
    int exponent = static_cast<int>(std::round(binaryExponent * 0.301029995663981));
    mantissa = scaleByPowerOfTen(n, -exponent);
    if (static_cast<int>(mantissa) == 0) {
        --exponent;
        mantissa = scaleByPowerOfTen(n, -exponent);
    }
    if (static_cast<int>(mantissa) >= 10) {
        ++exponent;
        mantissa = scaleByPowerOfTen(n, -exponent);
    }
    return exponent;
}

class DigitSource {
public:
    explicit DigitSource(double mantissa) : mantissa_(mantissa) {}
    char next() {
        int digit = static_cast<int>(mantissa_);
        if (digit < 0) digit = 0;
        if (digit > 9) digit = 9;
        mantissa_ = (mantissa_ - digit) * 10.0;
        return static_cast<char>('0' + digit);
    }

private:
    double mantissa_;
};

void roundUpLastDigit(std::string& text) {
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        if (*it == '9') {
            *it = '0';
        } else if (*it >= '0') {
            ++*it;
            return;
        }
    }
}

std::string formatFraction(double n) {
    std::string text;
    const bool negative = n < 0;
    if (negative) {
        n = -n;
        text.push_back('-');
    }
    double mantissa = 0;
    int exponent = decimalExponent(n, mantissa);
    DigitSource digits(mantissa);

    // A spare leading '0' takes the carry of 9.99.. -> 10 in the decimal layouts; the layout of
    // large numbers has none, which is where the original's "-e+16" comes from.
    if (exponent >= kSignificantDigits) {
        text.push_back(digits.next());
        text.push_back('.');
        for (int i = 0; i < kSignificantDigits - 1; ++i) text.push_back(digits.next());
    } else if (exponent >= 0) {
        text.push_back('0');
        for (int i = 0; i <= exponent; ++i) text.push_back(digits.next());
        text.push_back('.');
        for (int i = 0; i < kSignificantDigits - exponent - 1; ++i) text.push_back(digits.next());
        exponent = 0;
    } else if (exponent >= -5) {
        text += "00.";
        text.append(static_cast<size_t>(-exponent - 1), '0');
        for (int i = 0; i < kSignificantDigits; ++i) text.push_back(digits.next());
        exponent = 0;
    } else {
        text.push_back('0');
        char first = digits.next();
        if (first != '0') text.push_back(first);
        text.push_back('.');
        for (int i = 0; i < kSignificantDigits - 1; ++i) text.push_back(digits.next());
    }
    if (digits.next() >= '5') roundUpLastDigit(text);

    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();

    if (exponent != 0) {
        size_t firstNonZero = text.find_first_not_of('0');
        text.erase(0, firstNonZero == std::string::npos ? text.size() : firstNonZero);
        if (text.empty()) {
            text = "1";  // every digit carried away: 9.99..e+N became 10e+N
            ++exponent;
        } else {
            size_t lastNonZero = text.find_last_not_of('0');
            if (lastNonZero == 0 || lastNonZero == std::string::npos) {
                exponent += static_cast<int>(text.size()) - 1;  // "100e+15" -> "1e+17"
                text.resize(1);
            }
        }
        text += exponent > 0 ? "e+" : "e-";
        text += std::to_string(exponent > 0 ? exponent : -exponent);
    }

    // Drop the spare carry digit when no carry reached it.
    const size_t at = negative ? 1 : 0;
    if (text.size() > at + 1 && text[at] == '0' && text[at + 1] != '.') {
        text.erase(at, 1);
    }
    return text;
}

}  // namespace

std::string formatNumber(double n) {
    if (std::isnan(n)) return "NaN";
    if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
    if (n == 0) return "0";
    if (n >= -2147483648.0 && n <= 2147483647.0 && n == std::trunc(n)) {
        return std::to_string(static_cast<int32_t>(n));
    }
    return formatFraction(n);
}

std::string formatNumberRadix(double n, int radix) {
    if (radix < 2 || radix > 36) radix = 10;
    if (!std::isnan(n) && !(n > -2147483648.0 && n < 2147483648.0)) return "0";
    // 32-bit arithmetic as the original's: NaN passes the range test and becomes -2^31, whose
    // negation stays negative, so its digits come out as characters below '0'.
    int32_t whole = std::isnan(n) ? std::numeric_limits<int32_t>::min() : static_cast<int32_t>(n);
    if (whole == 0) return "0";
    const bool negative = whole < 0;
    if (negative) whole = static_cast<int32_t>(0u - static_cast<uint32_t>(whole));
    std::string reversed;
    while (whole != 0) {
        const int digit = whole % radix;
        reversed.push_back(static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10));
        whole /= radix;
    }
    if (negative) reversed.push_back('-');
    return std::string(reversed.rbegin(), reversed.rend());
}

}  // namespace swf::avm1
