// A DefineMorphShape placed on a display list: the shape between its two ends at the ratio
// of the display state, recomputed when the ratio changes.
#pragma once

#include <memory>

#include "display_object.h"

namespace swf {

class MorphDisplay final : public DisplayObject {
public:
    explicit MorphDisplay(const MorphCharacter& morph) : DisplayObject(morph), morph_(morph) {}

    // The shape at the current ratio; null before the first stateChanged().
    const Shape* shape() const { return shape_.get(); }
    void stateChanged() override;

    void draw(Renderer& r, const Matrix& m, const ColorTransform& cx) const override;
    std::vector<IntRect> deviceParts(const Matrix& m, int w, int h) const override;
    void hashContent(SignatureHasher& h) const override;

private:
    const MorphCharacter& morph_;
    std::shared_ptr<const Shape> shape_;
    uint16_t shapeRatio_ = 0;
};

}  // namespace swf
