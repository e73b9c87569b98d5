// The four-at-a-time span blends against the plain per-pixel loops, on random spans of every
// length and alignment: any 32-bit words (premultiplied or not, where the word add carries)
// and coverages mixing empty, full and partial pixels.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "blend_span.h"

namespace swf::render {
namespace {

struct Spans {
    std::vector<uint32_t> colors, dst;
    std::vector<uint8_t> coverage;
};

Spans randomSpans(std::mt19937& rng, int n) {
    Spans s;
    auto word = [&] {
        switch (rng() % 4) {
            case 0: return uint32_t(rng());  // any word, channels above alpha included
            case 1: return 0xFF000000u | (uint32_t(rng()) & 0xFFFFFFu);
            case 2: return 0u;
            default: {  // a proper premultiplied pixel
                const uint32_t a = rng() % 256;
                auto channel = [&] { return a == 0 ? 0u : uint32_t(rng()) % (a + 1); };
                return packPixel(a, channel(), channel(), channel());
            }
        }
    };
    for (int i = 0; i < n; ++i) {
        s.colors.push_back(word());
        s.dst.push_back(word());
        const uint32_t kind = rng() % 3;
        s.coverage.push_back(uint8_t(kind == 0 ? 0 : kind == 1 ? 255 : rng() % 256));
    }
    return s;
}

TEST(BlendSpan, FastLoopsGiveThePlainLoopsBytes) {
    std::mt19937 rng(20261209);
    for (int round = 0; round < 3000; ++round) {
        const int n = int(rng() % 40), offset = int(rng() % 4);
        Spans s = randomSpans(rng, n + offset);
        std::vector<uint32_t> fast = s.dst, plain = s.dst;
        blendCoveredSpan(s.colors.data() + offset, s.coverage.data() + offset, fast.data() + offset, n);
        blendCoveredSpanPlain(s.colors.data() + offset, s.coverage.data() + offset, plain.data() + offset, n);
        ASSERT_EQ(fast, plain) << "colour span, round " << round;
        const uint32_t color = s.colors.empty() ? 0x80402010u : s.colors[0];
        fast = plain = s.dst;
        blendSolidSpan(color, s.coverage.data() + offset, fast.data() + offset, n);
        blendSolidSpanPlain(color, s.coverage.data() + offset, plain.data() + offset, n);
        ASSERT_EQ(fast, plain) << "solid span, round " << round;
    }
}

TEST(BlendSpan, CoverageScalesTheSourceBeforeItGoesOver) {
    std::vector<uint32_t> dst(5, 0xFF000000u);
    const std::vector<uint8_t> coverage = {0, 255, 128, 255, 0};
    blendSolidSpan(0xFFFFFFFFu, coverage.data(), dst.data(), 5);
    EXPECT_EQ(dst, (std::vector<uint32_t>{0xFF000000u, 0xFFFFFFFFu, 0xFF808080u, 0xFFFFFFFFu, 0xFF000000u}));
}

}  // namespace
}  // namespace swf::render
