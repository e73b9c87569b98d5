#include "names.h"

#include "../../text/utf8.h"
#include "utf16_text.h"

namespace swf::avm1 {
namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

char32_t lowerCodePoint(char32_t c) { return c < 0x10000 ? lowerCaseUnit(char16_t(c)) : c; }

// Past ASCII the player's case table decides: "Ä" names "ä", and "Ǳ", "ǲ" and "ǳ" are one name.
bool sameFoldedText(const std::string& a, const std::string& b) {
    const std::u32string x = decodeUtf8(a);
    const std::u32string y = decodeUtf8(b);
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i)
        if (lowerCodePoint(x[i]) != lowerCodePoint(y[i])) return false;
    return true;
}

}  // namespace

bool sameName(const std::string& a, const std::string& b, NameRule rule) {
    if (rule.caseSensitive) return a == b;
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if ((x | y) & 0x80) return sameFoldedText(a.substr(i), b.substr(i));  // both ASCII so far
        if (lowerAscii(char(x)) != lowerAscii(char(y))) return false;
    }
    return a.size() == b.size();
}

std::string foldedName(const std::string& name) {
    std::string out;
    for (char32_t c : decodeUtf8(name)) appendUtf8(out, lowerCodePoint(c));
    return out;
}

bool parseLevelName(const std::string& name, NameRule rule, int32_t& level) {
    if (name.size() < 6) return false;
    const std::string prefix = name.substr(0, 6);
    if (!sameName(prefix, "_level", rule) && !sameName(prefix, "_flash", rule)) return false;
    size_t i = 6;
    const bool negative = i < name.size() && name[i] == '-';
    if (negative) ++i;
    uint32_t n = 0;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) n = n * 10u + uint32_t(name[i] - '0');
    if (negative) n = 0u - n;
    level = int32_t(n);
    return true;
}

std::vector<std::string> splitNameList(const std::string& list) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        names.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return names;
}

}  // namespace swf::avm1
