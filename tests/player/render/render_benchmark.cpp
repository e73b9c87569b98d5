// Micro-benchmark: about 120 translucent gradient-filled curved shapes, all moving, on an
// 800 x 600 stage drawn at 1920 x 1080. Prints milliseconds per frame and the ratio to a plain
// full-canvas clear timed in the same run.
//   swf_render_benchmark [frames] [high|medium|low] [size factor, default 1] [raw.bgra]
// The last argument, if given, receives the last frame as raw BGRA bytes (to look at it:
// convert -size 1920x1080 -depth 8 bgra:raw.bgra frame.png).
// At size factor 1 the shapes are 30 to 100 stage pixels across and together cover about 80 %
// of the device canvas (some overlapping); factor 2 quadruples the painted area.
#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <random>
#include <vector>

#include "test_shapes.h"

using namespace swf;

namespace {

constexpr int kStageWidth = 800, kStageHeight = 600;
constexpr int kDeviceWidth = 1920, kDeviceHeight = 1080;
constexpr int kShapes = 120;

struct Sprite {
    Shape shape;
    float x, y, vx, vy, angle, spin;
};

// A wobbly closed blob of `lobes` quadratic curves around the origin (pixels), filled with a
// translucent linear or radial gradient.
Shape blob(std::mt19937& rng, int index, float sizeFactor) {
    std::uniform_real_distribution<float> radius(15 * sizeFactor, 40 * sizeFactor), wobble(0.75f, 1.3f);
    std::uniform_int_distribution<int> channel(0, 255), lobesDist(4, 7);
    const float r = radius(rng);
    const int lobes = lobesDist(rng);

    FillStyle fill;
    fill.type = index % 2 ? FillType::RadialGradient : FillType::LinearGradient;
    const float s = 2 * r * kTwipsPerPixel / 32768;
    fill.gradient.matrix = {s, 0, 0, s, 0, 0};
    auto color = [&](uint8_t alpha) {
        return Rgba{uint8_t(channel(rng)), uint8_t(channel(rng)), uint8_t(channel(rng)), alpha};
    };
    fill.gradient.records = {{0, color(230)}, {128, color(160)}, {255, color(200)}};

    test::ShapeBuilder b;
    b.fill(fill).use(0, 1);
    const float pi = 3.14159265f;
    std::vector<Point> ends;
    for (int i = 0; i < lobes; ++i) {
        float a = 2 * pi * float(i) / float(lobes);
        float k = r * wobble(rng);
        ends.push_back({k * std::cos(a), k * std::sin(a)});
    }
    b.moveTo(ends[0].x, ends[0].y);
    for (int i = 0; i < lobes; ++i) {
        Point next = ends[size_t((i + 1) % lobes)];
        float mid = 2 * pi * (float(i) + 0.5f) / float(lobes);
        float k = r * 1.35f * wobble(rng);
        b.curveTo(k * std::cos(mid), k * std::sin(mid), next.x, next.y);
    }
    return b.build();
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Processor time of this process: on a machine shared with other work it is steadier than the
// wall clock, which also counts the time spent waiting for the core.
double cpuMillisecondsSince(std::clock_t start) { return 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC; }

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    Quality quality = Quality::High;
    if (argc > 2 && std::strcmp(argv[2], "medium") == 0) quality = Quality::Medium;
    if (argc > 2 && std::strcmp(argv[2], "low") == 0) quality = Quality::Low;
    const float sizeFactor = argc > 3 ? std::max(0.1f, float(std::atof(argv[3]))) : 1.0f;

    std::mt19937 rng(2024);
    std::uniform_real_distribution<float> px(0, kStageWidth), py(0, kStageHeight), v(-4, 4), spin(-0.05f, 0.05f);
    std::vector<Sprite> sprites;
    for (int i = 0; i < kShapes; ++i) sprites.push_back({blob(rng, i, sizeFactor), px(rng), py(rng), v(rng), v(rng), 0, spin(rng)});

    Canvas canvas(kDeviceWidth, kDeviceHeight);
    const Matrix stageToDevice = Matrix::scale(float(kDeviceWidth) / kStageWidth / kTwipsPerPixel,
                                               float(kDeviceHeight) / kStageHeight / kTwipsPerPixel);

    // Baseline: the clear every frame starts with.
    auto start = std::chrono::steady_clock::now();
    std::clock_t cpuStart = std::clock();
    for (int f = 0; f < frames; ++f) {
        Renderer renderer(canvas, quality);
        renderer.clear({20, 30, 40, 255});
    }
    const double clearMs = millisecondsSince(start) / frames;
    const double clearCpuMs = cpuMillisecondsSince(cpuStart) / frames;

    start = std::chrono::steady_clock::now();
    cpuStart = std::clock();
    uint32_t checksum = 0;
    double paintedPixels = 0;
    for (int f = 0; f < frames; ++f) {
        Renderer renderer(canvas, quality);
        renderer.clear({20, 30, 40, 255});
        for (Sprite& s : sprites) {
            s.x += s.vx;
            s.y += s.vy;
            if (s.x < 0 || s.x > kStageWidth) s.vx = -s.vx;
            if (s.y < 0 || s.y > kStageHeight) s.vy = -s.vy;
            s.angle += s.spin;
            float c = std::cos(s.angle), sn = std::sin(s.angle);
            Matrix place{c, sn, -sn, c, s.x * kTwipsPerPixel, s.y * kTwipsPerPixel};
            renderer.drawShape(s.shape, stageToDevice * place, ColorTransform());
        }
        checksum += canvas.pixels[size_t(f * 7919) % canvas.pixels.size()];
        if (f == 0) {
            for (uint32_t p : canvas.pixels) paintedPixels += p != 0xff141e28u;
        }
    }
    const double frameMs = millisecondsSince(start) / frames;
    const double frameCpuMs = cpuMillisecondsSince(cpuStart) / frames;

    std::printf("quality %s, %d shapes, %dx%d, %d frames\n", argc > 2 ? argv[2] : "high", kShapes, kDeviceWidth,
                kDeviceHeight, frames);
    std::printf("size factor %.2f: first frame paints %.0f %% of the canvas\n", sizeFactor,
                100.0 * paintedPixels / double(canvas.pixels.size()));
    std::printf("clear only:  %.3f ms/frame wall, %.3f ms/frame processor\n", clearMs, clearCpuMs);
    std::printf("full frame:  %.3f ms/frame wall (%.1f frames/s), %.3f ms/frame processor (%.1f frames/s)\n", frameMs,
                1000.0 / frameMs, frameCpuMs, 1000.0 / frameCpuMs);
    std::printf("ratio full frame / clear: %.1f wall, %.1f processor\n", frameMs / clearMs, frameCpuMs / clearCpuMs);
    std::printf("checksum %08x\n", checksum);

    // One stage-sized rectangle per paint kind, scaled to the whole canvas: what a full-screen
    // background costs on top of the clear.
    auto photo = std::make_shared<Bitmap>(kStageWidth, kStageHeight);
    for (size_t i = 0; i < photo->pixels.size(); ++i) photo->pixels[i] = 0xff000000u | uint32_t(i * 2654435761u >> 8);
    FillStyle gradient;
    gradient.type = FillType::RadialGradient;
    gradient.gradient.matrix = {0.03f, 0, 0, 0.03f, 8000, 6000};
    gradient.gradient.records = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 255}}};
    FillStyle bitmap;
    bitmap.type = FillType::ClippedBitmap;
    bitmap.bitmap = photo;
    bitmap.bitmapMatrix = Matrix::scale(kTwipsPerPixel, kTwipsPerPixel);
    const std::pair<const char*, FillStyle> backgrounds[] = {
        {"opaque solid", test::solidFill({10, 20, 30, 255})},
        {"translucent solid", test::solidFill({10, 20, 30, 128})},
        {"radial gradient", gradient},
        {"smoothed bitmap", bitmap}};
    for (const auto& [name, fill] : backgrounds) {
        const Shape background = test::rectShape(0, 0, kStageWidth, kStageHeight, fill);
        const int count = std::max(1, frames / 10);
        cpuStart = std::clock();
        for (int f = 0; f < count; ++f) {
            Renderer renderer(canvas, quality);
            renderer.drawShape(background, stageToDevice, ColorTransform());
        }
        const double ms = cpuMillisecondsSince(cpuStart) / count;
        std::printf("full-canvas %-18s %7.3f ms processor (%.1f x clear)\n", name, ms, ms / clearCpuMs);
    }
    if (argc > 4) {
        if (FILE* f = std::fopen(argv[4], "wb")) {
            std::fwrite(canvas.pixels.data(), sizeof(uint32_t), canvas.pixels.size(), f);
            std::fclose(f);
        }
    }
    return 0;
}
