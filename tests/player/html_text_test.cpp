// The HTML subset of text fields: which tag changes which member of the format, and what
// happens to markup the original tolerates.
#include <gtest/gtest.h>
#include <text/html_text.h>

namespace {

swf::TextFormat base() {
    swf::TextFormat f;
    f.face = "_sans";
    f.size = 240;
    return f;
}

TEST(HtmlText, TagsChangeTheFormatOfWhatTheyEncloseOnly) {
    auto runs = swf::parseHtmlText("a<b>b<i>c</i></b><u>d</u><font face=\"_serif\" size=\"+2\" color=\"#FF8000\">e</font>f",
                                   base());
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[0].text, U"a");
    EXPECT_FALSE(runs[0].format.bold);
    EXPECT_TRUE(runs[1].format.bold);
    EXPECT_FALSE(runs[1].format.italic);
    EXPECT_TRUE(runs[2].format.bold && runs[2].format.italic);
    EXPECT_TRUE(runs[3].format.underline && !runs[3].format.bold);
    EXPECT_EQ(runs[4].format.face, "_serif");
    EXPECT_FLOAT_EQ(runs[4].format.size, 240 + 40) << "+2 points on the size in force";
    EXPECT_EQ(runs[4].format.color, (swf::Rgba{255, 128, 0, 255}));
    EXPECT_EQ(runs[5].format.face, "_sans") << "</font> restores the face";
    EXPECT_FLOAT_EQ(runs[5].format.size, 240);
}

TEST(HtmlText, ParagraphsListItemsAndTextformatSetParagraphMembers) {
    auto runs = swf::parseHtmlText(
        "<p align=\"right\">r</p><li>item</li><textformat leftmargin=\"5\" indent=\"-3\" blockindent=\"7\" "
        "leading=\"2\" rightmargin=\"4\"><P ALIGN=CENTER>t</P></textformat>",
        base());
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].text, U"r\n");
    EXPECT_EQ(runs[0].format.align, swf::TextAlign::Right);
    EXPECT_EQ(runs[1].text, U"item\n");
    EXPECT_TRUE(runs[1].format.bullet);
    const swf::TextFormat& t = runs[2].format;
    EXPECT_EQ(runs[2].text, U"t\n") << "the last paragraph's break stays";
    EXPECT_EQ(t.align, swf::TextAlign::Center) << "tag and attribute names in any case";
    EXPECT_FLOAT_EQ(t.leftMargin, 100);
    EXPECT_FLOAT_EQ(t.rightMargin, 80);
    EXPECT_FLOAT_EQ(t.indent, -60);
    EXPECT_FLOAT_EQ(t.blockIndent, 140);
    EXPECT_FLOAT_EQ(t.leading, 40);
    EXPECT_FALSE(t.bullet);
}

TEST(HtmlText, BreaksEntitiesAndLineEndings) {
    auto text = [](const char* html) { return swf::plainText(swf::parseHtmlText(html, base())); };
    EXPECT_EQ(text("a<br>b<BR/>c"), U"a\nb\nc");
    EXPECT_EQ(text("a\r\nb\rc"), U"a\nb\nc") << "line breaks of the markup are kept, \\r\\n as one";
    EXPECT_EQ(text("&#65;&#x42;&nbsp;&quot;&apos;"), U"AB\u00a0\"'");
    EXPECT_EQ(text("&#0; &#x110000; &unknown; & alone"), U"&#0; &#x110000; &unknown; & alone");
    EXPECT_EQ(text("x<p>y</p>"), U"xy\n") << "only a closing paragraph breaks the line";
    EXPECT_EQ(swf::plainText(swf::parseHtmlText("x<p>y</p>z", base(), swf::HtmlRules{false, false, 8})), U"xyz") << "and only in multiline fields";
    EXPECT_EQ(swf::plainText(swf::parseHtmlText(" a \n\n b ", base(), swf::HtmlRules{true, true, 8})), U"a b ") << "condenseWhite";
    EXPECT_EQ(text("caf\xc3\xa9"), U"caf\u00e9");
}

TEST(HtmlText, ColoursReadTheirLastSixHexDigitsAfterTheHash) {
    auto colorOf = [](const std::string& value) {
        auto runs = swf::parseHtmlText("<font color=\"" + value + "\">x</font>", base());
        return runs.empty() ? swf::Rgba{} : runs[0].format.color;
    };
    EXPECT_EQ(colorOf("#2345678"), (swf::Rgba{0x34, 0x56, 0x78, 255}));
    EXPECT_EQ(colorOf("#2g"), (swf::Rgba{0, 0, 2, 255})) << "digits up to the first other character";
    EXPECT_EQ(colorOf("202020"), base().color) << "no '#': ignored";
    EXPECT_EQ(colorOf("#g10"), base().color) << "no digit: ignored";
    EXPECT_EQ(colorOf("#  \t234567"), (swf::Rgba{0x23, 0x45, 0x67, 255})) << "white space after the hash is skipped";
    EXPECT_EQ(colorOf("#2 34567"), (swf::Rgba{0, 0, 2, 255})) << "but ends the digits";
    EXPECT_EQ(colorOf(" #234567"), base().color) << "the hash comes first";
}

TEST(HtmlText, CondensedWhiteSpaceIsOneSpaceAcrossTagsAndNoneAtALineStart) {
    auto condensed = [](const std::string& html, bool multiline) {
        return swf::plainText(swf::parseHtmlText(html, base(), swf::HtmlRules{multiline, true, 8}));
    };
    EXPECT_EQ(condensed("\n \tasdf \t  \n", false), U"asdf ");
    EXPECT_EQ(condensed("t\ne s\tt </p> \n", false), U"t e s t ") << "a run through a tag is one space";
    EXPECT_EQ(condensed("<p> test </p> <p>x</p>", true), U"test \nx\n") << "nothing at the start of a paragraph";
    EXPECT_EQ(condensed("a<br> b", true), U"a\nb") << "a break stays a break";
    EXPECT_EQ(condensed("a \x01 b", false), U"a \x01 b") << "control characters are no white space";
    EXPECT_EQ(condensed("<b> </b>", false), U"");
    auto condensed7 = [](const std::string& html) {
        return swf::plainText(swf::parseHtmlText(html, base(), swf::HtmlRules{false, true, 7}));
    };
    EXPECT_EQ(condensed7(" <b> test1 </b> <b> test2 </b> "), U" test1  test2 ")
        << "before SWF 8 each text between tags is condensed alone, and may begin with a space";
}

TEST(HtmlText, AParagraphBreakTakesTheFormatOfItsLineLastCharacter) {
    auto runs = swf::parseHtmlText("<p><font kerning=\"1\">a</font></p><p></p>", base());
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, U"a\n");
    EXPECT_TRUE(runs[0].format.kerning) << "the break after the kerned text is kerned too";
    EXPECT_EQ(runs[1].text, U"\n");
    EXPECT_FALSE(runs[1].format.kerning) << "an empty paragraph's break has the format in force";
    runs = swf::parseHtmlText("<p><font color=\"#111111\"></font></p>", base());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].format.color, (swf::Rgba{0x11, 0x11, 0x11, 255})) << "or of the tag opened last on a line without text";
    runs = swf::parseHtmlText("<li>a<b></b></li>", base());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_FALSE(runs[0].format.bold) << "a tag opened after the text does not count";
}

TEST(HtmlText, AListItemBeginsALineOfItsOwnInMultilineFields) {
    auto text = [](const std::string& html, bool multiline) {
        return swf::plainText(swf::parseHtmlText(html, base(), swf::HtmlRules{multiline, false, 8}));
    };
    EXPECT_EQ(text(" <li>a</li> <li>b</li> ", true), U" \na\n \nb\n ");
    EXPECT_EQ(text("<li>a</li>", true), U"a\n") << "no empty line before the first";
    EXPECT_EQ(text("x<li>a</li>", false), U"xa");
}

TEST(HtmlText, MalformedMarkupIsTolerated) {
    auto text = [](const std::string& html) { return swf::plainText(swf::parseHtmlText(html, base())); };
    EXPECT_EQ(text("a</b></font>b<unknown attr=1>c</unknown>"), U"abc") << "stray closers and unknown tags";
    EXPECT_EQ(text("a<font color=\"#zz\" size=\"x\">b"), U"ab");
    EXPECT_EQ(text("<font face='x>y"), U"y") << "a tag ends at its first '>', even inside an open quote";
    EXPECT_EQ(text("a<font"), U"a") << "an unclosed '<' ends the text";
    std::string deep;
    for (int i = 0; i < 1000; ++i) deep += "<b><i>";
    EXPECT_EQ(text(deep + "z"), U"z");
    auto runs = swf::parseHtmlText("<font color=\"#ff0000\" size=\"100000\">x</font>", base());
    EXPECT_LE(runs[0].format.size, 127 * 20 * 10) << "sizes are capped";
}

TEST(HtmlText, ParagraphsInsideAParagraphAreOneEndedByTheFirstClose) {
    auto text = [](const char* html) { return swf::plainText(swf::parseHtmlText(html, base())); };
    EXPECT_EQ(text("<p>a<p>b</p></p>"), U"ab\n");
    EXPECT_EQ(text("<p>a<p>b<p>c</p>d</p>e</p>"), U"abc\nde") << "later closes end no paragraph";
    EXPECT_EQ(text("<p>a<p>b</p></p><p>c</p>"), U"ab\nc\n") << "a new paragraph after them breaks again";
    EXPECT_EQ(text("<p><p><li>x</li></p></p>"), U"x\n\n") << "a list item inside keeps its own break";
    EXPECT_EQ(text("text<li><li></li></li>"), U"text\n\n\n") << "list items inside list items each break";
}

TEST(HtmlText, FontSizesAreWholePointsFromOneTo127) {
    auto size = [](const char* html) { return swf::parseHtmlText(html, base()).back().format.size; };
    EXPECT_FLOAT_EQ(size("<font size=\"1.9\">x</font>"), 20) << "the digits before the point";
    EXPECT_FLOAT_EQ(size("<font size=\"14\">a<font size=\"+0.2\">x</font></font>"), 280) << "+0 points";
    EXPECT_FLOAT_EQ(size("<font size=\"14\">a<font size=\"-3\">x</font></font>"), 220);
    EXPECT_FLOAT_EQ(size("<font size=\"256\">x</font>"), 127 * 20);
    EXPECT_FLOAT_EQ(size("<font size=\"0\">x</font>"), 20);
    EXPECT_FLOAT_EQ(size("<font size=\"+\">x</font>"), 240) << "no digits keep the size in force";
}

TEST(HtmlText, AnEmptyParagraphBreaksInTheFieldsFontWithoutStyles) {
    auto breakOf = [](const char* html) { return swf::parseHtmlText(html, base()).back(); };
    swf::StyledRun r = breakOf("<b><p align=\"right\"></p></b>");
    EXPECT_EQ(r.text, U"\n");
    EXPECT_FALSE(r.format.bold) << "the enclosing <b> does not reach an empty paragraph";
    EXPECT_EQ(r.format.align, swf::TextAlign::Right) << "its paragraph members do";
    EXPECT_TRUE(breakOf("<a href=\"x\"><p></p></a>").format.url.empty());
    r = breakOf("<font color=\"#010101\"><p><li></li></p></font>");
    EXPECT_EQ(r.format.color, (swf::Rgba{0, 0, 0, 255})) << "an enclosing <font> neither";
}

TEST(HtmlText, AnEmptyFontElementGivesItsFontToTheParagraphBreaksAfterIt) {
    auto runs = swf::parseHtmlText("<p>a<font color=\"#121212\"></font>b</p><font color=\"#131313\"><p>c</p></font>", base());
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, U"ab");
    EXPECT_EQ(runs[1].text, U"\n");
    EXPECT_EQ(runs[1].format.color, (swf::Rgba{0x12, 0x12, 0x12, 255}));
    EXPECT_EQ(runs[2].text, U"c");
    EXPECT_EQ(runs[3].format.color, (swf::Rgba{0x12, 0x12, 0x12, 255})) << "it lasts past the paragraph";
    runs = swf::parseHtmlText("<p>a<font color=\"#131313\"><font color=\"#141414\"></font></font></p>", base());
    EXPECT_EQ(runs.back().format.color, (swf::Rgba{0x13, 0x13, 0x13, 255})) << "the one closed last";
    runs = swf::parseHtmlText("<p>a<b></b></p>", base());
    EXPECT_FALSE(runs.back().format.bold) << "other empty elements give nothing";
}

TEST(HtmlText, AListItemBreaksInTheFormatInForce) {
    auto runs = swf::parseHtmlText("<li><font color=\"#010101\">a</font></li>", base());
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].text, U"\n");
    EXPECT_EQ(runs[1].format.color, (swf::Rgba{0, 0, 0, 255}));
    EXPECT_TRUE(runs[1].format.bullet);
    runs = swf::parseHtmlText("x<li><br><textformat leftmargin=\"2\"></textformat></li>", base());
    EXPECT_FLOAT_EQ(runs.back().format.leftMargin, 0) << "a tag closed before it does not count";
}

TEST(HtmlText, TextformatReadsTabStops) {
    auto stops = [](const char* value) {
        std::string html = std::string("<textformat tabstops=\"") + value + "\">x</textformat>";
        return swf::parseHtmlText(html, base()).front().format.tabStops;
    };
    EXPECT_EQ(stops("1,2, 30"), (std::vector<float>{20, 40, 600}));
    EXPECT_EQ(stops("5,x,7"), (std::vector<float>{100})) << "what is not a number ends the list";
    EXPECT_TRUE(stops("").empty());
    std::string many;
    for (int i = 0; i < 1000; ++i) many += "1,";
    EXPECT_LE(stops(many.c_str()).size(), 64u) << "the list is capped";
}

TEST(HtmlText, OnlyTheInnermostOpenTagCloses) {
    auto runs = swf::parseHtmlText("<b>a<i>b</b>c</i>d</b>e", base());
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[1].text, U"bc") << "</b> inside <i> is ignored";
    EXPECT_TRUE(runs[1].format.bold && runs[1].format.italic);
    EXPECT_EQ(runs[2].text, U"d");
    EXPECT_TRUE(runs[2].format.bold && !runs[2].format.italic);
    EXPECT_EQ(runs[3].text, U"e");
    EXPECT_FALSE(runs[3].format.bold);
}

}  // namespace
