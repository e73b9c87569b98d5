// swfbench FILE [N] [THREADS]: milliseconds per rendered frame at 1920 x 1080 and 640 x 480,
// beside the cost of a plain full-canvas clear measured in the same run, and the cost per frame
// when only the changed areas are redrawn (with how many areas and how much of the canvas they
// cover); with THREADS, also the frame drawn in bands on 1 and on THREADS threads, whole and
// (as the control draws) changed areas only.
// Scenes: `swf_fixture_movies DIR --bench` writes bench.swf (40 discs over a backdrop),
// moving.swf (120 translucent gradient blobs, all moving) and flash8.swf (20 discs with glow
// and drop shadow over a blurred backdrop).
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
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
    for (int i = 0; i < frames; ++i) {
        player->render(canvas, swf::ScaleMode::ExactFit, swf::Quality::High);
        player->stepFrame();
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
}

// The same frames drawn in 2 x `threads` horizontal bands by a pool of `threads` threads; the
// bands draw filtered objects afresh (no layers kept between frames).
double benchBands(const std::vector<uint8_t>& data, int frames, int width, int height, int threads) {
    std::string error;
    auto player = swf::Player::load(data.data(), data.size(), error);
    swf::Canvas canvas(width, height);
    swfbands::BandPool pool(threads);
    auto start = Clock::now();
    for (int i = 0; i < frames; ++i) {
        pool.run(height, 2 * threads, [&](int y0, int y1) {
            player->renderBand(canvas, swf::ScaleMode::ExactFit, swf::Quality::High, y0, y1);
        });
        player->stepFrame();
    }
    return millisSince(start) / frames;
}

// The control's path: changed areas only, tall ones drawn in bands by a pool of `threads`
// threads (layers kept between frames and shared by the threads).
double benchChangesInBands(const std::vector<uint8_t>& data, int frames, int width, int height, int threads) {
    std::string error;
    auto player = swf::Player::load(data.data(), data.size(), error);
    swf::Canvas canvas(width, height);
    swfbands::BandPool pool(threads);
    const swf::Player::BandRunner runner = [&](int rows, const std::function<void(int, int)>& draw) { pool.run(rows, draw); };
    auto start = Clock::now();
    for (int i = 0; i < frames; ++i) {
        player->renderChanges(canvas, swf::ScaleMode::ExactFit, swf::Quality::High, threads > 1 ? &runner : nullptr);
        player->stepFrame();
    }
    return millisSince(start) / frames;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: swfbench FILE [N] [THREADS]\n");
        return 2;
    }
    int frames = argc >= 3 ? std::atoi(argv[2]) : 100;
    const int threads = argc == 4 ? std::max(1, std::min(64, std::atoi(argv[3]))) : 0;
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
    benchSize(data, frames, 1920, 1080);
    benchSize(data, frames, 640, 480);
    if (threads > 0) {
        const double one = benchBands(data, frames, 1920, 1080, 1);
        const double many = benchBands(data, frames, 1920, 1080, threads);
        std::printf("1920 x 1080 in bands: 1 thread %8.3f ms/frame, %d threads %8.3f ms/frame, speed-up %.2f x\n", one,
                    threads, many, many > 0 ? one / many : 0.0);
        const double changesOne = benchChangesInBands(data, frames, 1920, 1080, 1);
        const double changesMany = benchChangesInBands(data, frames, 1920, 1080, threads);
        std::printf("1920 x 1080 changed areas in bands: 1 thread %8.3f ms/frame, %d threads %8.3f ms/frame, speed-up %.2f x\n",
                    changesOne, threads, changesMany, changesMany > 0 ? changesOne / changesMany : 0.0);
    }
    return 0;
}
