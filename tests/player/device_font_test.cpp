// Device fonts through FreeType: the generic names reach different faces, metrics and outlines
// come out in the layout's units (y down), kerning pairs the face has are used.
#include <freetype_font_provider.h>
#include <gtest/gtest.h>
#include <runtime/player.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "fixtures.h"

namespace {

TEST(DeviceFonts, GenericNamesOpenDistinctFacesAndUnknownFamiliesFallBackToSerif) {
    swf::FreeTypeFontProvider fonts;
    auto sans = fonts.open({"_sans"});
    auto serif = fonts.open({"_serif"});
    auto mono = fonts.open({"_typewriter"});
    ASSERT_TRUE(sans && serif && mono);
    EXPECT_NE(sans, serif);
    EXPECT_EQ(fonts.open({"No Such Family"}), serif);
    EXPECT_EQ(fonts.open({"_sans"}), sans) << "opened once";
    EXPECT_NE(fonts.open({"_sans", true, false}), sans) << "bold is its own face";
    int i = mono->glyphFor('i'), w = mono->glyphFor('W');
    ASSERT_GE(i, 0);
    ASSERT_GE(w, 0);
    EXPECT_EQ(mono->advance(i), mono->advance(w)) << "typewriter is monospaced";
    EXPECT_LT(sans->advance(sans->glyphFor('i')), sans->advance(sans->glyphFor('W')));
    EXPECT_EQ(sans->glyphFor(0x10fff0), -1);
}

TEST(DeviceFonts, OutlinesAreYDownAboveTheBaselineWithTheirCounters) {
    swf::FreeTypeFontProvider fonts;
    auto sans = fonts.open({"_sans"});
    ASSERT_TRUE(sans);
    EXPECT_GT(sans->ascent(), 0);
    EXPECT_GT(sans->descent(), 0);
    auto o = sans->outline(sans->glyphFor('o'));
    ASSERT_TRUE(o);
    ASSERT_EQ(o->layers.size(), 1u);
    EXPECT_TRUE(o->nonZeroWinding);
    EXPECT_LT(o->bounds.yMin, 0) << "ink above the baseline has negative y";
    EXPECT_GE(o->bounds.yMax, -sans->unitsPerEm() / 50);
    EXPECT_GT(o->layers[0].edges.size(), 8u) << "outer contour and counter";
    EXPECT_EQ(sans->outline(sans->glyphFor(' ')), nullptr) << "a space has no ink";
}

TEST(DeviceFonts, KerningPairsComeFromTheFace) {
    swf::FreeTypeFontProvider fonts;
    auto sans = fonts.open({"_sans"});
    ASSERT_TRUE(sans);
    float av = sans->kerning(sans->glyphFor('A'), sans->glyphFor('V'));
    EXPECT_LT(av, 0) << "DejaVu Sans pulls V towards A";
    EXPECT_EQ(sans->kerning(sans->glyphFor('o'), sans->glyphFor('o')), 0);
    EXPECT_EQ(sans->kerning(-1, 3), 0);
}

TEST(DeviceFonts, WindowsCoreFamiliesOpenMetricCompatibleFacesAndFallBackToDejaVu) {
    swf::FreeTypeFontProvider fonts;
    auto arial = fonts.open({"Arial"});
    auto courier = fonts.open({"courier new"});
    ASSERT_TRUE(arial && courier);
    EXPECT_NE(arial, fonts.open({"_sans"}));
    EXPECT_EQ(arial->unitsPerEm(), 2048);
    EXPECT_EQ(arial->advance(arial->glyphFor('a')), 1139) << "Arial's own advance for 'a'";
    EXPECT_EQ(courier->advance(courier->glyphFor('i')), 1229) << "Courier New: 0.6 EM every letter";
    EXPECT_NE(fonts.open({"Noto Sans"}), fonts.open({"Noto Serif"}));
    EXPECT_NE(fonts.open({"Arial", true, false}), arial) << "bold is its own face";

    // A DejaVu folder with no metric-compatible faces beside it.
    auto root = std::filesystem::temp_directory_path() / ("device-fonts-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root);
    std::filesystem::create_directories(root / "dejavu");
    std::filesystem::copy_file(std::filesystem::path(KESTORAL_TEST_DEJAVU_DIR) / "DejaVuSans.ttf", root / "dejavu" / "DejaVuSans.ttf");
    {
        swf::FreeTypeFontProvider dejavuOnly((root / "dejavu").string());
        auto fallback = dejavuOnly.open({"Arial"});
        ASSERT_TRUE(fallback);
        EXPECT_EQ(fallback, dejavuOnly.open({"_sans"}));
    }
    std::filesystem::remove_all(root);
}

TEST(DeviceFonts, AMissingFontFolderGivesNoFontsInsteadOfFailing) {
    swf::FreeTypeFontProvider fonts("/nonexistent-folder");
    EXPECT_EQ(fonts.open({"_sans"}), nullptr);
}

}  // namespace

namespace {

TEST(DeviceFonts, FieldsDrawWithTheHostsFontsAndStayEmptyWithoutThem) {
    auto bytes = fixtures::deviceTextMovie();
    auto fonts = std::make_shared<swf::FreeTypeFontProvider>();
    std::string error;
    auto with = swf::Player::load(bytes.data(), bytes.size(), error, nullptr, fonts);
    auto without = swf::Player::load(bytes.data(), bytes.size(), error);
    ASSERT_TRUE(with && without) << error;
    EXPECT_EQ(with->deviceFonts(), fonts.get()) << "kept for text that scripts set later";
    auto glyphsOf = [](const swf::Player& p) {
        const auto* edit = static_cast<const swf::EditTextCharacter*>(p.movie().character(10));
        return edit ? edit->glyphs.size() : 0u;
    };
    EXPECT_EQ(glyphsOf(*with), 1u + 13u) << "the border frame and \"Version: 1.2.3\" but its inkless space";
    EXPECT_EQ(glyphsOf(*without), 1u) << "the frame only";
}

}  // namespace
