// A bitmap character placed on a display list: a rectangle filled with it, one bitmap pixel
// per 20 twips.
#pragma once

#include "display_object.h"

namespace swf {

class BitmapDisplay final : public DisplayObject {
public:
    explicit BitmapDisplay(const BitmapCharacter& bitmap);

    // The bitmap's box in twips; empty when the bitmap did not decode.
    Rect box() const { return box_; }
    void draw(Renderer& r, const Matrix& m, const ColorTransform& cx) const override;
    std::vector<IntRect> deviceParts(const Matrix& m, int w, int h) const override;
    Rect opaqueBackgroundBox() const override { return box_; }

private:
    Rect box_;
    Shape shape_;
};

}  // namespace swf
