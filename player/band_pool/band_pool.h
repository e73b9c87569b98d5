// A small pool of worker threads that draws a frame in horizontal bands: the portable player
// draws one band per call (Player::renderBand), the tools and the control own the threads.
#pragma once

#include <atomic>
#include <chrono>
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
    // The same with a band split of its own: kBandsPerThread bands per thread, none under
    // kMinBandRows, of equal cost as the last run of the same height measured it (a frame's
    // rows are rarely equally costly: a band of sky costs little, one of a crowd much); a
    // thread finishing early takes over the next band. Few bands keep small what every band
    // costs anew (a filtered layer is drawn over the band widened by the filter's reach).
    void run(int height, const std::function<void(int y0, int y1)>& draw);
    static constexpr int kMinBandRows = 16;
    static constexpr int kBandsPerThread = 2;

    // Band edges (bands + 1 of them, from 0 to the rows' count) that give every band the same
    // share of the summed cost, each band at least minRows high where the rows allow.
    static std::vector<int> splitByCost(const std::vector<float>& costPerRow, int bands, int minRows);

    // How long a thread left without a band polls for the next run or for the run's end
    // before it sleeps: waking a sleeping thread costs tens of microseconds (more on a virtual
    // machine, whose idle processor halts), paid twice per run, and a frame's runs follow one
    // another closely (the kept layers, then the changed areas; a tool's frames back to back).
    static constexpr std::chrono::microseconds kSpin{200};

    // Threads for this machine: one per processor, at least one, at most kMaxThreads.
    static int threadsForThisMachine();
    static constexpr int kMaxThreads = 8;

private:
    void work();
    bool takeBand(int& band);
    void drawBand(std::unique_lock<std::mutex>& lock, int band);
    void runEdges(std::vector<int> edges, const std::function<void(int, int)>& draw);
    // Polls `ready` (read without the lock) for at most kSpin; true when it held.
    template <typename Ready>
    static bool spinFor(const Ready& ready);

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    const std::function<void(int, int)>* draw_ = nullptr;
    std::vector<int> edges_;         // the current run's band edges
    std::vector<double> seconds_;    // how long each of its bands took
    std::vector<float> costPerRow_;  // measured by the last run of the pool's own split
    int bands_ = 0, next_ = 0;
    // Written under the lock; also polled without it by threads about to sleep.
    std::atomic<int> finished_{0};
    std::atomic<unsigned> generation_{0};
    std::atomic<bool> stopping_{false};
};

}  // namespace swfbands
