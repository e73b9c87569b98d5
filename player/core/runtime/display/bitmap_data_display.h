// A script's BitmapData shown on a display list (attachBitmap): a rectangle filled with its
// pixels as they are at each drawing, one bitmap pixel per 20 twips.
#pragma once

#include <memory>

#include "../bitmap_data.h"
#include "display_object.h"

namespace swf {

class BitmapDataDisplay final : public DisplayObject {
public:
    // `snapping`: at its own size the bitmap lands on whole pixels; `smoothing`: scaled or
    // turned, it is sampled smoothly.
    BitmapDataDisplay(std::shared_ptr<BitmapData> pixels, bool snapping, bool smoothing);

    void draw(Renderer& r, const Matrix& m, const ColorTransform& cx) const override;
    std::vector<IntRect> deviceParts(const Matrix& m, int w, int h) const override;
    // The pixels' version, so a change of them counts as a change of the object.
    void hashContent(SignatureHasher& h) const override;
    Rect opaqueBackgroundBox() const override { return box(); }

private:
    Rect box() const;

    std::shared_ptr<BitmapData> pixels_;
    bool snapping_, smoothing_;
};

}  // namespace swf
