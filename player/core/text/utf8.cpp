#include "utf8.h"

namespace swf {

std::u32string decodeUtf8(const std::string& s) {
    std::u32string out;
    out.reserve(s.size());
    auto cont = [&](size_t i) { return i < s.size() && (uint8_t(s[i]) & 0xc0) == 0x80; };
    auto bits = [&](size_t i) { return char32_t(uint8_t(s[i]) & 0x3f); };
    for (size_t i = 0; i < s.size();) {
        uint8_t c = uint8_t(s[i]);
        char32_t code = 0;
        size_t length = 1;
        if (c >= 0xc2 && c < 0xe0 && cont(i + 1)) {
            code = char32_t(c & 0x1f) << 6 | bits(i + 1);
            length = 2;
        } else if (c >= 0xe0 && c < 0xf0 && cont(i + 1) && cont(i + 2)) {
            code = char32_t(c & 0x0f) << 12 | bits(i + 1) << 6 | bits(i + 2);
            length = 3;
        } else if (c >= 0xf0 && c < 0xf5 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
            code = char32_t(c & 0x07) << 18 | bits(i + 1) << 12 | bits(i + 2) << 6 | bits(i + 3);
            length = 4;
        } else {
            code = c;
        }
        out.push_back(code);
        i += length;
    }
    return out;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xc0 | (c >> 6));
        out += char(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
        out += char(0xe0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3f));
        out += char(0x80 | (c & 0x3f));
    } else {
        out += char(0xf0 | ((c >> 18) & 0x07));
        out += char(0x80 | ((c >> 12) & 0x3f));
        out += char(0x80 | ((c >> 6) & 0x3f));
        out += char(0x80 | (c & 0x3f));
    }
}

std::string encodeUtf8(const std::u32string& text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) appendUtf8(out, c);
    return out;
}

}  // namespace swf
