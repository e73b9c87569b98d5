#include "bitmap_data_display.h"

#include "device_box.h"
#include "pixel_snap.h"
#include "rectangle_shape.h"

namespace swf {

namespace {

// Every such object shows through one character of no bitmap of its own: the pixels are the
// object's.
const BitmapCharacter& sharedCharacter() {
    static const BitmapCharacter character;
    return character;
}

}  // namespace

BitmapDataDisplay::BitmapDataDisplay(std::shared_ptr<BitmapData> pixels, bool snapping, bool smoothing)
    : DisplayObject(sharedCharacter()), pixels_(std::move(pixels)), snapping_(snapping), smoothing_(smoothing) {}

Rect BitmapDataDisplay::box() const {
    if (!pixels_ || !pixels_->valid()) return Rect{};
    return Rect{0, pixels_->width() * kTwipsPerPixel, 0, pixels_->height() * kTwipsPerPixel};
}

void BitmapDataDisplay::draw(Renderer& r, const Matrix& m, const ColorTransform& cx) const {
    const Rect b = box();
    if (b.empty()) return;
    FillStyle fill;
    fill.type = smoothing_ ? FillType::ClippedBitmap : FillType::NonSmoothedClippedBitmap;
    // Shares the pixels (not a copy): what the script changed shows at the next drawing.
    const BitmapData& data = *pixels_;
    fill.bitmap = std::shared_ptr<const Bitmap>(pixels_, &data.pixels());
    fill.bitmapMatrix = Matrix::scale(kTwipsPerPixel, kTwipsPerPixel);
    const Shape shape = rectangleShape(b, fill);
    r.drawShape(shape, snapping_ ? snapBitmapToPixels(shape, m) : m, cx);
}

std::vector<IntRect> BitmapDataDisplay::deviceParts(const Matrix& m, int w, int h) const {
    const Rect b = box();
    if (b.empty()) return {};
    return {deviceBox(b, m, w, h)};
}

void BitmapDataDisplay::hashContent(SignatureHasher& h) const {
    h.add(pixels_.get());
    h.add(pixels_ ? pixels_->version() : 0);
    h.add(snapping_);
    h.add(smoothing_);
}

}  // namespace swf
