// A clip's drawing-API content: created when a script first draws, its shape built once after
// the scripts of a frame rather than on every moveTo/lineTo.
#include "clip.h"

namespace swf {

Drawing& Clip::editDrawing() {
    if (!drawing_) drawing_ = std::make_unique<Drawing>();
    // Listed once until settled: a loop of lineTo calls adds one entry.
    if (!drawingListed_) host_.drawingsChanged.push_back(weak_from_this());
    drawingListed_ = true;
    ++host_.changes;
    return *drawing_;
}

void Clip::settleDrawing() {
    if (!drawing_ || !drawingListed_) return;
    drawingListed_ = false;
    drawing_->shape();
    drawingSerial_ = ++host_.drawingSerial;
}

void Clip::copyDrawingFrom(const Clip& source) {
    if (!source.drawing_ && !drawing_) return;
    editDrawing() = source.drawing_ ? *source.drawing_ : Drawing{};
}

void settleDrawings(ClipHost& host) {
    for (const std::weak_ptr<Clip>& weak : host.drawingsChanged)
        if (auto clip = weak.lock()) clip->settleDrawing();
    host.drawingsChanged.clear();
}

}  // namespace swf
