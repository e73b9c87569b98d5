#include "mask_stack.h"

#include <algorithm>

#include "pixel_math.h"

namespace swf::render {

void MaskStack::setSize(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
}

MaskStack::Plane MaskStack::takePlane() {
    Plane plane;
    if (planesInUse() >= kMaxPlanes) {
        plane.hidden = true;
        return plane;
    }
    if (!spare_.empty()) {
        plane = std::move(spare_.back());
        spare_.pop_back();
    }
    plane.hidden = false;
    plane.coverage.assign(size_t(width_) * size_t(height_), 0);
    return plane;
}

void MaskStack::recycle(Plane& plane) {
    if (!plane.hidden) spare_.push_back(std::move(plane));
}

void MaskStack::begin() { building_.push_back(takePlane()); }

uint8_t* MaskStack::buildingPlane() {
    if (building_.empty() || building_.back().hidden) return nullptr;
    return building_.back().coverage.data();
}

void MaskStack::end() {
    if (building_.empty()) return;
    Plane plane = std::move(building_.back());
    building_.pop_back();
    if (!active_.empty()) {
        const Plane& outer = active_.back();
        if (outer.hidden) {
            recycle(plane);
            plane = Plane();
            plane.hidden = true;
        } else if (!plane.hidden) {
            for (size_t i = 0; i < plane.coverage.size(); ++i) {
                plane.coverage[i] = uint8_t(div255(uint32_t(plane.coverage[i]) * outer.coverage[i]));
            }
        }
    }
    active_.push_back(std::move(plane));
}

void MaskStack::pop() {
    if (active_.empty()) return;
    recycle(active_.back());
    active_.pop_back();
}

const uint8_t* MaskStack::activePlane() const {
    if (active_.empty() || active_.back().hidden) return nullptr;
    return active_.back().coverage.data();
}

}  // namespace swf::render
