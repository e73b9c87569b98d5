// A DefineShape placed on a display list.
#pragma once

#include "display_object.h"

namespace swf {

class ShapeDisplay final : public DisplayObject {
public:
    explicit ShapeDisplay(const ShapeCharacter& shape) : DisplayObject(shape), shape_(shape.shape) {}

    const Shape& shape() const { return shape_; }
    void draw(Renderer& r, const Matrix& m, const ColorTransform& cx) const override;
    std::vector<IntRect> deviceParts(const Matrix& m, int w, int h) const override;
    Rect opaqueBackgroundBox() const override { return shape_.bounds; }

private:
    const Shape& shape_;
};

}  // namespace swf
