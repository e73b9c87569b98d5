#include "button_display.h"

#include "../clip.h"

namespace swf {

ButtonDisplay::ButtonDisplay(const ButtonCharacter& button, Clip& parent, bool instantiate) : DisplayObject(button) {
    if (!instantiate) return;
    content_ = std::make_shared<Clip>(parent.host(), nullptr, &parent, parent.nesting() + 1);
    content_->setDisplayObject(this);
    content_->startButton(button);
}

ButtonDisplay::~ButtonDisplay() {
    if (content_) content_->setDisplayObject(nullptr);
}

}  // namespace swf
