// Keyboard focus as scripts see it: which objects Selection.setFocus accepts, the events a
// focus change and a removal send, _focusrect per version and tabIndex's conversions.
#include <gtest/gtest.h>

#include "avm1_script_test.h"

namespace {

using script_test::Lines;

// this.createEmptyMovieClip(name, depth)
std::string newClip(const std::string& name, int depth) {
    return "push " + std::to_string(depth) + ", \"" + name + "\", 2, \"this\"\ngetVariable\npush \"createEmptyMovieClip\"\ncallMethod\npop\n";
}

// trace(Selection.setFocus(<pushed target>))
std::string setFocus(const std::string& pushTarget) {
    return pushTarget + "push 1, \"Selection\"\ngetVariable\npush \"setFocus\"\ncallMethod\ntrace\n";
}

std::string traceFocus() { return "push 0, \"Selection\"\ngetVariable\npush \"getFocus\"\ncallMethod\ntrace\n"; }

TEST(FocusScripts, AClipTakesFocusWhenFocusEnabledOrActingAsAButton) {
    std::string source = newClip("mc", 1) + setFocus("push \"mc\"\ngetVariable\n") +
                         "push \"mc\"\ngetVariable\npush \"focusEnabled\", true\nsetMember\n" + setFocus("push \"mc\"\ngetVariable\n") +
                         traceFocus() + setFocus("push null\n") +
                         "push \"mc\"\ngetVariable\npush \"focusEnabled\", false\nsetMember\n"
                         "push \"mc\"\ngetVariable\npush \"onRelease\"\nfunction ()\nend\nsetMember\n" +
                         setFocus("push \"_level0.mc\"\n") + traceFocus();
    EXPECT_EQ(script_test::traces(8, source), (Lines{"false", "true", "_level0.mc", "true", "true", "_level0.mc"}));
}

TEST(FocusScripts, RemovingTheFocusedClipTellsTheListenersWhereItWas) {
    // l.onSetFocus = function(o, n) { trace(o); trace(n); }; Selection.addListener(l)
    std::string source = newClip("mc", 1) +
                         "push \"l\", 0, \"Object\"\nnewObject\nsetVariable\n"
                         "push \"l\"\ngetVariable\npush \"onSetFocus\"\nfunction (o, n)\npush \"o\"\ngetVariable\ntrace\n"
                         "push \"n\"\ngetVariable\ntrace\nend\nsetMember\n"
                         "push \"l\"\ngetVariable\npush 1, \"Selection\"\ngetVariable\npush \"addListener\"\ncallMethod\npop\n"
                         "push \"mc\"\ngetVariable\npush \"focusEnabled\", true\nsetMember\n" +
                         setFocus("push \"mc\"\ngetVariable\n") +
                         "push 0, \"mc\"\ngetVariable\npush \"removeMovieClip\"\ncallMethod\npop\n" + traceFocus();
    EXPECT_EQ(script_test::traces(8, source), (Lines{"null", "_level0.mc", "true", "_level0.mc", "null", "null"}))
        << "the removed clip is still named when the listener hears of it";
}

TEST(FocusScripts, FocusMovedByScriptsRollsClipsOverAndOutAfterTheFrameScript) {
    auto handler = [](const char* event) {
        return std::string("push \"mc\"\ngetVariable\npush \"") + event + "\"\nfunction ()\npush \"" + event +
               "\"\ntrace\nend\nsetMember\n";
    };
    std::string source = newClip("mc", 1) + "push \"mc\"\ngetVariable\npush \"focusEnabled\", true\nsetMember\n" +
                         handler("onRollOver") + handler("onRollOut") + setFocus("push \"mc\"\ngetVariable\n") +
                         setFocus("push \"mc\"\ngetVariable\n") + setFocus("push null\n") + "push \"end\"\ntrace\n";
    EXPECT_EQ(script_test::traces(8, source),
              (Lines{"true", "true", "true", "end", "onRollOver", "onRollOut", "onRollOver", "onRollOut"}))
        << "focusing the focused clip again rolls it out and over";
}

TEST(FocusScripts, AFieldTakingFocusReadsNoSelectionInTheListeners) {
    // tf.text = "abc"; focus it, select 1..2, unfocus; a listener reads getBeginIndex as it
    // takes focus again.
    std::string source =
        "push 20, 100, 0, 0, 2, \"tf\", 6, \"this\"\ngetVariable\npush \"createTextField\"\ncallMethod\npop\n"
        "push \"tf\"\ngetVariable\npush \"text\", \"abc\"\nsetMember\n" +
        setFocus("push \"tf\"\ngetVariable\n") +
        "push 2, 1, 2, \"Selection\"\ngetVariable\npush \"setSelection\"\ncallMethod\npop\n"
        "push 0, \"Selection\"\ngetVariable\npush \"getBeginIndex\"\ncallMethod\ntrace\n" +
        setFocus("push null\n") +
        "push \"l\", 0, \"Object\"\nnewObject\nsetVariable\n"
        "push \"l\"\ngetVariable\npush \"onSetFocus\"\nfunction ()\n"
        "push 0, \"Selection\"\ngetVariable\npush \"getBeginIndex\"\ncallMethod\ntrace\nend\nsetMember\n"
        "push \"l\"\ngetVariable\npush 1, \"Selection\"\ngetVariable\npush \"addListener\"\ncallMethod\npop\n" +
        setFocus("push \"tf\"\ngetVariable\n");
    EXPECT_EQ(script_test::traces(8, source), (Lines{"true", "1", "true", "-1", "true"}));
}

// trace(<object>._focusrect) for the root and a clip after `assign`.
Lines focusRects(int version, const std::string& assign) {
    std::string source = newClip("mc", 1) + assign +
                         "push \"_root\"\ngetVariable\npush \"_focusrect\"\ngetMember\ntrace\n"
                         "push \"mc\"\ngetVariable\npush \"_focusrect\"\ngetMember\ntrace\n";
    return script_test::traces(version, source);
}

TEST(FocusScripts, FocusRectIsTheStagesBeforeSwf6AndEachObjectsOwnAfter) {
    EXPECT_EQ(focusRects(6, ""), (Lines{"true", "null"})) << "a clip's own is null until set";
    EXPECT_EQ(focusRects(5, ""), (Lines{"1", "1"})) << "SWF 5 reads the stage's as a number";
    EXPECT_EQ(focusRects(5, "push \"mc\"\ngetVariable\npush \"_focusrect\", 0\nsetMember\n"), (Lines{"0", "0"}));
    EXPECT_EQ(focusRects(7, "push \"mc\"\ngetVariable\npush \"_focusrect\", \"x\"\nsetMember\n"), (Lines{"true", "true"}))
        << "a clip's own takes a boolean";
    EXPECT_EQ(focusRects(6, "push \"mc\"\ngetVariable\npush \"_focusrect\", \"x\"\nsetMember\n"), (Lines{"true", "false"}))
        << "as SWF 6 converts it";
    EXPECT_EQ(focusRects(6, "push \"_root\"\ngetVariable\npush \"_focusrect\", \"x\"\nsetMember\n"), (Lines{"true", "null"}))
        << "the stage's: NaN is not 0";
    EXPECT_EQ(focusRects(6, "push \"_root\"\ngetVariable\npush \"_focusrect\", 0, \"Object\"\nnewObject\nsetMember\n"),
              (Lines{"false", "null"}))
        << "an object turns the stage's off";
    EXPECT_EQ(focusRects(6, "push \"_root\"\ngetVariable\npush \"_focusrect\", false\nsetMember\n"
                            "push \"_root\"\ngetVariable\npush \"_focusrect\", null\nsetMember\n"),
              (Lines{"false", "null"}))
        << "null leaves the stage's";
}

TEST(FocusScripts, FocusRectTakesTheValueItselfThroughSetPropertyAndAnyCaseOnFields) {
    // setProperty("", _focusrect, new Object()) turns the stage's off.
    EXPECT_EQ(focusRects(6, "push \"\", 17, 0, \"Object\"\nnewObject\nsetProperty\n"), (Lines{"false", "null"}));
    // tf._FOCUSRECT = false in a SWF 7 movie is the field's _focusrect.
    std::string source = "push 20, 100, 0, 0, 2, \"tf\", 6, \"this\"\ngetVariable\npush \"createTextField\"\ncallMethod\npop\n"
                         "push \"tf\"\ngetVariable\npush \"_FOCUSRECT\", false\nsetMember\n"
                         "push \"tf\"\ngetVariable\npush \"_focusrect\"\ngetMember\ntrace\n";
    EXPECT_EQ(script_test::traces(7, source), (Lines{"false"}));
}

// obj.tabIndex = <value>; trace(obj.tabIndex) for a clip and a text field.
Lines tabIndexes(const std::string& pushValue) {
    std::string source = newClip("mc", 1) +
                         "push 20, 100, 0, 0, 2, \"tf\", 6, \"this\"\ngetVariable\npush \"createTextField\"\ncallMethod\npop\n"
                         "push \"mc\"\ngetVariable\npush \"tabIndex\"\n" + pushValue + "setMember\n"
                         "push \"tf\"\ngetVariable\npush \"tabIndex\"\n" + pushValue + "setMember\n"
                         "push \"mc\"\ngetVariable\npush \"tabIndex\"\ngetMember\ntrace\n"
                         "push \"tf\"\ngetVariable\npush \"tabIndex\"\ngetMember\ntrace\n";
    return script_test::traces(8, source);
}

TEST(FocusScripts, TabIndexIsAnIntegerOnClipsAndUnsignedOnFields) {
    EXPECT_EQ(tabIndexes("push -4\n"), (Lines{"-4", "4294967292"}));
    EXPECT_EQ(tabIndexes("push \"x\"\n"), (Lines{"-2147483648", "0"}));
    EXPECT_EQ(tabIndexes("push 2147483648\n"), (Lines{"-2147483648", "2147483648"}));
    EXPECT_EQ(tabIndexes("push 1.9\n"), (Lines{"1", "1"}));
    EXPECT_EQ(tabIndexes("push undefined\n"), (Lines{"undefined", "undefined"}));
}

TEST(FocusScripts, AClipsTabIndexIsHiddenFromForIn) {
    // mc.tabIndex = 3; for (k in mc) trace(k);
    std::string source = newClip("mc", 1) + "push \"mc\"\ngetVariable\npush \"tabIndex\", 3\nsetMember\n"
                         "push \"mc\"\ngetVariable\nenumerate2\nloop:\nstore 0\npush null\nequals2\nif done\n"
                         "push r:0\ntrace\njump loop\ndone:\n";
    EXPECT_EQ(script_test::traces(8, source), (Lines{}));
}

}  // namespace
