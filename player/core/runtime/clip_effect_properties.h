// MovieClip's Flash 8 display properties that take script objects: filters (an array of
// flash.filters objects; reading gives copies), opaqueBackground (a colour or null),
// scrollRect (a flash.geom.Rectangle in pixels, or undefined) and transform
// (flash.geom.Transform). Each write changes the clip's display state, which the renderer
// draws and the dirty-area cache hashes.
#pragma once

#include <string>

#include "avm1/vm.h"
#include "clip.h"

namespace swf {

// True when `name` is one of these properties (then `out` holds its value / the write is done).
bool getClipEffectProperty(avm1::Vm& vm, Clip& clip, const std::string& name, avm1::Value& out);
bool setClipEffectProperty(avm1::Vm& vm, Clip& clip, const std::string& name, const avm1::Value& value);

// The filters of any display object (text fields have them too): copies as script objects,
// and a write from an array of filter objects (other elements left out, a non-object ignored).
avm1::Value readFilters(avm1::Vm& vm, const DisplayState& s);
void writeFilters(avm1::Vm& vm, DisplayState& s, const avm1::Value& value);

}  // namespace swf
