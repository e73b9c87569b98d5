#include "bitmap_display.h"

#include "device_box.h"
#include "pixel_snap.h"
#include "rectangle_shape.h"

namespace swf {

BitmapDisplay::BitmapDisplay(const BitmapCharacter& c) : DisplayObject(c) {
    if (!c.bitmap) return;
    box_ = Rect{0, c.bitmap->width * kTwipsPerPixel, 0, c.bitmap->height * kTwipsPerPixel};
    FillStyle fill;
    fill.type = FillType::ClippedBitmap;
    fill.bitmapId = c.id;
    fill.bitmap = c.bitmap;
    fill.bitmapMatrix = Matrix::scale(kTwipsPerPixel, kTwipsPerPixel);
    shape_ = rectangleShape(box_, fill);
}

void BitmapDisplay::draw(Renderer& r, const Matrix& m, const ColorTransform& cx) const {
    r.drawShape(shape_, snapBitmapToPixels(shape_, m), cx);
}

std::vector<IntRect> BitmapDisplay::deviceParts(const Matrix& m, int w, int h) const {
    return {deviceBox(box_, m, w, h)};
}

}  // namespace swf
