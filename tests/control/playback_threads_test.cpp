// The control draws its frames in bands on one thread per processor: every picture must be the
// one a single thread draws, byte for byte.
#include <gtest/gtest.h>

#include <playback.h>

#include <fstream>
#include <iterator>

#include "control_test_support.h"

namespace {

std::vector<uint8_t> defaultMovie() {
    std::ifstream in(control_test::BinDir() + "\\swf\\Default.swf", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(PlaybackThreads, BandsOnSeveralThreadsDrawWhatOneThreadDraws) {
    const std::vector<uint8_t> movie = defaultMovie();
    ASSERT_FALSE(movie.empty());
    swfctl::Playback one, two;
    one.setDrawingThreads(1);
    two.setDrawingThreads(2);
    EXPECT_EQ(one.drawingThreads(), 1);
    EXPECT_EQ(two.drawingThreads(), 2);
    std::string error;
    ASSERT_TRUE(one.load(movie.data(), movie.size(), error)) << error;
    ASSERT_TRUE(two.load(movie.data(), movie.size(), error)) << error;
    swf::Canvas a(800, 600), b(800, 600);
    for (int frame = 0; frame < 30; ++frame) {
        const auto areasOne = one.renderChanges(a);
        const auto areasTwo = two.renderChanges(b);
        ASSERT_EQ(a.pixels, b.pixels) << "frame " << frame;
        // How a change is split into areas may differ (seen on x86_64: 6 against 7 on one
        // frame, either way round); whether anything changed may not.
        ASSERT_EQ(areasOne.empty(), areasTwo.empty()) << "frame " << frame;
        one.advance(one.frameInterval());
        two.advance(two.frameInterval());
    }
}

}  // namespace
