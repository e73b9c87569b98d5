// BitmapData operations driven by a seed: noise, perlinNoise and pixelDissolve, each giving
// the same pixels for the same seed every time.
#include <algorithm>
#include <cmath>

#include "bitmap_data.h"

namespace swf {

namespace {

// The minimal standard generator (Park and Miller): a fixed sequence per seed. As the
// original, a seed of 0 or below starts from 1 - seed (0 and 1 give one sequence, -5 and 6
// another).
class Random {
public:
    explicit Random(int seed) : state_(seed > 0 ? uint32_t(seed) : uint32_t(1) - uint32_t(seed)) {
        state_ %= 2147483647u;
        if (state_ == 0) state_ = 1;
    }
    uint32_t next() {
        state_ = uint32_t(uint64_t(state_) * 16807u % 2147483647u);
        return state_;
    }

private:
    uint32_t state_;
};

// 2D gradient noise in [-1, 1] over a lattice of period (periodX, periodY) cells (0: none).
class GradientNoise {
public:
    explicit GradientNoise(int seed) {
        Random random(seed);
        for (int i = 0; i < 256; ++i) permutation_[i] = uint8_t(i);
        for (int i = 255; i > 0; --i) std::swap(permutation_[i], permutation_[random.next() % uint32_t(i + 1)]);
    }
    float at(float x, float y, int periodX, int periodY) const {
        const float fx = std::floor(x), fy = std::floor(y);
        const float tx = x - fx, ty = y - fy;
        const int ix = int(fx), iy = int(fy);
        auto corner = [&](int cx, int cy, float dx, float dy) {
            if (periodX > 0) cx = ((cx % periodX) + periodX) % periodX;
            if (periodY > 0) cy = ((cy % periodY) + periodY) % periodY;
            const int h = permutation_[(permutation_[cx & 255] + cy) & 255] & 7;
            static const float gx[8] = {1, -1, 1, -1, 1, -1, 0, 0}, gy[8] = {1, 1, -1, -1, 0, 0, 1, -1};
            return gx[h] * dx + gy[h] * dy;
        };
        auto fade = [](float t) { return t * t * t * (t * (t * 6 - 15) + 10); };
        const float u = fade(tx), v = fade(ty);
        const float a = corner(ix, iy, tx, ty) + u * (corner(ix + 1, iy, tx - 1, ty) - corner(ix, iy, tx, ty));
        const float b = corner(ix, iy + 1, tx, ty - 1) + u * (corner(ix + 1, iy + 1, tx - 1, ty - 1) - corner(ix, iy + 1, tx, ty - 1));
        return std::clamp(a + v * (b - a), -1.0f, 1.0f);
    }

private:
    uint8_t permutation_[256];
};


// Feedback masks of maximal-length shift registers of 2 to 24 bits (Galois form, shifting
// right): from any non-zero state, each visits every value of 1 .. 2^bits - 1 once per period.
constexpr uint32_t kDissolveMasks[25] = {0,       0,       0x3,     0x6,     0xC,     0x14,    0x30,
                                         0x60,    0xB8,    0x110,   0x240,   0x500,   0xCA0,   0x1B00,
                                         0x3500,  0x6000,  0xB400,  0x12000, 0x20400, 0x72000, 0x90000,
                                         0x140000, 0x300000, 0x420000, 0xD80000};

}  // namespace

uint32_t dissolveStep(uint32_t state, int bits) {
    return (state & 1) ? (state >> 1) ^ kDissolveMasks[bits] : state >> 1;
}

int dissolveBits(uint32_t count) {
    int bits = 2;
    while (bits < 24 && (uint32_t(1) << bits) < count) ++bits;
    return bits;
}

void BitmapData::noise(int seed, int low, int high, int channels, bool grey) {
    ++version_;
    if (!valid()) return;
    low = std::clamp(low, 0, 255);
    high = std::clamp(high, low, 255);
    Random random(seed);
    const uint32_t span = uint32_t(high - low + 1);
    auto value = [&] { return uint8_t(low + int(random.next() % span)); };
    for (uint32_t& p : pixels_.pixels) {
        Rgba c{0, 0, 0, 255};
        if (grey) {
            c.r = c.g = c.b = value();
        } else {
            if (channels & 1) c.r = value();
            if (channels & 2) c.g = value();
            if (channels & 4) c.b = value();
        }
        if ((channels & 8) && transparent_) c.a = value();
        p = premultiply(c);
    }
}

void BitmapData::perlinNoise(float baseX, float baseY, int octaves, int seed, bool stitch, bool fractalNoise,
                             int channels, bool grey) {
    ++version_;
    if (!valid()) return;
    // A native call cannot be interrupted by the script time limit: the work (pixels x
    // channels x octaves) is capped, past it the finest octaves are left out.
    constexpr int64_t kMaxSamples = 32 * 1000 * 1000;
    const int64_t perOctave = int64_t(pixels_.width) * pixels_.height * (grey ? 1 : 4);
    octaves = std::clamp(octaves, 0, int(std::clamp<int64_t>(kMaxSamples / perOctave, 1, 16)));
    const float sizeX = std::isfinite(baseX) && std::fabs(baseX) >= 1 ? std::fabs(baseX) : 1;
    const float sizeY = std::isfinite(baseY) && std::fabs(baseY) >= 1 ? std::fabs(baseY) : 1;
    const int w = pixels_.width, h = pixels_.height;
    // One noise per channel (red, green, blue, alpha), from consecutive seeds.
    const GradientNoise noises[4] = {GradientNoise(seed), GradientNoise(seed + 1), GradientNoise(seed + 2), GradientNoise(seed + 3)};
    auto sample = [&](const GradientNoise& n, int x, int y) {
        float sum = 0, weight = 1, total = 0, fx = sizeX, fy = sizeY;
        for (int o = 0; o < octaves; ++o) {
            const int px = stitch ? std::max(1, int(std::lround(float(w) / fx))) : 0;
            const int py = stitch ? std::max(1, int(std::lround(float(h) / fy))) : 0;
            const float v = n.at((float(x) + 0.5f) / fx, (float(y) + 0.5f) / fy, px, py);
            sum += (fractalNoise ? v : std::fabs(v)) * weight;
            total += weight;
            weight *= 0.5f;
            fx = std::max(1.0f, fx * 0.5f);
            fy = std::max(1.0f, fy * 0.5f);
        }
        if (total == 0) return uint8_t(fractalNoise ? 128 : 0);
        const float t = sum / total;
        return uint8_t(std::clamp(fractalNoise ? 127.5f + 127.5f * t : 255 * t, 0.0f, 255.0f) + 0.5f);
    };
    for (int y = 0; y < h; ++y) {
        uint32_t* row = pixels_.row(y);
        for (int x = 0; x < w; ++x) {
            Rgba c{0, 0, 0, 255};
            if (grey) {
                c.r = c.g = c.b = sample(noises[0], x, y);
            } else {
                if (channels & 1) c.r = sample(noises[0], x, y);
                if (channels & 2) c.g = sample(noises[1], x, y);
                if (channels & 4) c.b = sample(noises[2], x, y);
            }
            if ((channels & 8) && transparent_) c.a = sample(noises[3], x, y);
            row[x] = premultiply(c);
        }
    }
}


int BitmapData::pixelDissolve(const BitmapData& source, IntRect from, int toX, int toY, int seed, int numPixels,
                              uint32_t fillColor) {
    ++version_;
    IntRect src;
    int dx, dy;
    if (!sourceArea(source, from, toX, toY, src, dx, dy)) return seed;
    const int w = src.x1 - src.x0, h = src.y1 - src.y0;
    // As the original, an area one pixel wide or high is left as it is.
    if (w < 2 || h < 2) return seed;
    // Pixel n of the area (row by row) is written when the register holds n; the register
    // never holds 0, so pixel 0 is written on every call. The register is what the call
    // answers, so a script passing it back goes on where the last call stopped.
    const uint32_t count = uint32_t(w) * uint32_t(h);  // under 2^24 (see sizeAllowed())
    const int bits = dissolveBits(count);
    const uint32_t period = (uint32_t(1) << bits) - 1;
    // The seed read as unsigned, brought into the register's range (0 stands for the period).
    uint32_t state = uint32_t(seed) % period;
    if (state == 0) state = period;
    const bool fill = &source == this;
    const uint32_t fillWord = store(fillColor);
    auto write = [&](uint32_t n) {
        const int x = src.x0 + int(n % uint32_t(w)), y = src.y0 + int(n / uint32_t(w));
        pixels_.row(y + dy)[x + dx] = fill ? fillWord : source.pixels_.row(y)[x];
    };
    write(0);
    // A negative count is read as unsigned, as the original. The pixels 1 .. count - 1 come
    // round once per count - 1 writes, so only the remainder moves the register further; a
    // count of a whole round or more writes them all.
    const uint32_t steps = uint32_t(numPixels);
    if (steps == 0) return seed;
    uint32_t moves = steps % (count - 1);
    if (moves == 0) moves = count - 1;
    if (steps >= count - 1) {
        for (uint32_t n = 1; n < count; ++n) write(n);
    }
    for (uint32_t done = 0; done < moves;) {
        state = dissolveStep(state, bits);
        if (state < count) {
            if (steps < count - 1) write(state);
            ++done;
        }
    }
    return int(state);
}

}  // namespace swf
