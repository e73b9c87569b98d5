// flash.filters for scripts: BitmapFilter and its nine kinds, each a native object over a
// ScriptFilter with the original's property rules, and the bridge to what clips and bitmaps use.
#pragma once

#include <optional>
#include <vector>

#include "../../filter.h"
#include "../avm1/vm.h"

namespace swf::filters {

void registerFilterClasses(avm1::Vm& vm);

// The renderer's filter of a filter object (sizes in pixels); nothing for any other value.
std::optional<Filter> renderFilterOf(avm1::Vm& vm, const avm1::Value& v);
// A new filter object of the filter's kind holding its values (clip.filters reads these).
avm1::Value makeFilterObject(avm1::Vm& vm, const Filter& f);

}  // namespace swf::filters
