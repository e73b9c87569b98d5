// The container: FWS, CWS (whole, truncated, lying about its length), ZWS refused, junk.
#include <gtest/gtest.h>
#include <parse/container.h>
#include <parse/movie_loader.h>

#include "fixtures.h"

namespace {

swfw::MovieWriter twoSquares() {
    swfw::MovieWriter m(8, 100, 80, 24);
    m.add(fixtures::squareShape(1, 10, fixtures::rgb(255, 0, 0)));
    m.add(swfw::placeObject2({1, 1, false, fixtures::at(0, 0)}));
    m.showFrame();
    m.add(fixtures::squareShape(2, 10, fixtures::rgb(0, 0, 255)));
    m.add(swfw::placeObject2({2, 2, false, fixtures::at(20, 0)}));
    m.showFrame();
    return m;
}

TEST(Container, UncompressedAndCompressedGiveTheSameMovie) {
    for (bool compress : {false, true}) {
        auto bytes = twoSquares().build(compress);
        std::string error;
        auto movie = swf::loadMovie(bytes.data(), bytes.size(), error);
        ASSERT_TRUE(movie) << error;
        EXPECT_EQ(movie->compression, compress ? swf::Compression::Zlib : swf::Compression::None);
        EXPECT_EQ(movie->version, 8);
        EXPECT_EQ(movie->frameRect.width(), 2000);
        EXPECT_EQ(movie->frameRect.height(), 1600);
        EXPECT_DOUBLE_EQ(movie->frameRate(), 24.0);
        EXPECT_EQ(movie->timeline.frames.size(), 2u);
        EXPECT_EQ(movie->characters.size(), 2u);
        EXPECT_FALSE(movie->truncated);
        EXPECT_TRUE(movie->warnings.empty());
    }
}

TEST(Container, TruncatedCompressedStreamKeepsWhatInflated) {
    auto bytes = twoSquares().build(true);
    // Cut well inside the zlib stream: the first frame's tags still come out.
    for (size_t keep : {bytes.size() - 12, bytes.size() * 2 / 3}) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + long(keep));
        std::string error;
        auto movie = swf::loadMovie(cut.data(), cut.size(), error);
        ASSERT_TRUE(movie) << error;
        EXPECT_TRUE(movie->truncated) << keep;
        EXPECT_GE(movie->timeline.frames.size(), 1u);
        EXPECT_TRUE(movie->characters.count(1)) << "the first shape precedes the cut";
    }
}

TEST(Container, ReadsOnlyUpToTheDeclaredLength) {
    auto bytes = twoSquares().build(false);
    // Trailing garbage after the declared length must be ignored.
    bytes.insert(bytes.end(), {0xff, 0xff, 0xff, 0xff, 0x3f, 0x00});
    std::string error;
    auto movie = swf::loadMovie(bytes.data(), bytes.size(), error);
    ASSERT_TRUE(movie) << error;
    EXPECT_TRUE(movie->warnings.empty());
    EXPECT_EQ(movie->timeline.frames.size(), 2u);
}

TEST(Container, HugeDeclaredLengthOnACompressedFileIsNotTrusted) {
    auto bytes = twoSquares().build(true);
    bytes[4] = bytes[5] = bytes[6] = bytes[7] = 0xff;  // claims 4 GiB
    std::string error;
    auto movie = swf::loadMovie(bytes.data(), bytes.size(), error);
    ASSERT_TRUE(movie) << error;
    EXPECT_EQ(movie->timeline.frames.size(), 2u);
    EXPECT_TRUE(movie->truncated);
}

TEST(Container, RefusesWhatItCannotPlay) {
    struct Case {
        std::vector<uint8_t> bytes;
        const char* reason;
    } cases[] = {
        {{'Z', 'W', 'S', 13, 100, 0, 0, 0, 1, 2, 3, 4}, "LZMA"},
        {{'G', 'I', 'F', '8', '9', 'a', 0, 0}, "not a SWF"},
        {{'F', 'W', 'S', 8}, "too short"},
        {{'F', 'W', 'S', 8, 4, 0, 0, 0}, "smaller than the header"},
        {{'F', 'W', 'S', 8, 9, 0, 0, 0, 0x78}, "movie header"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(swf::loadMovie(c.bytes.data(), c.bytes.size(), error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
}

TEST(Container, FrameRateZeroAndExtremesAreSane) {
    auto m = twoSquares();
    for (auto [raw, expected] : {std::pair{0, 12.0}, {0x0180, 1.5}, {0xff00, 120.0}}) {
        m.setRawFrameRate(uint16_t(raw));
        auto bytes = m.build();
        std::string error;
        auto movie = swf::loadMovie(bytes.data(), bytes.size(), error);
        ASSERT_TRUE(movie);
        EXPECT_DOUBLE_EQ(movie->frameRate(), expected) << raw;
    }
}

}  // namespace
