// BitmapData operations driven by a seed: noise, perlinNoise and pixelDissolve, each giving
// the same pixels for the same seed every time.
#include <algorithm>
#include <cmath>
#include <memory>

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

// The turbulence of SVG's feTurbulence, which perlinNoise follows: a lattice of 256 gradients
// per channel (four channels) and a shuffled selector, made from the minimal standard
// generator; noise at a point blends the four corner gradients with the s-curve 3t^2 - 2t^3.
class Turbulence {
public:
    explicit Turbulence(int seed) {
        long state = seed;
        constexpr long kM = 2147483647;
        if (state <= 0) state = -(state % (kM - 1)) + 1;
        if (state > kM - 1) state = kM - 1;
        auto next = [&state] {
            // 16807 x state mod (2^31 - 1) by Schrage's method, as SVG's turbulence reference code computes it.
            long r = 16807 * (state % 127773) - 2836 * (state / 127773);
            if (r <= 0) r += kM;
            return state = r;
        };
        int i = 0;
        for (int k = 0; k < 4; ++k) {
            for (i = 0; i < kSize; ++i) {
                selector_[i] = i;
                double g[2];
                for (double& v : g) v = double((next() % (2 * kSize)) - kSize) / kSize;
                const double length = std::sqrt(g[0] * g[0] + g[1] * g[1]);
                gradient_[k][i][0] = length > 0 ? g[0] / length : 0;
                gradient_[k][i][1] = length > 0 ? g[1] / length : 0;
            }
        }
        while (--i) {
            const int j = int(next() % kSize);
            std::swap(selector_[i], selector_[j]);
        }
        for (i = 0; i < kSize + 2; ++i) {
            selector_[kSize + i] = selector_[i];
            for (int k = 0; k < 4; ++k) {
                gradient_[k][kSize + i][0] = gradient_[k][i][0];
                gradient_[k][kSize + i][1] = gradient_[k][i][1];
            }
        }
    }

    // Sum of `octaves` noises at (x, y) x the base frequencies, each octave at twice the
    // frequency and half the weight; fractal sums signed noise, turbulence its magnitude.
    // Stitching adjusts the frequencies to whole cells over the tile and wraps the lattice.
    double at(int channel, double x, double y, double freqX, double freqY, int octaves, bool fractal, bool stitch,
              double tileWidth, double tileHeight) const {
        Stitch wrap;
        if (stitch) {
            freqX = stitchFrequency(freqX, tileWidth);
            freqY = stitchFrequency(freqY, tileHeight);
            wrap.width = int64_t(std::min(tileWidth * freqX + 0.5, kMaxLattice));
            wrap.wrapX = kPerlinN + wrap.width;
            wrap.height = int64_t(std::min(tileHeight * freqY + 0.5, kMaxLattice));
            wrap.wrapY = kPerlinN + wrap.height;
        }
        double sum = 0, ratio = 1, vx = x * freqX, vy = y * freqY;
        for (int o = 0; o < octaves; ++o) {
            const double n = noise(channel, vx, vy, stitch ? &wrap : nullptr);
            sum += (fractal ? n : std::fabs(n)) / ratio;
            vx *= 2;
            vy *= 2;
            ratio *= 2;
            // Past the lattice limit noise() answers 0, so the wrap may stop growing there.
            if (stitch && wrap.wrapX < int64_t(kMaxLattice) && wrap.wrapY < int64_t(kMaxLattice)) {
                wrap.width *= 2;
                wrap.wrapX = 2 * wrap.wrapX - kPerlinN;
                wrap.height *= 2;
                wrap.wrapY = 2 * wrap.wrapY - kPerlinN;
            }
        }
        return sum;
    }

private:
    static constexpr int kSize = 256, kMask = 255, kPerlinN = 4096;
    // 64-bit: many octaves double these past 2^31 (32 octaves of an 8191 pixel tile).
    struct Stitch {
        int64_t width = 0, height = 0, wrapX = 0, wrapY = 0;
    };
    // Past this a lattice coordinate has no fraction left (and would not fit an integer).
    static constexpr double kMaxLattice = 4503599627370496.0;  // 2^52

    static double stitchFrequency(double freq, double tile) {
        if (freq == 0 || tile <= 0) return freq;
        const double low = std::floor(tile * freq) / tile, high = std::ceil(tile * freq) / tile;
        return low > 0 && freq / low < high / freq ? low : high;
    }

    double noise(int channel, double x, double y, const Stitch* wrap) const {
        if (!(x + kPerlinN < kMaxLattice && y + kPerlinN < kMaxLattice)) return 0;
        auto axis = [](double v, int64_t& b0, int64_t& b1, double& r0, double& r1) {
            const double t = v + kPerlinN;
            const int64_t whole = int64_t(t);
            // Wrapped (when stitching) before the cut to the lattice: SVG's reference order,
            // cutting first, never wraps; the original's stitched noise does.
            b0 = whole;
            b1 = whole + 1;
            r0 = t - double(whole);
            r1 = r0 - 1;
        };
        int64_t bx0, bx1, by0, by1;
        double rx0, rx1, ry0, ry1;
        axis(x, bx0, bx1, rx0, rx1);
        axis(y, by0, by1, ry0, ry1);
        if (wrap) {
            if (bx0 >= wrap->wrapX) bx0 -= wrap->width;
            if (bx1 >= wrap->wrapX) bx1 -= wrap->width;
            if (by0 >= wrap->wrapY) by0 -= wrap->height;
            if (by1 >= wrap->wrapY) by1 -= wrap->height;
        }
        bx0 &= kMask;
        bx1 &= kMask;
        by0 &= kMask;
        by1 &= kMask;
        const int i = selector_[bx0], j = selector_[bx1];
        const double* g00 = gradient_[channel][selector_[i + int(by0)]];
        const double* g10 = gradient_[channel][selector_[j + int(by0)]];
        const double* g01 = gradient_[channel][selector_[i + int(by1)]];
        const double* g11 = gradient_[channel][selector_[j + int(by1)]];
        const double sx = rx0 * rx0 * (3 - 2 * rx0), sy = ry0 * ry0 * (3 - 2 * ry0);
        auto lerp = [](double t, double a, double b) { return a + t * (b - a); };
        const double a = lerp(sx, rx0 * g00[0] + ry0 * g00[1], rx1 * g10[0] + ry0 * g10[1]);
        const double b = lerp(sx, rx0 * g01[0] + ry1 * g01[1], rx1 * g11[0] + ry1 * g11[1]);
        return lerp(sy, a, b);
    }

    int selector_[kSize + kSize + 2];
    double gradient_[4][kSize + kSize + 2][2];
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
    const int64_t perOctave = int64_t(pixels_.width) * pixels_.height * (grey ? 2 : 4);
    octaves = std::clamp(octaves, 0, int(std::clamp<int64_t>(kMaxSamples / perOctave, 1, 32)));
    // A base of 0 (or no number) is an endless frequency: every chosen channel reads 0.
    const bool flat = !(std::isfinite(baseX) && baseX != 0 && std::isfinite(baseY) && baseY != 0);
    if (flat) octaves = 0;
    // A negative base counts as its size (-1 draws what 1 does).
    const double freqX = flat ? 0 : 1.0 / std::fabs(baseX), freqY = flat ? 0 : 1.0 / std::fabs(baseY);
    const int w = pixels_.width, h = pixels_.height;
    const auto turbulence = std::make_unique<Turbulence>(seed);
    // The original's conversion to bytes: fractal noise (-1..1) as (n x 255 + 255 + 0.5) / 2,
    // turbulence (0..1) as n x 255 + 0.5, both cut to 0..255.
    auto byte = [&](double n) {
        if (flat) return uint8_t(0);  // the endless frequency's noise is no number: 0
        const double v = fractalNoise ? (n * 255 + 255 + 0.5) / 2 : n * 255 + 0.5;
        return uint8_t(std::clamp(v, 0.0, 255.0));
    };
    for (int y = 0; y < h; ++y) {
        uint32_t* row = pixels_.row(y);
        for (int x = 0; x < w; ++x) {
            auto sample = [&](int channel) {
                return byte(turbulence->at(channel, x, y, freqX, freqY, octaves, fractalNoise, stitch, w, h));
            };
            Rgba c{0, 0, 0, 255};
            if (grey) {
                c.r = c.g = c.b = sample(0);
                if (channels & 8) c.a = sample(1);
            } else {
                // Each chosen channel takes the next of the four noise channels (red and
                // blue alone use the first two).
                int next = 0;
                uint8_t* out[4] = {&c.r, &c.g, &c.b, &c.a};
                for (int bit = 0; bit < 4; ++bit)
                    if (channels & (1 << bit)) *out[bit] = sample(next++);
            }
            if (!transparent_) c.a = 255;
            // The bytes are stored as they are, as if already premultiplied (the original reads
            // red 0x41 at alpha 0x37 back as 0xff), each held to the alpha so the word stays
            // one the renderer can composite.
            auto held = [&](uint8_t v) { return uint32_t(std::min(v, c.a)); };
            row[x] = uint32_t(c.a) << 24 | held(c.r) << 16 | held(c.g) << 8 | held(c.b);
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
    // The pixel the register names is written, then the register steps on (two pixels asked
    // from register 2 of a 2 x 2 area write pixels 2 and 1 and answer 3).
    for (uint32_t done = 0; done < moves; state = dissolveStep(state, bits)) {
        if (state < count) {
            if (steps < count - 1) write(state);
            ++done;
        }
    }
    return int(state);
}

}  // namespace swf
