// Objects drawn through a layer (filters, cached bitmaps), kept as the filtered pixels between
// frames: while an object's content, scale, rotation and filters stay the same it is put down
// again from here, at any whole-pixel position (such objects are placed at whole pixels). A
// blurred backdrop thus costs a copy per frame instead of a blur.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "../bitmap.h"

namespace swf {

class BitmapCache {
public:
    // Pixels kept for `key`, or null; marks them used this frame.
    const Bitmap* find(uint64_t key);
    void store(uint64_t key, Bitmap pixels);
    // Drops what the frame just drawn did not use.
    void endFrame();
    void clear() { entries_.clear(); }
    size_t size() const { return entries_.size(); }

    // Total pixels kept, beyond which nothing more is stored in a frame.
    static constexpr int64_t kMaxPixels = 3 * 1920 * 1080;

private:
    struct Entry {
        Bitmap pixels;
        bool used = true;
    };
    std::unordered_map<uint64_t, Entry> entries_;
    int64_t pixels_ = 0;
};

}  // namespace swf
