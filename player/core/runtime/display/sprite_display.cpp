#include "sprite_display.h"

#include "../clip.h"

namespace swf {

SpriteDisplay::SpriteDisplay(const SpriteCharacter& sprite, Clip& parent, bool instantiate) : DisplayObject(sprite) {
    if (!instantiate) return;
    clip_ = std::make_shared<Clip>(parent.host(), &sprite.timeline, &parent, parent.nesting() + 1);
    clip_->setDisplayObject(this);
    clip_->start();
}

SpriteDisplay::~SpriteDisplay() {
    if (clip_) clip_->setDisplayObject(nullptr);
}

}  // namespace swf
