#include "timeline.h"

#include <cctype>

namespace swf {
namespace {

bool equalsIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(uint8_t(a[i])) != std::tolower(uint8_t(b[i]))) return false;
    return true;
}

}  // namespace

// A label written as asked wins over an earlier one that differs in case only: with
// "someframe2" on frame 11 and "SomeFrame2" on frame 24, "SomeFrame2" is frame 24.
int Timeline::findLabel(const std::string& label) const {
    int caseless = -1;
    for (size_t i = 0; i < frames.size(); ++i)
        for (const std::string& l : frames[i].labels) {
            if (l == label) return int(i);
            if (caseless < 0 && equalsIgnoreCase(l, label)) caseless = int(i);
        }
    return caseless;
}

}  // namespace swf
