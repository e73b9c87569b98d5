#include "band_pool.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
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

namespace {

// What a band cost: the drawing thread's processor time where the system keeps it finely (a
// thread that lost its core for a while did not find its band costly), else the clock (the
// processor times Windows keeps move in steps of about 15 ms, a whole band at times).
double bandClockSeconds() {
#if defined(_WIN32)
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
#else
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
#endif
}

// Tells the processor a thread is polling (frees the core's shared parts for the other thread).
inline void pauseHint() {
#if defined(__i386__) || defined(__x86_64__)
    __builtin_ia32_pause();
#endif
}

}  // namespace

template <typename Ready>
bool BandPool::spinFor(const Ready& ready) {
    const auto until = std::chrono::steady_clock::now() + kSpin;
    for (;;) {
        for (int i = 0; i < 64; ++i) {
            if (ready()) return true;
            pauseHint();
        }
        if (std::chrono::steady_clock::now() >= until) return ready();
        // On a machine busy with other work the core may serve someone else meanwhile.
        std::this_thread::yield();
    }
}

// Under the lock: the next band of the current run, if any is left.
bool BandPool::takeBand(int& band) {
    if (!draw_ || next_ >= bands_) return false;
    band = next_++;
    return true;
}

// Draws a band outside the lock, timing it; back under the lock, counts it done.
void BandPool::drawBand(std::unique_lock<std::mutex>& lock, int band) {
    const auto* draw = draw_;
    const int y0 = edges_[size_t(band)], y1 = edges_[size_t(band) + 1];
    lock.unlock();
    const double start = bandClockSeconds();
    if (y0 < y1) (*draw)(y0, y1);
    const double seconds = bandClockSeconds() - start;
    lock.lock();
    seconds_[size_t(band)] = seconds;
    if (++finished_ == bands_) done_.notify_all();
}

void BandPool::runEdges(std::vector<int> edges, const std::function<void(int, int)>& draw) {
    std::unique_lock<std::mutex> lock(mutex_);
    edges_ = std::move(edges);
    bands_ = int(edges_.size()) - 1;
    seconds_.assign(size_t(bands_), 0.0);
    draw_ = &draw;
    next_ = 0;
    finished_ = 0;
    ++generation_;
    wake_.notify_all();
    int band;
    while (takeBand(band)) drawBand(lock, band);
    if (finished_ != bands_) {
        // The other threads' last bands are under way: poll before sleeping.
        const int bands = bands_;
        lock.unlock();
        spinFor([&] { return finished_.load() == bands; });
        lock.lock();
    }
    done_.wait(lock, [this] { return finished_ == bands_; });
    draw_ = nullptr;
}

void BandPool::run(int height, int bands, const std::function<void(int, int)>& draw) {
    if (bands < 1 || height <= 0) return;
    std::vector<int> edges(size_t(bands) + 1);
    for (int i = 0; i <= bands; ++i) edges[size_t(i)] = int(int64_t(height) * i / bands);
    runEdges(std::move(edges), draw);
}

void BandPool::run(int height, const std::function<void(int, int)>& draw) {
    if (height <= 0) return;
    const int bands = std::max(1, std::min(threads() * kBandsPerThread, height / kMinBandRows));
    std::vector<float> previous;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        previous = costPerRow_;
    }
    if (int(previous.size()) != height) previous.assign(size_t(height), 1.0f);
    runEdges(splitByCost(previous, bands, kMinBandRows), draw);
    // This run's cost per row, each band's time spread evenly over its rows, half and half
    // with the last one's so that one slow band (the thread lost its core) moves the split
    // only part of the way.
    std::lock_guard<std::mutex> hold(mutex_);
    std::vector<float> measured(static_cast<size_t>(height), 0.0f);
    for (int b = 0; b < bands_; ++b) {
        const int y0 = edges_[size_t(b)], y1 = edges_[size_t(b) + 1];
        const float perRow = y1 > y0 ? float(seconds_[size_t(b)] / (y1 - y0)) : 0.0f;
        for (int y = y0; y < y1; ++y) measured[size_t(y)] = perRow;
    }
    const bool known = int(costPerRow_.size()) == height;
    for (int y = 0; y < height; ++y)
        measured[size_t(y)] = known ? 0.5f * (measured[size_t(y)] + costPerRow_[size_t(y)]) : measured[size_t(y)];
    costPerRow_ = std::move(measured);
}

std::vector<int> BandPool::splitByCost(const std::vector<float>& costPerRow, int bands, int minRows) {
    const int rows = int(costPerRow.size());
    bands = std::max(1, bands);
    std::vector<double> before(size_t(rows) + 1, 0.0);  // summed cost of the rows above each row
    for (int y = 0; y < rows; ++y) {
        const float c = costPerRow[size_t(y)];
        before[size_t(y) + 1] = before[size_t(y)] + (std::isfinite(c) && c > 0 ? double(c) : 0.0);
    }
    const double total = before.back();
    std::vector<int> edges(size_t(bands) + 1);
    for (int i = 0; i <= bands; ++i) {
        if (!(total > 0)) {
            edges[size_t(i)] = int(int64_t(rows) * i / bands);
            continue;
        }
        const double target = total * i / bands;
        edges[size_t(i)] = int(std::lower_bound(before.begin(), before.end(), target) - before.begin());
    }
    edges.front() = 0;
    edges.back() = rows;
    // Each band at least minRows high (fewer when the rows do not allow it): pushed down from
    // the top, then up from the bottom.
    minRows = std::clamp(minRows, 0, rows / bands);
    for (int i = 1; i < bands; ++i) edges[size_t(i)] = std::max(edges[size_t(i)], edges[size_t(i) - 1] + minRows);
    for (int i = bands - 1; i > 0; --i) edges[size_t(i)] = std::min(edges[size_t(i)], edges[size_t(i) + 1] - minRows);
    return edges;
}

int BandPool::threadsForThisMachine() {
    const unsigned cores = std::thread::hardware_concurrency();  // 0: unknown
    return std::clamp(int(cores), 1, kMaxThreads);
}

void BandPool::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    unsigned seen = generation_;
    for (;;) {
        if (generation_ == seen && !stopping_) {
            lock.unlock();
            spinFor([&] { return generation_.load() != seen || stopping_.load(); });
            lock.lock();
        }
        wake_.wait(lock, [&] { return stopping_ || (generation_ != seen && draw_); });
        if (stopping_) return;
        seen = generation_;
        int band;
        while (takeBand(band)) drawBand(lock, band);
    }
}

}  // namespace swfbands
