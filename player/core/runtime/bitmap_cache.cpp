#include "bitmap_cache.h"

namespace swf {

const Bitmap* BitmapCache::find(uint64_t key) {
    std::lock_guard<std::mutex> hold(lock_);
    auto it = entries_.find(key);
    if (it == entries_.end()) return nullptr;
    it->second.used = true;
    return &it->second.pixels;
}

bool BitmapCache::claim(uint64_t key) {
    std::lock_guard<std::mutex> hold(lock_);
    return claimed_.insert(key).second;
}

void BitmapCache::store(uint64_t key, Bitmap pixels) {
    const int64_t count = int64_t(pixels.width) * pixels.height;
    std::lock_guard<std::mutex> hold(lock_);
    if (count <= 0 || pixels_ + count > kMaxPixels || entries_.count(key)) return;
    pixels_ += count;
    entries_[key] = Entry{std::move(pixels), true};
}

void BitmapCache::endFrame() {
    claimed_.clear();
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
