#include "band_pool.h"

#include <algorithm>
#include <cstdint>

namespace swfbands {

BandPool::BandPool(int threads) {
    for (int i = 1; i < threads; ++i) workers_.emplace_back([this] { work(); });
}

BandPool::~BandPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : workers_) t.join();
}

// Under the lock: the next band of the current run, if any is left.
bool BandPool::takeBand(int& y0, int& y1) {
    if (!draw_ || next_ >= bands_) return false;
    const int i = next_++;
    y0 = int(int64_t(height_) * i / bands_);
    y1 = int(int64_t(height_) * (i + 1) / bands_);
    return true;
}

void BandPool::run(int height, int bands, const std::function<void(int, int)>& draw) {
    if (bands < 1 || height <= 0) return;
    std::unique_lock<std::mutex> lock(mutex_);
    draw_ = &draw;
    height_ = height;
    bands_ = bands;
    next_ = 0;
    finished_ = 0;
    ++generation_;
    wake_.notify_all();
    int y0, y1;
    while (takeBand(y0, y1)) {
        lock.unlock();
        draw(y0, y1);
        lock.lock();
        ++finished_;
    }
    done_.wait(lock, [this] { return finished_ == bands_; });
    draw_ = nullptr;
}

void BandPool::run(int height, const std::function<void(int, int)>& draw) {
    run(height, std::max(1, std::min(threads() * 4, height / kMinBandRows)), draw);
}

int BandPool::threadsForThisMachine() {
    const unsigned cores = std::thread::hardware_concurrency();  // 0: unknown
    return std::clamp(int(cores), 1, kMaxThreads);
}

void BandPool::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    unsigned seen = generation_;
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || (generation_ != seen && draw_); });
        if (stopping_) return;
        seen = generation_;
        int y0, y1;
        while (takeBand(y0, y1)) {
            const auto* draw = draw_;
            lock.unlock();
            (*draw)(y0, y1);
            lock.lock();
            if (++finished_ == bands_) done_.notify_all();
        }
    }
}

}  // namespace swfbands
