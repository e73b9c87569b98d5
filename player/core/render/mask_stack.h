// Masks as 8-bit coverage planes of the canvas size: the ones in force (innermost last) and the
// ones being drawn between beginMask() and endMask(). Only the clip rectangle of the moment a
// mask is begun is cleared and kept up to date, and each plane remembers the box its shapes
// inked: drawing under a mask is limited to that box, which is also what keeps stale plane
// content (outside the cleared area) from ever being read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "renderer.h"

namespace swf::render {

IntRect intersect(IntRect a, IntRect b);
IntRect unite(IntRect a, IntRect b);

class MaskStack {
public:
    // Deeper nesting than this is not drawn at all (hidden) rather than costing another plane.
    static constexpr size_t kMaxPlanes = 32;

    void setSize(int width, int height);
    // Drops every mask (built or in force), keeping their planes' memory for later masks.
    void reset();

    void begin(IntRect clip);
    void end();  // the plane being drawn, intersected with the one in force, comes into force
    void pop();

    bool building() const { return !building_.empty(); }
    // The plane under construction (null when it is too deep to be kept) and the rectangle
    // drawing into it may touch.
    uint8_t* buildingPlane();
    IntRect buildingArea() const;
    // Widens the inked box of the plane under construction.
    void markInked(IntRect area);
    // A mask inside the content of the mask under construction: the innermost mask that came
    // into force after that construction began, which limits what the content adds to it.
    // `hidden` when that mask hides everything.
    struct NestedMask {
        const uint8_t* plane = nullptr;  // null: no nested mask in force
        IntRect area;
        bool hidden = false;
    };
    NestedMask nestedInBuilding() const;

    // The innermost mask in force, or null when none; its inked box limits all drawing (an
    // empty box when a mask hides everything).
    const uint8_t* activePlane() const;
    IntRect activeArea() const;
    bool active() const { return !active_.empty(); }
    int width() const { return width_; }

private:
    struct Plane {
        std::vector<uint8_t> coverage;
        IntRect cleared;  // where coverage is meaningful
        IntRect inked;    // where it may be non-zero
        bool hidden = false;
        size_t activeAtBegin = 0;  // masks in force when its construction began
    };
    Plane takePlane(IntRect clip);
    void recycle(Plane& plane);
    size_t planesInUse() const { return building_.size() + active_.size(); }

    int width_ = 0, height_ = 0;
    std::vector<Plane> building_, active_, spare_;
};

}  // namespace swf::render
