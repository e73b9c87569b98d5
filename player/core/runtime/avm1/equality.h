// ECMA abstract equality (the `==` of SWF 5 and later), for natives that compare as scripts do
// (AsBroadcaster finds a listener to remove with it).
#pragma once

#include "vm.h"

namespace swf::avm1 {

bool looselyEqual(Vm& vm, const Value& a, const Value& b);

}  // namespace swf::avm1
