// A DefineEditText placed on a display list: for now the initial text as laid out when the
// movie was read.
#pragma once

#include "display_object.h"

namespace swf {

class EditTextDisplay final : public DisplayObject {
public:
    explicit EditTextDisplay(const EditTextCharacter& field) : DisplayObject(field), field_(field) {}

    const EditTextCharacter& field() const { return field_; }
    void draw(Renderer& r, const Matrix& m, const ColorTransform& cx) const override;
    std::vector<IntRect> deviceParts(const Matrix& m, int w, int h) const override;

private:
    const EditTextCharacter& field_;
};

}  // namespace swf
