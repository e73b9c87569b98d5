// A DefineSprite placed on a display list: its running timeline is a Clip, shared with the
// scripts that hold it (a clip removed while its script runs lives until the script ends).
#pragma once

#include <memory>

#include "display_object.h"

namespace swf {

class SpriteDisplay final : public DisplayObject {
public:
    // The clip is made and shows its first frame when `instantiate` is true; otherwise (too
    // deep, too many instances this tick) the object holds its depth and draws nothing.
    SpriteDisplay(const SpriteCharacter& sprite, Clip& parent, bool instantiate);
    ~SpriteDisplay() override;

    Clip* clip() const override { return clip_.get(); }

private:
    std::shared_ptr<Clip> clip_;
};

}  // namespace swf
