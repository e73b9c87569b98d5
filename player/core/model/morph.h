// Interpolation of a morph shape between its start (ratio 0) and end (ratio 65535) states.
#pragma once

#include "characters.h"

namespace swf {

Shape morphShapeAt(const MorphCharacter& morph, uint16_t ratio);

}  // namespace swf
