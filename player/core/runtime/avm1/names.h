// The one rule for comparing property, variable and clip names: movies before SWF 7 compare
// names without regard to ASCII case ("_X" is "_x", "MyVar" is "myvar"); SWF 7 and later
// compare them exactly. Every lookup in the player goes through these helpers.
#pragma once

#include <cstdint>
#include <string>

namespace swf::avm1 {

struct NameRule {
    bool caseSensitive = true;
    static NameRule forVersion(int swfVersion) { return NameRule{swfVersion >= 7}; }
};

bool sameName(const std::string& a, const std::string& b, NameRule rule);
// ASCII lower case; bytes of multibyte characters are kept.
std::string foldedName(const std::string& name);

}  // namespace swf::avm1
