#include "loadvars_codec.h"

#include <cstdint>

#include "url_escape.h"

namespace swf::avm1 {

std::string encodeVariables(const NameValuePairs& variables) {
    std::string out;
    for (const auto& [name, value] : variables) {
        if (!out.empty()) out.push_back('&');
        out += urlEscape(name);
        out.push_back('=');
        out += urlEscape(value);
    }
    return out;
}

NameValuePairs decodeVariables(std::string_view text, size_t maxPairs) {
    NameValuePairs pairs;
    size_t start = 0;
    while (start <= text.size() && pairs.size() < maxPairs) {
        size_t end = text.find('&', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view piece = text.substr(start, end - start);
        if (!piece.empty()) {
            size_t equals = piece.find('=');
            if (equals == std::string_view::npos) {
                pairs.emplace_back(urlUnescape(piece), std::string());
            } else {
                pairs.emplace_back(urlUnescape(piece.substr(0, equals)), urlUnescape(piece.substr(equals + 1)));
            }
        }
        start = end + 1;
    }
    return pairs;
}

namespace {

// 0x80-0x9F of the code page; the five unassigned bytes stay the control codes they number.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

std::string windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const uint8_t b = uint8_t(c);
        const uint32_t code = b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : b;
        if (code < 0x80) {
            out += char(code);
        } else if (code < 0x800) {
            out += char(0xC0 | (code >> 6));
            out += char(0x80 | (code & 0x3F));
        } else {
            out += char(0xE0 | (code >> 12));
            out += char(0x80 | ((code >> 6) & 0x3F));
            out += char(0x80 | (code & 0x3F));
        }
    }
    return out;
}

bool isNonAsciiUtf8(std::string_view text) {
    bool beyondAscii = false;
    for (size_t i = 0; i < text.size();) {
        const uint8_t b = uint8_t(text[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        // The sequence length and the smallest code point it may carry (no overlong forms).
        size_t length = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
        if (length == 0 || i + length > text.size()) return false;
        uint32_t code = b & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            const uint8_t c = uint8_t(text[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            code = (code << 6) | (c & 0x3F);
        }
        if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (length == 4 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
        beyondAscii = true;
        i += length;
    }
    return beyondAscii;
}

}  // namespace swf::avm1
