#include "utf16_text.h"

#include <algorithm>

#include "../../text/utf8.h"

namespace swf::avm1 {

void appendUtf8(std::string& out, uint32_t cp) { swf::appendUtf8(out, char32_t(cp)); }

std::u16string toUtf16Units(const std::string& text, bool utf8) {
    std::u16string units;
    units.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t extra = !utf8 ? 0
                           : lead >= 0xF0 && lead < 0xF8 ? 3
                           : lead >= 0xE0 && lead < 0xF0 ? 2
                           : lead >= 0xC0 && lead < 0xE0 ? 1 : 0;
        uint32_t cp = lead;
        bool valid = extra > 0 && i + extra < text.size();
        if (valid) {
            cp = lead & (0x3Fu >> extra);
            for (size_t k = 1; k <= extra && valid; ++k) {
                const auto c = static_cast<unsigned char>(text[i + k]);
                valid = (c & 0xC0) == 0x80;
                cp = (cp << 6) | (c & 0x3F);
            }
        }
        if (!valid) {
            units.push_back(lead);
            ++i;
            continue;
        }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(cp));
        }
    }
    return units;
}

namespace {

// Surrogates sort above every other unit so that UTF-16 order becomes code point order.
char16_t codePointOrderKey(char16_t unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) return static_cast<char16_t>(unit + 0x2000);
    if (unit >= 0xE000) return static_cast<char16_t>(unit - 0x800);
    return unit;
}

bool isAscii(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

bool codePointLess(const std::string& a, const std::string& b) {
    if (isAscii(a) && isAscii(b)) return a < b;
    const std::u16string x = toUtf16Units(a, true);
    const std::u16string y = toUtf16Units(b, true);
    const size_t n = std::min(x.size(), y.size());
    for (size_t i = 0; i < n; ++i)
        if (x[i] != y[i]) return codePointOrderKey(x[i]) < codePointOrderKey(y[i]);
    return x.size() < y.size();
}

std::string fromUtf16Units(const std::u16string& units, bool utf8) {
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (!utf8 && u < 0x100) {
            out.push_back(static_cast<char>(u));
        } else if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            appendUtf8(out, 0x10000 + ((uint32_t(u) - 0xD800) << 10) + (uint32_t(units[i + 1]) - 0xDC00));
            ++i;
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

std::string wellFormedUtf8(const std::string& text) {
    // Surrogates are the only three-byte sequences that start 0xED 0xA0..0xBF.
    bool hasSurrogate = false;
    for (size_t i = 0; i + 1 < text.size() && !hasSurrogate; ++i)
        hasSurrogate = static_cast<unsigned char>(text[i]) == 0xED && static_cast<unsigned char>(text[i + 1]) >= 0xA0;
    if (!hasSurrogate) return text;
    std::u16string units = toUtf16Units(text, true);
    for (size_t i = 0; i < units.size(); ++i) {
        const bool high = units[i] >= 0xD800 && units[i] < 0xDC00;
        const bool pairs = high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000;
        if (pairs) ++i;
        else if (units[i] >= 0xD800 && units[i] < 0xE000) units[i] = 0xFFFD;
    }
    return fromUtf16Units(units, true);
}

}  // namespace swf::avm1
