// swfbench FILE [N] [THREADS] (-THREADS: the band figures only): milliseconds per rendered frame at 1920 x 1080 and 640 x 480,
// beside the cost of a plain full-canvas clear measured in the same run, and the cost per frame
// when only the changed areas are redrawn (with how many areas and how much of the canvas they
// cover); with THREADS, also the frame drawn in bands on 1 and on THREADS threads, whole and
// (as the control draws) changed areas only. On a machine shared with other work the wall
// clock of several threads says little, so each band's processor time is measured too, and
// the finish on idle cores is worked out from them (the bands handed out in the pool's order,
// each to the thread free first; the calling thread's work outside the bands added).
// The step (timeline and scripts) and the drawing of each frame are also timed apart.
// Scenes: `swf_fixture_movies DIR --bench` writes bench.swf (40 discs over a backdrop),
// moving.swf (120 translucent gradient blobs, all moving), flash8.swf (20 discs with glow
// and drop shadow over a blurred backdrop) and clips.swf (1,000 clips moved by onEnterFrame).
#include <algorithm>
#include <chrono>
#include <ctime>
#include <time.h>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <band_pool.h>
#include <freetype_font_provider.h>
#include <imageio/image_file.h>
#include <runtime/player.h>

namespace {

using Clock = std::chrono::steady_clock;

double millisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time of this process: on a machine shared with other work it is steadier than the
// wall clock (which also counts the waits for a core), for one thread.
double cpuMillisSince(std::clock_t start) { return 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC; }

void benchSize(const std::vector<uint8_t>& data, int frames, int width, int height) {
    std::string error;
    auto deviceFonts = std::make_shared<swf::FreeTypeFontProvider>();
    auto player = swf::Player::load(data.data(), data.size(), error, nullptr, deviceFonts);
    swf::Canvas canvas(width, height);
    auto start = Clock::now();
    std::clock_t cpuStart = std::clock();
    double renderMs = 0, stepMs = 0;  // processor time of each half
    for (int i = 0; i < frames; ++i) {
        std::clock_t part = std::clock();
        player->render(canvas, swf::ScaleMode::ExactFit, swf::Quality::High);
        renderMs += cpuMillisSince(part);
        part = std::clock();
        player->stepFrame();
        stepMs += cpuMillisSince(part);
    }
    double perFrame = millisSince(start) / frames;
    double perFrameCpu = cpuMillisSince(cpuStart) / frames;

    // The same frames drawn the way the control does: only what changed since the last one.
    auto incremental = swf::Player::load(data.data(), data.size(), error, nullptr, deviceFonts);
    swf::Canvas kept(width, height);
    double changedPixels = 0, changedRects = 0;
    start = Clock::now();
    cpuStart = std::clock();
    for (int i = 0; i < frames; ++i) {
        for (const swf::IntRect& r : incremental->renderChanges(kept, swf::ScaleMode::ExactFit, swf::Quality::High)) {
            changedPixels += double(r.x1 - r.x0) * double(r.y1 - r.y0);
            changedRects += 1;
        }
        incremental->stepFrame();
    }
    double perChange = millisSince(start) / frames;
    double perChangeCpu = cpuMillisSince(cpuStart) / frames;

    start = Clock::now();
    for (int i = 0; i < frames; ++i) {
        swf::Renderer renderer(canvas, swf::Quality::High);
        renderer.clear(swf::Rgba{uint8_t(i), 0, 0, 255});
    }
    double perClear = millisSince(start) / frames;
    std::printf("%4d x %-4d  %8.3f ms/frame   clear %7.3f ms   ratio %6.1f x   changed areas only %8.3f ms/frame"
                " (%.1f areas, %.1f %% of the canvas per frame)\n",
                width, height, perFrame, perClear, perClear > 0 ? perFrame / perClear : 0.0, perChange,
                changedRects / frames, 100.0 * changedPixels / frames / (double(width) * height));
    std::printf("            processor: %8.3f ms/frame whole, %8.3f ms/frame changed areas only\n", perFrameCpu, perChangeCpu);
    std::printf("            of the whole frames: render %8.3f ms/frame, step (timeline and scripts) %8.3f ms/frame\n",
                renderMs / frames, stepMs / frames);
}

// Processor time of the calling thread: what a band cost, whatever else the machine ran.
double threadCpuMillis() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

struct BandCost {
    int y0;
    double cpuMs;
};

// When the bands, handed out top to bottom as the pool does, would be done on `threads` idle
// cores: each goes to the thread that is free first.
double finishOnIdleCores(std::vector<BandCost> bands, int threads) {
    std::sort(bands.begin(), bands.end(), [](const BandCost& a, const BandCost& b) { return a.y0 < b.y0; });
    std::vector<double> busyUntil(size_t(std::max(1, threads)), 0.0);
    for (const BandCost& band : bands) *std::min_element(busyUntil.begin(), busyUntil.end()) += band.cpuMs;
    return *std::max_element(busyUntil.begin(), busyUntil.end());
}

struct BandFigures {
    double wallMs = 0;       // whole frame: bands and step
    double drawWallMs = 0;   // the bands only
    double processMs = 0;    // processor time of all threads
    double bandCpuMs = 0;    // processor time of the drawing (the bands and any serial part), summed
    double stepCpuMs = 0;    // the step between frames (one thread)
    double serialCpuMs = 0;  // the drawing's work on the calling thread outside the bands
    double idleCoresMs = 0;  // the drawing's finish on idle cores, from the processor times
};

// The same frames drawn in horizontal bands by a pool of `threads` threads, as many bands as
// the pool picks for itself (the control's count); the bands draw filtered objects afresh (no
// layers kept between frames). Per frame.
BandFigures benchBands(const std::vector<uint8_t>& data, int frames, int width, int height, int threads) {
    std::string error;
    auto player = swf::Player::load(data.data(), data.size(), error);
    swf::Canvas canvas(width, height);
    swfbands::BandPool pool(threads);
    BandFigures f;
    std::mutex costsLock;
    std::vector<BandCost> costs;
    const auto start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    for (int i = 0; i < frames; ++i) {
        costs.clear();
        const auto drawStart = Clock::now();
        pool.run(height, [&](int y0, int y1) {
            const double before = threadCpuMillis();
            player->renderBand(canvas, swf::ScaleMode::ExactFit, swf::Quality::High, y0, y1);
            const double cost = threadCpuMillis() - before;
            std::lock_guard<std::mutex> hold(costsLock);
            costs.push_back({y0, cost});
        });
        f.drawWallMs += millisSince(drawStart);
        for (const BandCost& c : costs) f.bandCpuMs += c.cpuMs;
        f.idleCoresMs += finishOnIdleCores(costs, threads);
        const double stepStart = threadCpuMillis();
        player->stepFrame();
        f.stepCpuMs += threadCpuMillis() - stepStart;
    }
    f.wallMs = millisSince(start);
    f.processMs = cpuMillisSince(cpuStart);
    for (double* v : {&f.wallMs, &f.drawWallMs, &f.processMs, &f.bandCpuMs, &f.stepCpuMs, &f.serialCpuMs, &f.idleCoresMs})
        *v /= frames;
    return f;
}

void printBands(const char* what, const BandFigures& one, const BandFigures& many, int threads) {
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("1920 x 1080 %s: 1 thread %8.3f ms/frame, %d threads %8.3f ms/frame, speed-up %.2f x (wall clock)\n", what,
                one.wallMs, threads, many.wallMs, ratio(one.wallMs, many.wallMs));
    std::printf("            drawing only (wall clock): %8.3f -> %8.3f ms/frame, speed-up %.2f x\n", one.drawWallMs,
                many.drawWallMs, ratio(one.drawWallMs, many.drawWallMs));
    std::printf("            processor: drawing %8.3f -> %8.3f ms/frame summed over threads (%+.1f %% for the split),"
                " of it outside the bands %.3f ms/frame, step %.3f ms/frame, process %8.3f -> %8.3f ms/frame\n",
                one.bandCpuMs, many.bandCpuMs, 100.0 * (ratio(many.bandCpuMs, one.bandCpuMs) - 1), many.serialCpuMs, many.stepCpuMs,
                one.processMs, many.processMs);
    std::printf("            on %d idle cores (each band's processor time handed out as the pool does): drawing %8.3f ms,"
                " speed-up %.2f x drawing only, %.2f x with the step\n",
                threads, many.idleCoresMs, ratio(one.bandCpuMs, many.idleCoresMs),
                ratio(one.bandCpuMs + one.stepCpuMs, many.idleCoresMs + many.stepCpuMs));
}

// The control's path: changed areas only, tall ones drawn in bands by a pool of `threads`
// threads (layers kept between frames and shared by the threads); one thread draws each area
// whole, as the control does.
BandFigures benchChangesInBands(const std::vector<uint8_t>& data, int frames, int width, int height, int threads) {
    std::string error;
    auto player = swf::Player::load(data.data(), data.size(), error);
    swf::Canvas canvas(width, height);
    swfbands::BandPool pool(threads);
    BandFigures f;
    std::mutex costsLock;
    std::vector<BandCost> costs;
    double callerBandsMs = 0;  // the bands' share of the calling thread's time
    const std::thread::id caller = std::this_thread::get_id();
    const swf::Player::BandRunner runner = [&](int rows, const std::function<void(int, int)>& draw) {
        costs.clear();
        pool.run(rows, [&](int y0, int y1) {
            const double before = threadCpuMillis();
            draw(y0, y1);
            const double cost = threadCpuMillis() - before;
            std::lock_guard<std::mutex> hold(costsLock);
            costs.push_back({y0, cost});
            if (std::this_thread::get_id() == caller) callerBandsMs += cost;
        });
        for (const BandCost& c : costs) f.bandCpuMs += c.cpuMs;
        f.idleCoresMs += finishOnIdleCores(costs, threads);
    };
    const auto start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    for (int i = 0; i < frames; ++i) {
        const auto drawStart = Clock::now();
        const double callerStart = threadCpuMillis();
        callerBandsMs = 0;
        player->renderChanges(canvas, swf::ScaleMode::ExactFit, swf::Quality::High, threads > 1 ? &runner : nullptr);
        // What the calling thread did outside the bands: the frame's serial part.
        const double serial = threadCpuMillis() - callerStart - callerBandsMs;
        f.serialCpuMs += serial;
        if (threads > 1) {
            f.idleCoresMs += serial;
        } else {
            f.bandCpuMs += serial;
            f.idleCoresMs += serial;
        }
        f.drawWallMs += millisSince(drawStart);
        const double stepStart = threadCpuMillis();
        player->stepFrame();
        f.stepCpuMs += threadCpuMillis() - stepStart;
    }
    f.wallMs = millisSince(start);
    f.processMs = cpuMillisSince(cpuStart);
    for (double* v : {&f.wallMs, &f.drawWallMs, &f.processMs, &f.bandCpuMs, &f.stepCpuMs, &f.serialCpuMs, &f.idleCoresMs})
        *v /= frames;
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: swfbench FILE [N] [THREADS | -THREADS]\n");
        return 2;
    }
    int frames = argc >= 3 ? std::atoi(argv[2]) : 100;
    // A negative thread count gives the band figures only.
    const int threadsAsked = argc == 4 ? std::atoi(argv[3]) : 0;
    const bool bandsOnly = threadsAsked < 0;
    const int threads = argc == 4 ? std::max(1, std::min(64, std::abs(threadsAsked))) : 0;
    if (frames < 1) frames = 1;
    std::vector<uint8_t> data;
    if (!swfimg::readFile(argv[1], data)) {
        std::fprintf(stderr, "swfbench: cannot read %s\n", argv[1]);
        return 1;
    }
    std::string error;
    if (!swf::Player::load(data.data(), data.size(), error)) {
        std::fprintf(stderr, "swfbench: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s, %d frames, ExactFit, high quality\n", argv[1], frames);
    if (!bandsOnly) {
        benchSize(data, frames, 1920, 1080);
        benchSize(data, frames, 640, 480);
    }
    if (threads > 0) {
        printBands("in bands", benchBands(data, frames, 1920, 1080, 1), benchBands(data, frames, 1920, 1080, threads),
                   threads);
        printBands("changed areas in bands", benchChangesInBands(data, frames, 1920, 1080, 1),
                   benchChangesInBands(data, frames, 1920, 1080, threads), threads);
    }
    return 0;
}
