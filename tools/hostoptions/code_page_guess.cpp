#include "code_page_guess.h"

#include <runtime/avm1/loadvars_codec.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace tools {
namespace {

bool isLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrail(uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Empty when the system cannot convert.
std::string shiftJisToUtf8(std::string_view text) {
#ifdef _WIN32
    const int units = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), nullptr, 0);
    if (units <= 0) return std::string();
    std::wstring wide(size_t(units), L'\0');
    MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), wide.data(), units);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string out(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, out.data(), bytes, nullptr, nullptr);
    return out;
#else
    iconv_t cd = iconv_open("UTF-8", "SHIFT_JIS");
    if (cd == iconv_t(-1)) return std::string();
    std::string in(text);
    std::string out(text.size() * 3 + 4, '\0');  // a two-byte pair is at most three UTF-8 bytes
    char* src = in.data();
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    const size_t done = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (done == size_t(-1) || srcLeft != 0) return std::string();
    out.resize(out.size() - dstLeft);
    return out;
#endif
}

}  // namespace

bool looksLikeShiftJis(std::string_view text) {
    bool pair = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t b = uint8_t(text[i]);
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) continue;
        if (!isLead(b) || i + 1 >= text.size() || !isTrail(uint8_t(text[i + 1]))) return false;
        pair = true;
        ++i;
    }
    return pair;
}

std::string guessedCodePageToUtf8(std::string_view text) {
    if (looksLikeShiftJis(text)) {
        std::string japanese = shiftJisToUtf8(text);
        if (!japanese.empty()) return japanese;
    }
    return swf::avm1::windows1252ToUtf8(text);
}

}  // namespace tools
