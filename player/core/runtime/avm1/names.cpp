#include "names.h"

namespace swf::avm1 {
namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

}  // namespace

bool sameName(const std::string& a, const std::string& b, NameRule rule) {
    if (a.size() != b.size()) return false;
    if (rule.caseSensitive) return a == b;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

std::string foldedName(const std::string& name) {
    std::string out = name;
    for (char& c : out) c = lowerAscii(c);
    return out;
}

}  // namespace swf::avm1
