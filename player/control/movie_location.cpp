#include "movie_location.h"

#include <cwctype>

namespace swfctl {
namespace {

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    for (size_t i = 0; prefix[i]; ++i) {
        if (i >= text.size() || std::towlower(text[i]) != std::towlower(prefix[i])) return false;
    }
    return true;
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// %XX escapes are bytes of UTF-8; plain characters pass through as they are.
std::wstring Unescape(const std::wstring& text) {
    std::wstring out;
    std::string bytes;
    auto flush = [&] {
        size_t i = 0;
        while (i < bytes.size()) {
            unsigned char b = static_cast<unsigned char>(bytes[i]);
            int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
            unsigned long code = extra == 0 ? b : b & (0x3F >> extra);
            bool valid = b < 0x80 || (b >= 0xC0 && b < 0xF8);
            for (int k = 1; valid && k <= extra; ++k) {
                if (i + k >= bytes.size() || (static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) {
                    valid = false;
                } else {
                    code = (code << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
                }
            }
            if (!valid) {  // not UTF-8: keep the byte as a Latin-1 character
                out += wchar_t(b);
                ++i;
                continue;
            }
            if (code >= 0x10000) {
                code -= 0x10000;
                out += wchar_t(0xD800 + (code >> 10));
                out += wchar_t(0xDC00 + (code & 0x3FF));
            } else {
                out += wchar_t(code);
            }
            i += size_t(extra) + 1;
        }
        bytes.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            bytes += char(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            flush();
            out += text[i];
        }
    }
    flush();
    return out;
}

bool HasScheme(const std::wstring& text) {
    // "C:\..." has a one-letter "scheme": that is a drive, not a URL.
    size_t colon = text.find(L':');
    if (colon == std::wstring::npos || colon < 2) return false;
    for (size_t i = 0; i < colon; ++i) {
        if (!std::iswalnum(text[i]) && text[i] != L'+' && text[i] != L'-' && text[i] != L'.') return false;
    }
    return true;
}

}  // namespace

bool LocalPathFromMovie(const std::wstring& movie, std::wstring& path) {
    if (!StartsWithNoCase(movie, L"file:")) {
        if (HasScheme(movie)) return false;
        path = movie;
        return true;
    }
    std::wstring rest = movie.substr(5);
    bool server = false;
    if (StartsWithNoCase(rest, L"///")) {
        rest = rest.substr(3);
    } else if (StartsWithNoCase(rest, L"//")) {
        rest = rest.substr(2);
        // file://C:/x is a drive written where the host belongs; file://localhost/C:/x names this machine.
        if (StartsWithNoCase(rest, L"localhost/")) rest = rest.substr(10);
        else server = !(rest.size() >= 2 && rest[1] == L':') && !(rest.size() >= 2 && rest[1] == L'|');
    }
    rest = Unescape(rest);
    for (auto& c : rest) {
        if (c == L'/') c = L'\\';
    }
    if (rest.size() >= 2 && rest[1] == L'|') rest[1] = L':';  // the old file:///C|/ form
    path = server ? L"\\\\" + rest : rest;
    return !path.empty();
}

}  // namespace swfctl
