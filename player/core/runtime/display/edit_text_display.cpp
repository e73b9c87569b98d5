#include "edit_text_display.h"

#include "../clip.h"
#include "../text_field.h"
#include "device_box.h"
#include "rectangle_shape.h"
#include "static_text_display.h"

namespace swf {

EditTextDisplay::EditTextDisplay(const EditTextCharacter& field, Clip& parent)
    : DisplayObject(field), field_(field), text_(std::make_shared<TextField>(field, parent.host().textServices)) {
    ClipHost& host = parent.host();
    text_->parent = parent.weak_from_this();
    auto rendering = host.movie->textRendering.find(field.id);
    if (rendering != host.movie->textRendering.end()) text_->setRendering(rendering->second);
    host.textFields.push_back(text_);
}

// Lines longer or lower than the field's rectangle are cut there. (Not while the field is
// drawn into a mask: masks inside masks are not supported.)
void EditTextDisplay::draw(Renderer& r, const Matrix& m, const ColorTransform& cx) const {
    const bool cut = text_->overflows() && !r.buildingMask();
    const auto& glyphs = text_->glyphs();
    // The frame (background and border, drawn first) lies on the rectangle's edge: not cut.
    const size_t frame = (text_->border || text_->background) && !glyphs.empty() ? 1 : 0;
    if (frame) drawPlacedGlyphs(r, {glyphs.begin(), glyphs.begin() + 1}, m, cx);
    if (cut) {
        r.beginMask();
        r.drawShape(rectangleShape(text_->bounds, FillStyle{}), m, cx);
        r.endMask();
    }
    drawPlacedGlyphs(r, {glyphs.begin() + long(frame), glyphs.end()}, m, cx);
    if (cut) r.popMask();
}

std::vector<IntRect> EditTextDisplay::deviceParts(const Matrix& m, int w, int h) const {
    return {deviceBox(text_->drawnBounds(), m, w, h)};
}

void EditTextDisplay::hashContent(SignatureHasher& h) const {
    h.add(&field_);
    h.add(text_->drawnVersion());
}

}  // namespace swf
