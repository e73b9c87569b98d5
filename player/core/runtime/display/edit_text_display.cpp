#include "edit_text_display.h"

#include "device_box.h"
#include "static_text_display.h"

namespace swf {

void EditTextDisplay::draw(Renderer& r, const Matrix& m, const ColorTransform& cx) const {
    drawPlacedGlyphs(r, field_.glyphs, m, cx);
}

std::vector<IntRect> EditTextDisplay::deviceParts(const Matrix& m, int w, int h) const {
    return {deviceBox(field_.bounds, m, w, h)};
}

}  // namespace swf
