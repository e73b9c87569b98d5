// TextSnapshot beyond its text: each char's place and look (getTextRunInfo), the char nearest
// a point (hitTestTextNearPos), a snapshot of no clip, and getTextSnapshot through whatever
// _global.TextSnapshot is.
#include <action_assembler.h>
#include <gtest/gtest.h>
#include <movie_writer.h>
#include <runtime/avm1/host_services.h>
#include <runtime/player.h>
#include <tags.h>

#include <memory>
#include <string>
#include <vector>

#include "avm1_script_test.h"

namespace {

using Lines = std::vector<std::string>;

// "AB" at (0, 10 px) and "CD" at (0, 25 px), 12 px high, each glyph 10 px wide, in font "f"
// (ascent 800, descent 200 of 1024); then `source` with `s` the root's snapshot.
Lines snapshotScript(const std::string& source) {
    swfw::MovieWriter m(8, 320, 240, 12);
    std::vector<swfw::FontGlyph> glyphs(4);
    for (int i = 0; i < 4; ++i) glyphs[size_t(i)].code = uint16_t('A' + i);
    m.add(swfw::defineFont2(1, "f", glyphs, 800, 200));
    swfw::TextRecord first{1, swf::Rgba{0x12, 0x34, 0x56, 255}, 0, 200, 240, {{0, 200}, {1, 200}}};
    swfw::TextRecord second{std::nullopt, std::nullopt, 0, 500, 0, {{2, 200}, {3, 200}}};
    m.add(swfw::defineText(2, 1, swf::Rect{0, 2000, 0, 2000}, swf::Matrix{}, {first, second}));
    m.add(swfw::placeObject2(swfw::Place{1, 2, false, swf::Matrix::translate(100, 0)}));
    m.add(swfw::doAction(swfw::assemble("push \"s\", 0, \"this\"\ngetVariable\npush \"getTextSnapshot\"\ncallMethod\nsetVariable\n" +
                                        source)));
    m.showFrame();
    return script_test::play(m.build(), 1)->traces();
}

// trace(s.getTextRunInfo(first, last)[index].<member>) for each member.
std::string traceRunInfo(int first, int last, int index, const std::vector<std::string>& members) {
    std::string s;
    for (const std::string& m : members)
        s += "push " + std::to_string(last) + ", " + std::to_string(first) + ", 2, \"s\"\ngetVariable\npush \"getTextRunInfo\"\n"
             "callMethod\npush " + std::to_string(index) + "\ngetMember\npush \"" + m + "\"\ngetMember\ntrace\n";
    return s;
}

TEST(TextSnapshotObject, RunInfoGivesEachCharsRunPlaceAndLook) {
    std::string source = "push 3, 1, 2, \"s\"\ngetVariable\npush \"getTextRunInfo\"\ncallMethod\npush \"length\"\ngetMember\ntrace\n" +
                         traceRunInfo(1, 3, 0, {"indexInRun", "font", "color", "height", "matrix_tx", "matrix_ty", "corner0x", "corner0y",
                                                "corner2x", "corner2y"}) +
                         traceRunInfo(1, 3, 1, {"indexInRun", "matrix_ty"}) +
                         "push true, 1, 0, 3, \"s\"\ngetVariable\npush \"setSelected\"\ncallMethod\npop\n" +
                         traceRunInfo(0, 1, 0, {"selected"}) + traceRunInfo(0, 1, 1, {"selected"});
    EXPECT_EQ(snapshotScript(source), (Lines{"3", "1", "f", "1193046", "12", "15", "10", "15", "0.625", "25", "12.34375", "0",
                                             "25", "true", "false"}))
        << "both ends included; pixels in the clip, the text placed 5 px right; the box from ascent to descent";
}

TEST(TextSnapshotObject, HitTestFindsTheNearestCharWithinTheDistance) {
    auto hit = [](const std::string& args) {
        return "push " + args + ", \"s\"\ngetVariable\npush \"hitTestTextNearPos\"\ncallMethod\ntrace\n";
    };
    std::string source = hit("5, 20, 2") + hit("0, 14, 20, 3") + hit("2, 14, 20, 3") + hit("0, 0, 0, 3");
    EXPECT_EQ(snapshotScript(source), (Lines{"1", "-1", "3", "-1"}))
        << "inside B; between the lines too far; then D is nearer than B";
}

TEST(TextSnapshotObject, ASnapshotOfNoClipAnswersUndefined) {
    std::string source =
        "push \"t\", 0, \"TextSnapshot\"\nnewObject\nsetVariable\n"
        "push 0, \"t\"\ngetVariable\npush \"getCount\"\ncallMethod\ntrace\n"
        "push 1, 0, 2, \"t\"\ngetVariable\npush \"getText\"\ncallMethod\ntrace\n"
        // _global.TextSnapshot = function (c) { trace(c); }; trace(typeof this.getTextSnapshot());
        "push \"_global\"\ngetVariable\npush \"TextSnapshot\"\nfunction (c)\npush \"c\"\ngetVariable\ntrace\nend\nsetMember\n"
        "push 0, \"this\"\ngetVariable\npush \"getTextSnapshot\"\ncallMethod\ntypeOf\ntrace\n";
    EXPECT_EQ(snapshotScript(source), (Lines{"undefined", "undefined", "_level0", "object"}))
        << "getTextSnapshot constructs whatever _global.TextSnapshot is, with the clip";
}

}  // namespace
