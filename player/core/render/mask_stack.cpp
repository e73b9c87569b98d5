#include "mask_stack.h"

#include <algorithm>
#include <cstring>

#include "pixel_math.h"

namespace swf::render {

IntRect intersect(IntRect a, IntRect b) {
    IntRect r{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
    return r.empty() ? IntRect{} : r;
}

IntRect unite(IntRect a, IntRect b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

void MaskStack::setSize(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
}

void MaskStack::reset() {
    for (Plane& plane : building_) recycle(plane);
    for (Plane& plane : active_) recycle(plane);
    building_.clear();
    active_.clear();
}

MaskStack::Plane MaskStack::takePlane(IntRect clip) {
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
    plane.coverage.resize(size_t(width_) * size_t(height_));
    plane.cleared = intersect(clip, {0, 0, width_, height_});
    plane.inked = IntRect{};
    for (int y = plane.cleared.y0; y < plane.cleared.y1; ++y) {
        std::memset(plane.coverage.data() + size_t(y) * size_t(width_) + size_t(plane.cleared.x0), 0,
                    size_t(plane.cleared.x1 - plane.cleared.x0));
    }
    return plane;
}

void MaskStack::recycle(Plane& plane) {
    if (!plane.hidden) spare_.push_back(std::move(plane));
}

void MaskStack::begin(IntRect clip) {
    building_.push_back(takePlane(clip));
    building_.back().activeAtBegin = active_.size();
}

MaskStack::NestedMask MaskStack::nestedInBuilding() const {
    if (building_.empty() || active_.size() <= building_.back().activeAtBegin) return {};
    const Plane& nested = active_.back();
    if (nested.hidden) return {nullptr, {}, true};
    return {nested.coverage.data(), nested.inked, false};
}

uint8_t* MaskStack::buildingPlane() {
    if (building_.empty() || building_.back().hidden) return nullptr;
    return building_.back().coverage.data();
}

IntRect MaskStack::buildingArea() const {
    if (building_.empty() || building_.back().hidden) return {};
    return building_.back().cleared;
}

void MaskStack::markInked(IntRect area) {
    if (building_.empty() || building_.back().hidden) return;
    Plane& plane = building_.back();
    plane.inked = unite(plane.inked, intersect(area, plane.cleared));
}

void MaskStack::end() {
    if (building_.empty()) return;
    Plane plane = std::move(building_.back());
    building_.pop_back();
    if (!active_.empty() && !plane.hidden) {
        const Plane& outer = active_.back();
        if (outer.hidden) {
            recycle(plane);
            plane = Plane();
            plane.hidden = true;
        } else {
            // Inside both inked boxes the coverages multiply; elsewhere the outer mask is 0.
            const IntRect both = intersect(plane.inked, outer.inked);
            for (int y = plane.inked.y0; y < plane.inked.y1; ++y) {
                uint8_t* row = plane.coverage.data() + size_t(y) * size_t(width_);
                const uint8_t* outerRow = outer.coverage.data() + size_t(y) * size_t(width_);
                const bool rowInBoth = y >= both.y0 && y < both.y1;
                for (int x = plane.inked.x0; x < plane.inked.x1; ++x) {
                    const bool inBoth = rowInBoth && x >= both.x0 && x < both.x1;
                    row[x] = inBoth ? uint8_t(div255(uint32_t(row[x]) * outerRow[x])) : 0;
                }
            }
            plane.inked = both;
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

IntRect MaskStack::activeArea() const {
    if (active_.empty() || active_.back().hidden) return {};
    return active_.back().inked;
}

}  // namespace swf::render
