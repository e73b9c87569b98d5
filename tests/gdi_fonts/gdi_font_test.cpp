// GDI device fonts: every generic name gives a usable TrueType face, glyphs have outlines in
// font units with y down, and text laid out with them is drawn inside its field.
// KESTORAL_GDI_TEXT_PPM=path writes the drawn field as a PPM picture to look at.
#include <gdi_font_provider.h>
#include <gtest/gtest.h>
#include <renderer.h>
#include <text/field_drawing.h>
#include <text/text_layout.h>

#include <cstdio>
#include <cstdlib>

namespace {

TEST(GdiFonts, GenericNamesGiveTrueTypeFacesWithMetricsAndOutlines) {
    swf::GdiFontProvider fonts;
    for (const char* face : {"_sans", "_serif", "_typewriter", "No Such Family"}) {
        auto font = fonts.open({face});
        ASSERT_TRUE(font) << face;
        EXPECT_GT(font->ascent(), font->unitsPerEm() / 2) << face;
        EXPECT_GT(font->descent(), 0) << face;
        int a = font->glyphFor('A');
        ASSERT_GE(a, 0) << face;
        EXPECT_GT(font->advance(a), font->unitsPerEm() / 4) << face;
        auto outline = font->outline(a);
        ASSERT_TRUE(outline) << face;
        EXPECT_LT(outline->bounds.yMin, -font->unitsPerEm() / 2) << face << ": the A stands above the baseline";
        EXPECT_GE(outline->bounds.yMax, -font->unitsPerEm() / 50) << face;
        EXPECT_EQ(font->outline(font->glyphFor(' ')), nullptr) << face;
    }
    EXPECT_EQ(fonts.open({"_sans"}), fonts.open({"_SANS"})) << "opened once, names in any case";
    EXPECT_NE(fonts.open({"_sans", true, false}), fonts.open({"_sans"}));
    auto mono = fonts.open({"_typewriter"});
    EXPECT_EQ(mono->advance(mono->glyphFor('i')), mono->advance(mono->glyphFor('W')));
}

TEST(GdiFonts, AFieldInADeviceFontDrawsInsideItsRectangle) {
    swf::GdiFontProvider fonts;
    swf::TextFieldInput field;
    field.bounds = swf::Rect{0, 200 * 20, 0, 40 * 20};
    swf::TextFormat format;
    format.face = "_sans";
    format.size = 20 * 20;
    field.runs.push_back({U"Version: 1.2.3", format});
    swf::TextLayout layout =
        swf::layoutText(field, [&](const swf::TextFormat& f) { return fonts.open({f.face, f.bold, f.italic}); });
    ASSERT_EQ(layout.glyphs.size(), 14u);
    swf::GlyphCache cache;
    auto glyphs = swf::drawTextField(layout, field, cache);
    swf::Canvas canvas(240, 40);
    swf::Renderer r(canvas, swf::Quality::High);
    r.clear(swf::Rgba{255, 255, 255, 255});
    const swf::Matrix toPixels = swf::Matrix::scale(0.05f, 0.05f);
    for (const auto& g : glyphs) r.drawShape(*g.shape, toPixels * g.matrix, {});
    int inkLeft = 240, inkRight = -1, inkTop = 40;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 240; ++x)
            if ((canvas.row(y)[x] & 0xff) < 128) {
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x);
                inkTop = std::min(inkTop, y);
            }
    EXPECT_GE(inkLeft, 2) << "the gutter";
    EXPECT_LE(inkLeft, 4);
    EXPECT_GT(inkRight, 80) << "fourteen characters at 20 pixels";
    EXPECT_LT(inkRight, 200);
    EXPECT_GE(inkTop, 2);
    if (const char* path = std::getenv("KESTORAL_GDI_TEXT_PPM")) {
        if (FILE* f = std::fopen(path, "wb")) {
            std::fprintf(f, "P6 240 40 255\n");
            for (uint32_t p : canvas.pixels) {
                unsigned char rgb[3] = {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)};
                std::fwrite(rgb, 1, 3, f);
            }
            std::fclose(f);
        }
    }
}

}  // namespace
