#include "shape_display.h"

#include "device_box.h"
#include "pixel_snap.h"

namespace swf {

void ShapeDisplay::draw(Renderer& r, const Matrix& m, const ColorTransform& cx) const {
    r.drawShape(shape_, snapBitmapToPixels(shape_, m), cx);
}

std::vector<IntRect> ShapeDisplay::deviceParts(const Matrix& m, int w, int h) const {
    return {deviceBox(shape_.bounds, m, w, h)};
}

}  // namespace swf
