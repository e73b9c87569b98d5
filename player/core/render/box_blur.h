// Box blur of 8-bit channel planes: each pass averages 2 r + 1 neighbours along x, then along y
// (outside the plane counts as zero), the mean rounded to nearest. Three passes come close to a
// Gaussian. The running-sum loops are checked byte for byte against the plain window sums.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf::render {

// Interleaved channels, rows top to bottom without padding: a premultiplied BGRA area is a
// plane of four channels, an alpha mask one of one (the only two counts the blur takes).
struct ChannelPlane {
    int width = 0, height = 0, channels = 1;
    std::vector<uint8_t> bytes;

    ChannelPlane() = default;
    ChannelPlane(int w, int h, int c) : width(w), height(h), channels(c), bytes(size_t(w) * size_t(h) * size_t(c)) {}
    // Same as assigning a new plane, but keeps the memory already held.
    void reshape(int w, int h, int c) {
        width = w;
        height = h;
        channels = c;
        bytes.resize(size_t(w) * size_t(h) * size_t(c));
    }
    uint8_t* row(int y) { return bytes.data() + size_t(y) * size_t(width) * size_t(channels); }
    const uint8_t* row(int y) const { return bytes.data() + size_t(y) * size_t(width) * size_t(channels); }
};

// `scratch` is reused between calls to spare the allocation.
void boxBlur(ChannelPlane& plane, int radiusX, int radiusY, int passes, ChannelPlane& scratch);
void boxBlurReference(ChannelPlane& plane, int radiusX, int radiusY, int passes);

}  // namespace swf::render
