// Masks as 8-bit coverage planes of the canvas size: the ones in force (innermost last) and the
// ones being drawn between beginMask() and endMask().
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf::render {

class MaskStack {
public:
    // Deeper nesting than this is not drawn at all (hidden) rather than costing another plane.
    static constexpr size_t kMaxPlanes = 32;

    void setSize(int width, int height);

    void begin();
    void end();  // the plane being drawn, intersected with the one in force, comes into force
    void pop();

    bool building() const { return !building_.empty(); }
    // The plane under construction, or null when it is too deep to be kept.
    uint8_t* buildingPlane();

    // True when nothing at all can be drawn (a mask too deep to keep is in force).
    bool hidesEverything() const { return !active_.empty() && active_.back().hidden; }
    // The innermost mask in force, or null when none.
    const uint8_t* activePlane() const;
    int width() const { return width_; }

private:
    struct Plane {
        std::vector<uint8_t> coverage;
        bool hidden = false;
    };
    Plane takePlane();
    void recycle(Plane& plane);
    size_t planesInUse() const { return building_.size() + active_.size(); }

    int width_ = 0, height_ = 0;
    std::vector<Plane> building_, active_, spare_;
};

}  // namespace swf::render
