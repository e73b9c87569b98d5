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

int Timeline::findLabel(const std::string& label) const {
    for (size_t i = 0; i < frames.size(); ++i)
        for (const std::string& l : frames[i].labels)
            if (equalsIgnoreCase(l, label)) return int(i);
    return -1;
}

}  // namespace swf
