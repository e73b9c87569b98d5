// flash.geom.Transform: a clip's matrix and colour transform as script objects. Every read
// makes new objects from the clip's state; writes move or tint the clip at once.
#pragma once

#include "../avm1/vm.h"
#include "../clip.h"

namespace swf::geom {

void registerTransformClass(avm1::Vm& vm);
// clip.transform: a new Transform over the clip.
avm1::Value makeTransform(avm1::Vm& vm, Clip& clip);
// clip.transform = value: a Transform's matrix and colour transform copied onto the clip;
// anything else changes nothing.
void assignTransform(avm1::Vm& vm, Clip& clip, const avm1::Value& value);
// The state a script's transform of a clip reads and writes (the root's own for the root).
DisplayState* scriptState(Clip& clip);

}  // namespace swf::geom
