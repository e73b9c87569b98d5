// A placed character that draws nothing and has no bounds: a character that is no display
// kind (a font or a sound placed by a broken file). It still
// holds its depth, and as a mask it hides what it spans.
#pragma once

#include "display_object.h"

namespace swf {

class PlaceholderDisplay final : public DisplayObject {
public:
    explicit PlaceholderDisplay(const Character& character) : DisplayObject(character) {}
};

}  // namespace swf
