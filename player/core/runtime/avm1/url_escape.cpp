#include "url_escape.h"

namespace swf::avm1 {

namespace {

bool isAlphanumeric(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string urlEscape(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == 0) break;
        if (isAlphanumeric(c)) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    return out;
}

std::string urlUnescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out.push_back(' ');
        } else if (c != '%') {
            out.push_back(c);
        } else {
            const int high = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
            if (high < 0) {
                ++i;  // '%' and the character after it, if any
                continue;
            }
            const int low = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
            i += 2;
            if (low >= 0) out.push_back(static_cast<char>(high * 16 + low));
        }
    }
    return out;
}

}  // namespace swf::avm1
