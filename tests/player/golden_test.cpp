// Writer-made movies rendered through the real renderer and compared byte for byte with our
// own goldens in tests/player/golden. On a mismatch the actual image and a difference image
// (changed pixels red over a faded copy) go to golden-actual/ in the build folder.
// KESTORAL_UPDATE_GOLDENS=1 rewrites the goldens; look at each one before committing it.
#include <freetype_font_provider.h>
#include <gtest/gtest.h>
#include <imageio/image_file.h>
#include <runtime/avm1/host_services.h>
#include <runtime/player.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "fixtures.h"

namespace {

struct GoldenCase {
    const char* name;
    std::function<std::vector<uint8_t>()> movie;
    int frame = 1;
    int width = 0, height = 0;  // 0: the stage size
    swf::ScaleMode mode = swf::ScaleMode::ShowAll;
    swf::Quality quality = swf::Quality::High;
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

swf::Canvas renderCase(const GoldenCase& c) {
    auto bytes = c.movie();
    std::string error;
    auto deviceFonts = std::make_shared<swf::FreeTypeFontProvider>();
    // Scripted movies see a pinned clock and seed (as swfrender --time 2001-02-02T22:20:06Z --seed 3).
    swf::avm1::FixedHostServices host;
    host.startUtcMs = 981152406000.0;
    host.seed = 3;
    auto player = swf::Player::load(bytes.data(), bytes.size(), error, &host, deviceFonts);
    if (!player) throw std::runtime_error(error);
    for (int f = 1; f < c.frame; ++f) {
        host.elapsedMs += 1000.0 / player->frameRate();
        player->stepFrame();
    }
    swf::Canvas canvas(c.width ? c.width : player->stageWidth(), c.height ? c.height : player->stageHeight());
    player->render(canvas, c.mode, c.quality);
    return canvas;
}

swf::Canvas differenceImage(const swf::Canvas& expected, const swf::Canvas& actual) {
    swf::Canvas diff(actual.width, actual.height);
    for (size_t i = 0; i < diff.pixels.size(); ++i) {
        bool same = i < expected.pixels.size() && expected.pixels[i] == actual.pixels[i];
        uint32_t p = actual.pixels[i];
        uint32_t grey = (((p >> 16) & 0xff) + ((p >> 8) & 0xff) + (p & 0xff)) / 12 + 160;
        diff.pixels[i] = same ? 0xff000000u | grey << 16 | grey << 8 | grey : 0xffff0000u;
    }
    return diff;
}

class Golden : public testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, MatchesExactly) {
    const GoldenCase& c = GetParam();
    swf::Canvas actual = renderCase(c);
    std::string goldenPath = std::string(PLAYER_GOLDEN_DIR) + "/" + c.name + ".png";
    const char* update = std::getenv("KESTORAL_UPDATE_GOLDENS");
    if (update && *update == '1') {
        ASSERT_TRUE(swfimg::saveImage(goldenPath, actual)) << goldenPath;
        return;
    }
    swf::Canvas expected;
    ASSERT_TRUE(swfimg::loadPng(goldenPath, expected)) << "missing golden " << goldenPath;
    bool same = expected.width == actual.width && expected.height == actual.height && expected.pixels == actual.pixels;
    if (!same) {
        std::filesystem::create_directories(PLAYER_ACTUAL_DIR);
        std::string base = std::string(PLAYER_ACTUAL_DIR) + "/" + c.name;
        swfimg::saveImage(base + ".actual.png", actual);
        if (expected.width == actual.width && expected.height == actual.height)
            swfimg::saveImage(base + ".diff.png", differenceImage(expected, actual));
        size_t differing = 0;
        for (size_t i = 0; i < std::min(expected.pixels.size(), actual.pixels.size()); ++i)
            differing += expected.pixels[i] != actual.pixels[i];
        ADD_FAILURE() << c.name << ": " << differing << " pixels differ (" << actual.width << "x" << actual.height
                      << " against " << expected.width << "x" << expected.height << "); see " << base << ".*.png";
    }
}


const GoldenCase kCases[] = {
    {"shapes", fixtures::shapesMovie},
    {"shapes_low_quality", fixtures::shapesMovie, 1, 0, 0, swf::ScaleMode::ShowAll, swf::Quality::Low},
    {"shapes_medium_quality", fixtures::shapesMovie, 1, 0, 0, swf::ScaleMode::ShowAll, swf::Quality::Medium},
    {"display_list_frame1", fixtures::displayListMovie, 1},
    {"display_list_frame3", fixtures::displayListMovie, 3},
    {"sprites_frame3", fixtures::spriteMovie, 3},
    {"morph_ratios", fixtures::morphMovie},
    {"mask", fixtures::maskMovie},
    {"color_transforms", fixtures::colorTransformMovie},
    {"text", fixtures::textMovie},
    {"text_font_info", fixtures::fontInfoTextMovie},
    {"text_device_fonts", fixtures::deviceTextMovie},
    {"text_scripted", fixtures::scriptedTextMovie},
    {"text_html", fixtures::htmlTextMovie},
    {"buttons", fixtures::buttonMovie},
    {"bitmaps_lossless", fixtures::losslessMovie},
    {"bitmaps_jpeg_png_gif", fixtures::jpegMovie},
    {"scale_exactfit", fixtures::scaleMovie, 1, 200, 100, swf::ScaleMode::ExactFit},
    {"scale_showall", fixtures::scaleMovie, 1, 200, 100, swf::ScaleMode::ShowAll},
    {"scale_noborder", fixtures::scaleMovie, 1, 200, 100, swf::ScaleMode::NoBorder},
    {"scale_noscale", fixtures::scaleMovie, 1, 200, 100, swf::ScaleMode::NoScale},
    {"as3_timeline", fixtures::as3Movie},
    {"blend_modes", fixtures::blendModesMovie},
    {"filters", fixtures::filtersMovie},
    {"filters_zoomed", fixtures::filtersMovie, 1, 860, 300},  // twice the stage: filters twice as wide
    {"script_effects", fixtures::scriptEffectsMovie},
    {"displacement_map", fixtures::displacementMapMovie},
    {"clock_scripted", fixtures::clockMovie, 2},        // 22:20:06: hands at 10:20 and 6 seconds
    {"particles_scripted", fixtures::particlesMovie, 30},
    {"drawing_pattern", fixtures::drawingPatternMovie, 12},    // the petals after ten redraws
    {"bitmap_data_scripted", fixtures::bitmapDataMovie, 1},
    {"bitmap_data_fill_changed", fixtures::bitmapDataMovie, 2},  // the checker repainted under the fill
};

INSTANTIATE_TEST_SUITE_P(Movies, Golden, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<GoldenCase>& info) { return std::string(info.param.name); });

// The compressed container must not change a single pixel.
TEST(GoldenContainer, CompressedMovieRendersLikeTheUncompressedOne) {
    GoldenCase plain{"display_list_frame3", fixtures::displayListMovie, 3};
    GoldenCase packed{"display_list_frame3", [] {
                          auto bytes = fixtures::displayListMovie();
                          // Re-pack the same body as CWS.
                          std::vector<uint8_t> body(bytes.begin() + 8, bytes.end());
                          std::vector<uint8_t> out(bytes.begin(), bytes.begin() + 8);
                          out[0] = 'C';
                          auto z = swfw::deflateBytes(body);
                          out.insert(out.end(), z.begin(), z.end());
                          return out;
                      },
                      3};
    EXPECT_EQ(renderCase(plain).pixels, renderCase(packed).pixels);
}

}  // namespace
