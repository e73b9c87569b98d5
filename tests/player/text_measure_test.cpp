// How the layout measures: whole-twip advances of embedded outlines, whole-pixel advances of
// device fonts, textWidth without margins, textHeight with the leading, tabs, bullets and the
// trailing spaces each movie version counts. A font of 100 units per EM whose numbers do not
// divide evenly, so a rounding in the wrong place shows.
#include <gtest/gtest.h>
#include <text/text_layout.h>

namespace {

class OddFont : public swf::LayoutFont {
public:
    explicit OddFont(bool device) : device_(device) {}
    float unitsPerEm() const override { return 100; }
    float ascent() const override { return 81; }
    float descent() const override { return 19; }
    float leading() const override { return 0; }
    int glyphFor(char32_t code) const override { return int(code); }
    float advance(int glyph) const override { return glyph == ' ' ? 26 : 33; }
    float kerning(int, int) const override { return 0; }
    std::shared_ptr<const swf::Shape> outline(int) const override { return nullptr; }
    bool pixelFitted() const override { return device_; }

private:
    bool device_;
};

// Size 250 twips: a letter is 82.5 twips, a space 65, the ascent 202.5, the descent 47.5.
swf::TextFieldInput fieldOf(const std::u32string& text, int widthTwips = 4000) {
    swf::TextFieldInput f;
    f.bounds = swf::Rect{0, widthTwips, 0, 4000};
    swf::TextFormat format;
    format.size = 250;
    f.runs.push_back({text, format});
    return f;
}

swf::TextLayout lay(const swf::TextFieldInput& f, bool device = false) {
    auto font = std::make_shared<OddFont>(device);
    return swf::layoutText(f, [font](const swf::TextFormat&) { return font; });
}

TEST(TextMeasure, EmbeddedAdvancesAreCutToWholeTwipsEachDeviceAdvancesRoundToPixels) {
    swf::TextLayout embedded = lay(fieldOf(U"aaaa"));
    ASSERT_EQ(embedded.glyphs.size(), 4u);
    EXPECT_FLOAT_EQ(embedded.glyphs[1].x - embedded.glyphs[0].x, 82);
    EXPECT_FLOAT_EQ(embedded.textWidth, 4 * 82) << "not 330: each advance is cut before they add up";
    swf::TextLayout device = lay(fieldOf(U"aaaa"), true);
    EXPECT_FLOAT_EQ(device.glyphs[1].x - device.glyphs[0].x, 80) << "82 twips are 4 whole pixels";
}

TEST(TextMeasure, DeviceLetterSpacingIsWholePixelsAndNeverTakesTheAdvanceToNothing) {
    swf::TextFieldInput f = fieldOf(U"aa");
    f.runs[0].format.letterSpacing = 25;  // 1.25 pixels: one pixel
    EXPECT_FLOAT_EQ(lay(f, true).textWidth, 2 * (80 + 20));
    f.runs[0].format.letterSpacing = -100;  // 4 + -5 pixels would be nothing
    EXPECT_FLOAT_EQ(lay(f, true).textWidth, 2 * 80) << "the unspaced advance stays";
    swf::TextLayout embedded = lay(f, false);
    ASSERT_EQ(embedded.glyphs.size(), 2u);
    EXPECT_FLOAT_EQ(embedded.glyphs[1].x - embedded.glyphs[0].x, 82 - 100) << "embedded outlines take any spacing";
}

TEST(TextMeasure, TextHeightCountsTheLeadingBetweenLinesAndASingleLinesOwn) {
    swf::TextFieldInput f = fieldOf(U"a");
    f.runs[0].format.leading = 100;
    const float line = 202 + 47;  // ascent and descent, each cut to whole twips
    EXPECT_FLOAT_EQ(lay(f).textHeight, line + 100);
    f.runs[0].text = U"a\na";
    EXPECT_FLOAT_EQ(lay(f).textHeight, 2 * line + 100) << "no leading after the last of several lines";
    f.autoSize = swf::AutoSize::Left;
    EXPECT_EQ(lay(f).bounds.yMax, int(2 * line + 100 + 80)) << "autoSize adds the gutters";
}

TEST(TextMeasure, AnEmptyFieldMeasuresNothing) {
    swf::TextFieldInput f = fieldOf(U"");
    f.autoSize = swf::AutoSize::Left;
    swf::TextLayout l = lay(f);
    EXPECT_FLOAT_EQ(l.textHeight, 0);
    EXPECT_EQ(l.bounds.yMax, 80) << "the gutters alone";
}

TEST(TextMeasure, TextWidthLeavesOutMarginsIndentsAndBulletsWhichAutoSizeMakesRoomFor) {
    swf::TextFieldInput f = fieldOf(U"aa");
    swf::TextFormat& p = f.runs[0].format;
    p.leftMargin = 100;
    p.rightMargin = 60;
    p.indent = 40;
    p.blockIndent = 20;
    p.bullet = true;
    f.autoSize = swf::AutoSize::Left;
    swf::TextLayout l = lay(f);
    EXPECT_FLOAT_EQ(l.textWidth, 2 * 82);
    EXPECT_EQ(l.bounds.xMax, 2 * 82 + 100 + 60 + 40 + 20 + 35 * 20 + 80);
    ASSERT_EQ(l.glyphs.size(), 3u) << "the bullet, then the text";
    EXPECT_FLOAT_EQ(l.glyphs[1].x, 40 + 100 + 40 + 20 + 35 * 20) << "the text starts 35 pixels in";
    EXPECT_LT(l.glyphs[0].x, l.glyphs[1].x);
}

TEST(TextMeasure, TrailingSpacesCountBeforeSwf8AndSinceOnlyOnLeftAlignedLines) {
    swf::TextFieldInput f = fieldOf(U"a  ");
    EXPECT_FLOAT_EQ(lay(f).textWidth, 82 + 2 * 65) << "left-aligned";
    f.runs[0].format.align = swf::TextAlign::Right;
    EXPECT_FLOAT_EQ(lay(f).textWidth, 82) << "right-aligned, SWF 8";
    f.measureTrailingSpaces = true;
    EXPECT_FLOAT_EQ(lay(f).textWidth, 82 + 2 * 65) << "right-aligned, SWF 7";
}

TEST(TextMeasure, TabsMoveToTheNextMultipleOfTwoPointSevenEm) {
    const float stop = 250 * 2.7f;
    swf::TextLayout l = lay(fieldOf(U"a\ta\taaaaaaaaa\ta"));
    ASSERT_EQ(l.glyphs.size(), 12u) << "a tab draws nothing";
    EXPECT_FLOAT_EQ(l.glyphs[1].x, 40 + stop);
    EXPECT_FLOAT_EQ(l.glyphs[2].x, 40 + 2 * stop);
    EXPECT_FLOAT_EQ(l.glyphs[11].x, 40 + 4 * stop) << "nine letters (738 twips) pass the third stop";
}

TEST(TextMeasure, TabsAfterAWrapCountFromTheNewLinesStart) {
    swf::TextFieldInput f = fieldOf(U"aaaaaaaa aaaa\ta", 80 + 800);
    f.wordWrap = true;
    swf::TextLayout l = lay(f);
    ASSERT_EQ(l.lines.size(), 2u);
    EXPECT_FLOAT_EQ(l.glyphs.back().x, 40 + 250 * 2.7f) << "the first stop of the second line";
}

}  // namespace

#include <text/field_fonts.h>

namespace {

std::shared_ptr<swf::FontCharacter> embeddedFont(const std::string& name, bool bold, float ascent) {
    auto font = std::make_shared<swf::FontCharacter>();
    font->name = name;
    font->bold = bold;
    font->glyphs.resize(1);
    font->codes = {'a'};
    font->hasLayout = true;
    font->ascent = ascent;
    return font;
}

class NoDeviceFonts : public swf::FontProvider {
public:
    std::shared_ptr<const swf::LayoutFont> open(const swf::DeviceFontRequest&) override {
        ++opened;
        return nullptr;
    }
    int opened = 0;
};

TEST(FieldFonts, EmbeddingFieldsFindFacesByNameAndStyleThenTheirOwnFont) {
    NoDeviceFonts device;
    swf::FieldFonts fonts(&device);
    fonts.addEmbedded(embeddedFont("Fine", false, 100));
    fonts.addEmbedded(embeddedFont("Fine", true, 200));
    swf::FontCharacter outlineless;
    outlineless.name = "Empty";
    fonts.addEmbedded(std::make_shared<swf::FontCharacter>(outlineless));
    auto plain = fonts.lookupFor(swf::TextFieldInput{});
    swf::TextFieldInput field;
    field.embedFonts = true;
    field.embeddedFont = embeddedFont("Own", false, 400);
    swf::FontLookup lookup = fonts.lookupFor(field);
    swf::TextFormat format;
    format.face = "FINE";
    EXPECT_EQ(lookup(format)->ascent(), 100);
    format.bold = true;
    EXPECT_EQ(lookup(format)->ascent(), 200) << "the bold face of the name";
    format.italic = true;
    EXPECT_EQ(lookup(format)->ascent(), 100) << "no bold italic: the name's first face";
    format.face = "Elsewhere";
    EXPECT_EQ(lookup(format)->ascent(), 400) << "a name no movie embeds: the field's own font";
    EXPECT_EQ(device.opened, 0);
    field.embeddedFont = nullptr;
    EXPECT_EQ(fonts.lookupFor(field)(format), nullptr) << "then nothing: no device face stands in";
    EXPECT_EQ(device.opened, 0);
    format.face = "Fine";
    EXPECT_EQ(plain(format), nullptr) << "a field that does not embed never draws embedded outlines";
    format.face = "Empty";
    field.embeddedFont = embeddedFont("Own", false, 400);
    EXPECT_EQ(fonts.lookupFor(field)(format)->ascent(), 400) << "a font without glyphs only names a device face";
}

}  // namespace

namespace {

TEST(TextMeasure, TabStopsOfTheFormatAreUsedInOrderAndTabsPastTheLastDoNothing) {
    swf::TextFieldInput f = fieldOf(U"a\ta\ta\ta");
    f.runs[0].format.tabStops = {50, 300, 400};
    swf::TextLayout l = lay(f);
    ASSERT_EQ(l.glyphs.size(), 4u);
    EXPECT_FLOAT_EQ(l.glyphs[1].x, 40 + 300) << "50 lies behind the pen at 82";
    EXPECT_FLOAT_EQ(l.glyphs[2].x, 40 + 400);
    EXPECT_FLOAT_EQ(l.glyphs[3].x, 40 + 400 + 82) << "no stop left";
}

}  // namespace
