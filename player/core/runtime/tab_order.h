// tabIndex as scripts set it on clips, buttons and text fields.
#pragma once

#include <cstdint>
#include <optional>

#include "avm1/value.h"

namespace swf {

namespace avm1 {
class Object;
class Vm;
}  // namespace avm1

// What a clip or button keeps of a value set to tabIndex (nothing for undefined and null).
std::optional<int32_t> clipTabIndex(avm1::Vm& vm, const avm1::Value& v);
// What a text field keeps: undefined, or an unsigned 32-bit number.
avm1::Value fieldTabIndex(avm1::Vm& vm, const avm1::Value& v);
// MovieClip.prototype.tabIndex (hidden from for..in) and Button.prototype.tabIndex (listed).
void defineTabIndexProperties(avm1::Vm& vm, avm1::Object* movieClipProto, avm1::Object* buttonProto);

}  // namespace swf
