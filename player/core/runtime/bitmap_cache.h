// Objects drawn through a layer (filters, cached bitmaps), kept as the filtered pixels between
// frames: while an object's content, scale, rotation and filters stay the same it is put down
// again from here, at any whole-pixel position (such objects are placed at whole pixels). A
// blurred backdrop thus costs a copy per frame instead of a blur.
#pragma once

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "../bitmap.h"

namespace swf {

// find() and store() may be called from the threads drawing the bands of one frame at once:
// kept pixels never move or change until endFrame() or clear(), which run alone.
class BitmapCache {
public:
    // Pixels kept for `key`, or null; marks them used this frame.
    const Bitmap* find(uint64_t key);
    // True for the first caller in a frame that asks for a key find() did not have: that one
    // draws the whole layer and stores it. The bands of a frame drawn at once thus draw a
    // missing layer whole only once; the others draw their own part of it afresh (a full-screen
    // blurred backdrop whole in every band would cost each band the whole blur).
    bool claim(uint64_t key);
    // Keeps the pixels unless the key already has some (two bands may draw the same layer;
    // the first one stays, so pixels another band reads are never replaced under it).
    void store(uint64_t key, Bitmap pixels);
    // Drops what the frame just drawn did not use.
    void endFrame();
    void clear() {
        entries_.clear();
        claimed_.clear();
        pixels_ = 0;
    }
    size_t size() const { return entries_.size(); }

    // Total pixels kept, beyond which nothing more is stored in a frame.
    static constexpr int64_t kMaxPixels = 3 * 1920 * 1080;

private:
    struct Entry {
        Bitmap pixels;
        bool used = true;
    };
    std::mutex lock_;
    std::unordered_map<uint64_t, Entry> entries_;  // nodes: pointers to them survive insertions
    std::unordered_set<uint64_t> claimed_;         // this frame's
    int64_t pixels_ = 0;
};

}  // namespace swf
