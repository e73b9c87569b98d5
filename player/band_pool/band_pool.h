// A small pool of worker threads that draws a frame in horizontal bands: the portable player
// draws one band per call (Player::renderBand), the tools and the control own the threads.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace swfbands {

class BandPool {
public:
    // `threads` workers in all, the calling thread included (1: everything on the caller).
    explicit BandPool(int threads);
    ~BandPool();
    BandPool(const BandPool&) = delete;
    BandPool& operator=(const BandPool&) = delete;

    int threads() const { return int(workers_.size()) + 1; }

    // Calls draw(y0, y1) for `bands` bands of equal height covering [0, height), spread over
    // the threads; returns when all are done.
    void run(int height, int bands, const std::function<void(int y0, int y1)>& draw);
    // The same with a band count of its own: four per thread, so that a thread finishing early
    // takes over work (a frame's rows are rarely equally costly), none under kMinBandRows.
    void run(int height, const std::function<void(int y0, int y1)>& draw);
    static constexpr int kMinBandRows = 16;

    // Threads for this machine: one per processor, at least one, at most kMaxThreads.
    static int threadsForThisMachine();
    static constexpr int kMaxThreads = 8;

private:
    void work();
    bool takeBand(int& y0, int& y1);

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    const std::function<void(int, int)>* draw_ = nullptr;
    int height_ = 0, bands_ = 0, next_ = 0, finished_ = 0;
    unsigned generation_ = 0;
    bool stopping_ = false;
};

}  // namespace swfbands
