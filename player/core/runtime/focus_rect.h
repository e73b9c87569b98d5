// _focusrect. Before SWF 6 every object reads and writes the stage's setting, as 1 or 0;
// later only the levels do (as true or false) and each clip, button and text field has its
// own, null until set.
#pragma once

#include <optional>

#include "avm1/value.h"

namespace swf {

namespace avm1 {
class Vm;
}

struct FocusRectSetting {
    bool& stage;               // the player's: shown unless a script turned it off
    std::optional<bool>& own;  // the object's
    bool isLevel;              // a root: reads the stage's setting in every version
};

avm1::Value readFocusRect(avm1::Vm& vm, const FocusRectSetting& s);
// The stage's setting ignores undefined and null, turns off for an object, and otherwise is
// on for any number but 0 (NaN included). An object's own setting takes the value as a
// boolean, undefined and null making it null again.
void writeFocusRect(avm1::Vm& vm, const FocusRectSetting& s, const avm1::Value& v);

}  // namespace swf
