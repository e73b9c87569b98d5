// A DefineButton placed on a display list: the records of the state it shows (up until the
// pointer comes), placed in a clip of their own (no timeline; sprites among them play).
#pragma once

#include <memory>

#include "display_object.h"

namespace swf {

class ButtonDisplay final : public DisplayObject {
public:
    // Without `instantiate` (too deep, too many instances this tick) it draws nothing.
    ButtonDisplay(const ButtonCharacter& button, Clip& parent, bool instantiate);
    ~ButtonDisplay() override;

    Clip* clip() const override { return content_.get(); }

private:
    std::shared_ptr<Clip> content_;
};

}  // namespace swf
