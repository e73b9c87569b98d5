// TextField.StyleSheet: the CSS the original reads (its lax corners included), and the
// script class over it: setStyle/getStyle copies, transform's conversions, parseCSS.
#include <gtest/gtest.h>
#include <text/css_reader.h>

#include "avm1_script_test.h"

namespace {

using script_test::Lines;

// The properties of the one rule `css` gives, as "name=value" lines.
std::vector<std::string> propertiesOf(const std::string& css) {
    auto rules = swf::readCss(css);
    std::vector<std::string> out;
    if (!rules || rules->size() != 1) return {"<" + std::to_string(rules ? rules->size() : 0) + " rules>"};
    for (const auto& [name, value] : rules->front().properties) out.push_back(name + "=" + value);
    return out;
}

TEST(CssReader, SelectorListsShareOneBlockAndCommentsAreBlank) {
    auto rules = swf::readCss("/* head */ a, b /* x */ { color: red; }\nc{}");
    ASSERT_TRUE(rules);
    ASSERT_EQ(rules->size(), 3u);
    EXPECT_EQ((*rules)[0].selector, "a");
    EXPECT_EQ((*rules)[1].selector, "b");
    EXPECT_EQ((*rules)[1].properties, (*rules)[0].properties);
    EXPECT_EQ((*rules)[2].selector, "c");
    EXPECT_TRUE((*rules)[2].properties.empty());
    EXPECT_EQ(swf::readCss("{ a: b }")->front().selector, "") << "a block without a selector";
}

TEST(CssReader, NamesAndValuesKeepTheOriginalsQuirks) {
    EXPECT_EQ(propertiesOf("a { key: value \r\nkey2:v }"), (std::vector<std::string>{"key=value ", "key2=v "}))
        << "a value without ';' runs to the next line";
    EXPECT_EQ(propertiesOf("a {  property  :   test    value    ;}"), (std::vector<std::string>{"property  =test    value    "}));
    EXPECT_EQ(propertiesOf("a {;;key: value;;other: value;}"), (std::vector<std::string>{";;key=value", ";other=value"}));
    EXPECT_EQ(propertiesOf("a {name}b{:value;"), (std::vector<std::string>{"name}b{=value"}));
    EXPECT_EQ(propertiesOf("a { k: v1 : v2\n}"), (std::vector<std::string>{"k=v1 : v2"})) << "a colon in a value: the line";
    EXPECT_EQ(propertiesOf("a { key:}"), (std::vector<std::string>{"key="}));
    EXPECT_EQ(propertiesOf("a { key: v"), (std::vector<std::string>{"<0 rules>"})) << "a value cut off refuses the sheet";
    EXPECT_EQ(propertiesOf("a {"), (std::vector<std::string>{})) << "an open block at the end is closed";
}

TEST(CssReader, SpacesInsideNamesRefuseTheSheet) {
    EXPECT_FALSE(swf::readCss("a b { c: d }"));
    EXPECT_FALSE(swf::readCss("a { c d: e }"));
    EXPECT_FALSE(swf::readCss("a"));
    EXPECT_TRUE(swf::readCss(""));
}

TEST(CssReader, DashedNamesBecomeCamelCaseAndFontListsLoseLeadingSpace) {
    EXPECT_EQ(swf::camelCaseName("font-size"), "fontSize");
    EXPECT_EQ(swf::camelCaseName("-u-p"), "UP");
    EXPECT_EQ(swf::camelCaseName("two--dashes"), "two-dashes");
    EXPECT_EQ(swf::fontListOf("  Font1  ,   Font2 ,, Font3 "), "Font1  ,Font2 ,Font3 ");
    EXPECT_EQ(swf::fontListOf(" , "), "");
}

// `s = new TextField.StyleSheet()`.
const char* kNewSheet = "push \"s\", 0, \"TextField\"\ngetVariable\npush \"StyleSheet\"\nnewMethod\nsetVariable\n";

// s.<method>(args...), its result left on the stack; `args` already pushed in reverse.
std::string callSheet(const std::string& method, const std::string& pushedArgs, int count) {
    return pushedArgs + "push " + std::to_string(count) + ", \"s\"\ngetVariable\npush \"" + method + "\"\ncallMethod\n";
}

TEST(StyleSheetObject, ParseCssStoresStringStylesThatTransformTurnsIntoFormats) {
    std::string source = std::string(kNewSheet) +
                         callSheet("parseCSS", "push \"p { font-size: 14px; color: #FF0000; font-weight: bold; } .x { kerning: 2 }\"\n", 1) +
                         "trace\n" +
                         // s.getStyle("p").fontSize
                         callSheet("getStyle", "push \"p\"\n", 1) + "push \"fontSize\"\ngetMember\ntrace\n" +
                         // s._styles.p.size, .color, .bold, .display, .kerning
                         "push \"s\"\ngetVariable\npush \"_styles\"\ngetMember\npush \"p\"\ngetMember\nstore 1\npop\n"
                         "push r:1, \"size\"\ngetMember\ntrace\npush r:1, \"color\"\ngetMember\ntrace\n"
                         "push r:1, \"bold\"\ngetMember\ntrace\npush r:1, \"display\"\ngetMember\ntrace\n"
                         "push \"s\"\ngetVariable\npush \"_styles\"\ngetMember\npush \".x\"\ngetMember\npush \"kerning\"\ngetMember\ntrace\n" +
                         callSheet("getStyleNames", "", 0) + "trace\n" +
                         callSheet("parseCSS", "push \"a b { }\"\n", 1) + "trace\n" +
                         callSheet("getStyle", "push \"none\"\n", 1) + "trace\n";
    EXPECT_EQ(script_test::traces(8, source),
              (Lines{"true", "14px", "14", "16711680", "true", "block", "true", ".x,p", "false", "null"}));
}

TEST(StyleSheetObject, GetStyleGivesACopyAndTransformReadsNumbersAsParseIntDoes) {
    std::string source = std::string(kNewSheet) +
                         // o = {fontSize: "-3", marginLeft: "-7px", leading: "9.9", textAlign: "CENTER"}; s.setStyle("k", o)
                         "push \"o\", \"fontSize\", \"-3\", \"marginLeft\", \"-7px\", \"leading\", \"9.9\", \"textAlign\", \"CENTER\", 4\n"
                         "initObject\nsetVariable\n" +
                         callSheet("setStyle", "push \"o\"\ngetVariable\npush \"k\"\n", 2) + "pop\n" +
                         // the copy in _css is not o: changing o changes nothing
                         "push \"o\"\ngetVariable\npush \"fontSize\", \"99\"\nsetMember\n" +
                         callSheet("getStyle", "push \"k\"\n", 1) + "push \"fontSize\"\ngetMember\ntrace\n" +
                         "push \"s\"\ngetVariable\npush \"_styles\"\ngetMember\npush \"k\"\ngetMember\nstore 1\npop\n"
                         "push r:1, \"size\"\ngetMember\ntrace\npush r:1, \"leftMargin\"\ngetMember\ntrace\n"
                         "push r:1, \"leading\"\ngetMember\ntrace\npush r:1, \"align\"\ngetMember\ntrace\n" +
                         callSheet("transform", "push null\n", 1) + "trace\n";
    EXPECT_EQ(script_test::traces(8, source), (Lines{"-3", "null", "0", "9", "center", "null"}))
        << "a size of 0 or less is none; margins stop at 0";
}

TEST(StyleSheetObject, MethodsAreHiddenBeforeSwf7) {
    std::string source = std::string(kNewSheet) + "push \"s\"\ngetVariable\npush \"parseCSS\"\ngetMember\ntypeOf\ntrace\n";
    EXPECT_EQ(script_test::traces(6, source), (Lines{"undefined"}));
    EXPECT_EQ(script_test::traces(7, source), (Lines{"function"}));
}

}  // namespace
