#include "bitmap_cache.h"

namespace swf {

const Bitmap* BitmapCache::find(uint64_t key) {
    auto it = entries_.find(key);
    if (it == entries_.end()) return nullptr;
    it->second.used = true;
    return &it->second.pixels;
}

void BitmapCache::store(uint64_t key, Bitmap pixels) {
    const int64_t count = int64_t(pixels.width) * pixels.height;
    if (count <= 0 || pixels_ + count > kMaxPixels) return;
    pixels_ += count;
    Entry& e = entries_[key];
    pixels_ -= int64_t(e.pixels.width) * e.pixels.height;
    e.pixels = std::move(pixels);
    e.used = true;
}

void BitmapCache::endFrame() {
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (!it->second.used) {
            pixels_ -= int64_t(it->second.pixels.width) * it->second.pixels.height;
            it = entries_.erase(it);
        } else {
            it->second.used = false;
            ++it;
        }
    }
}

}  // namespace swf
