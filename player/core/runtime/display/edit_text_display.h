// A DefineEditText placed on a display list: its running field (text, flags, layout; see
// runtime/text_field.h), drawn cut to the field's rectangle.
#pragma once

#include <memory>

#include "display_object.h"

namespace swf {

class TextField;

class EditTextDisplay final : public DisplayObject {
public:
    // The field joins `parent`'s host: its fonts, its CSMTextSettings, the fields bound to
    // variables.
    EditTextDisplay(const EditTextCharacter& field, Clip& parent);

    const EditTextCharacter& field() const { return field_; }
    const std::shared_ptr<TextField>& text() const { return text_; }
    void draw(Renderer& r, const Matrix& m, const ColorTransform& cx) const override;
    std::vector<IntRect> deviceParts(const Matrix& m, int w, int h) const override;
    void hashContent(SignatureHasher& h) const override;

private:
    const EditTextCharacter& field_;
    std::shared_ptr<TextField> text_;
};

}  // namespace swf
