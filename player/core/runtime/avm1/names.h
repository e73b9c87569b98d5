// The one rule for comparing property, variable and clip names: movies before SWF 7 compare
// names without regard to case ("_X" is "_x", "MyVar" is "myvar", "Ä" is "ä"); SWF 7 and later
// compare them exactly. Every lookup in the player goes through these helpers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swf::avm1 {

struct NameRule {
    bool caseSensitive = true;
    // The movie's version, for properties that ASSetPropFlags hides from some versions;
    // 0 sees them all (natives building objects).
    uint8_t version = 0;
    static NameRule forVersion(int swfVersion) {
        return NameRule{swfVersion >= 7, uint8_t(swfVersion < 1 ? 1 : swfVersion > 255 ? 255 : swfVersion)};
    }
};

bool sameName(const std::string& a, const std::string& b, NameRule rule);
// Lower case by the same rule (the player's case table past ASCII).
std::string foldedName(const std::string& name);
// "_level3" and "_flash3" name level 3. The digits are read as far as they go, wrapping at 32
// bits: "_level" and "_level0a" are level 0, "_level4294967297" is level 1, "_level-1" level -1.
// False for any other name.
bool parseLevelName(const std::string& name, NameRule rule, int32_t& level);
// A comma-separated list of names as the natives take one (ASSetPropFlags, ASSetNative):
// "a,,b" is "a", "", "b".
std::vector<std::string> splitNameList(const std::string& list);

}  // namespace swf::avm1
