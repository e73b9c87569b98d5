// The Sound class on _global (sound_class.cpp).
#pragma once

#include "avm1/vm.h"

namespace swf {

class SoundObject;
class SoundScript;

void registerSoundClass(avm1::Vm& vm, SoundScript& script);
// `position` and `duration` as read-only properties of a Sound that has a sound, unless the
// script already gave it both (a value it set stays).
void defineTimingProperties(avm1::Vm& vm, SoundObject& s);

}  // namespace swf
