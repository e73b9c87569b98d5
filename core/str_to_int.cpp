#include "str_to_int.h"

namespace kestoral {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool TryStrToInt(const std::string& text, int32_t& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;

    size_t hexStart = std::string::npos;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hexStart = i + 1;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hexStart = i + 2;
    }

    if (hexStart != std::string::npos) {
        const size_t digits = text.size() - hexStart;
        if (digits == 0 || digits > 8) return false;
        uint32_t v = 0;
        for (size_t k = hexStart; k < text.size(); ++k) {
            const int d = HexDigit(text[k]);
            if (d < 0) return false;
            v = (v << 4) | uint32_t(d);
        }
        value = int32_t(v);
        return true;
    }

    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return false;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
        if (v > int64_t(INT32_MAX) + 1) return false;
    }
    if (negative) v = -v;
    if (v > INT32_MAX || v < INT32_MIN) return false;
    value = int32_t(v);
    return true;
}

}  // namespace kestoral
