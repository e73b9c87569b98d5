// The one place that maps a character kind to its display class.
#pragma once

#include <memory>

#include "display_object.h"

namespace swf {

// A new object showing `character` in `parent`'s list. `instantiate` false (too deep, too
// many instances this tick): sprites and buttons get no content and draw nothing.
std::unique_ptr<DisplayObject> makeDisplayObject(const Character& character, Clip& parent, bool instantiate);

}  // namespace swf
