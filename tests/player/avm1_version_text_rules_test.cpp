// Version rules of values and names (SWF 4 scripts, SWF 5 text and equality, the case table),
// paths, and the library's text helpers, on assembled scripts in writer-made movies.
#include <gtest/gtest.h>

#include "avm1_script_test.h"

namespace {

using script_test::Lines;
using script_test::runFrames;
using script_test::traces;

TEST(Avm1Swf4Rules, TimelineScriptsSeeNoGlobalsFunctionsRunBySwfFiveRules) {
    // Outside a function NaN and _global are undefined variables (0 in a comparison), true
    // prints 1 and 4 / 0 is "#ERROR#"; inside a function the same actions follow SWF 5.
    const char* src = R"(
        push "NaN"
        getVariable
        push 0
        equals
        trace
        push "_global"
        getVariable
        typeOf
        trace
        push 4, 0
        divide
        trace
        function f()
          push 1, 1
          equals2
          trace
          push 4, 0
          divide
          trace
          push "_global"
          getVariable
          typeOf
          trace
        end
        push 0, "f"
        callFunction
        pop
        push 1, 1
        equals2
        trace
    )";
    EXPECT_EQ(traces(4, src), (Lines{"1", "undefined", "#ERROR#", "true", "Infinity", "object", "1"}));
}

TEST(Avm1Swf4Rules, StringExtractConvertsItsOperandsAsTheyArePopped) {
    // Objects whose valueOf / toString trace their names: count, index, then the text.
    const char* src = R"(
        function tracer(label, value)
          push "o", 0
          initObject
          defineLocal
          push "o"
          getVariable
          push "valueOf"
          function ()
            push "label"
            getVariable
            push ".valueOf"
            add2
            trace
            push "value"
            getVariable
            return
          end
          setMember
          push "o"
          getVariable
          push "toString"
          function ()
            push "label"
            getVariable
            push ".toString"
            add2
            trace
            push "abcdef"
            return
          end
          setMember
          push "o"
          getVariable
          return
        end
        push 0, "text", 2, "tracer"
        callFunction
        push 2, "index", 2, "tracer"
        callFunction
        push 3, "count", 2, "tracer"
        callFunction
        stringExtract
        trace
    )";
    EXPECT_EQ(traces(6, src), (Lines{"count.valueOf", "index.valueOf", "text.toString", "bcd"}));
}

TEST(Avm1Swf4Rules, CallRunsAnotherFramesScriptAtOnce) {
    // call("2") runs frame 2's script between "before" and "after" without moving the
    // playhead; a frame the clip does not have runs nothing.
    const char* frame1 = R"(
        push "before"
        trace
        push "2"
        call
        push "9"
        call
        push "after"
        trace
        push "_currentframe"
        getVariable
        trace
    )";
    auto run = runFrames(4, {frame1, "push \"in frame 2\"\ntrace\n"}, 1);
    EXPECT_EQ(run->traces(), (Lines{"before", "in frame 2", "after", "1"}));
}

TEST(Avm1Swf5Rules, EqualityOfTwoObjectsComparesTheirValuesInSwfFiveOnly) {
    // new Number(1) == new Number(1); o == o; {} == {}
    const char* src = R"(
        push 1, 1, "Number"
        newObject
        push 1, 1, "Number"
        newObject
        equals2
        trace
        push "o", 0
        initObject
        defineLocal
        push "o"
        getVariable
        push "o"
        getVariable
        equals2
        trace
        push 0
        initObject
        push 0
        initObject
        equals2
        trace
    )";
    EXPECT_EQ(traces(5, src), (Lines{"true", "true", "false"}));
    EXPECT_EQ(traces(6, src), (Lines{"false", "true", "false"}));
}

TEST(Avm1Swf5Rules, OneByteTextTracesAsUtf8AndCountsBytes) {
    // A SWF 5 movie stores "Å" as the one byte 0xC5; charCodeAt past the end reads 0 there.
    const std::string src = "push \"s\", \"test\xC5test\"\n"
                            "defineLocal\n"
                            "push \"s\"\n"
                            "getVariable\n"
                            "trace\n"
                            "push \"s\"\n"
                            "getVariable\n"
                            "push \"length\"\n"
                            "getMember\n"
                            "trace\n"
                            "push 9, 1, \"s\"\n"
                            "getVariable\n"
                            "push \"charCodeAt\"\n"
                            "callMethod\n"
                            "trace\n"
                            "push -1, 1, \"s\"\n"
                            "getVariable\n"
                            "push \"charCodeAt\"\n"
                            "callMethod\n"
                            "trace\n";
    EXPECT_EQ(traces(5, src), (Lines{"test\xC3\x85test", "9", "0", "NaN"}));
    const char* swf6 = R"(
        push 3, 1, "abc", 1, "String"
        newObject
        push "charCodeAt"
        callMethod
        trace
    )";
    EXPECT_EQ(traces(6, swf6), (Lines{"NaN"}));
}

// s.toUpperCase() and s.toLowerCase() of one string, each traced.
std::string caseScript(const std::string& text) {
    return "push 0, \"" + text + "\"\npush \"toUpperCase\"\ncallMethod\ntrace\n"
           "push 0, \"" + text + "\"\npush \"toLowerCase\"\ncallMethod\ntrace\n";
}

TEST(Avm1CaseTable, CaseFollowsThePlayersOwnTable) {
    // ÿ uppers to Ÿ; ı and ſ upper to I and S; İ lowers to a plain i; Georgian capitals lower
    // to the Mkhedruli letters; ǅ uppers to Ǆ and lowers to ǆ; ß, Ⱥ and fullwidth a..z past
    // the table's Latin letters: ß and Ⱥ stay, ｚ uppers to Ｚ.
    EXPECT_EQ(traces(6, caseScript("\xC3\xBF")), (Lines{"\xC5\xB8", "\xC3\xBF"}));
    EXPECT_EQ(traces(6, caseScript("\xC4\xB1\xC5\xBF")), (Lines{"IS", "\xC4\xB1\xC5\xBF"}));
    EXPECT_EQ(traces(6, caseScript("\xC4\xB0")), (Lines{"\xC4\xB0", "i"}));
    EXPECT_EQ(traces(6, caseScript("\xE1\x82\xA0")), (Lines{"\xE1\x82\xA0", "\xE1\x83\x90"}));
    EXPECT_EQ(traces(6, caseScript("\xC7\x85")), (Lines{"\xC7\x84", "\xC7\x86"}));
    EXPECT_EQ(traces(6, caseScript("\xC3\x9F\xC8\xBA")), (Lines{"\xC3\x9F\xC8\xBA", "\xC3\x9F\xC8\xBA"}));
    EXPECT_EQ(traces(6, caseScript("\xEF\xBD\x9A")), (Lines{"\xEF\xBC\xBA", "\xEF\xBD\x9A"}));
}

TEST(Avm1CaseTable, NamesBeforeSwfSevenIgnoreCaseByTheSameTable) {
    // this["Ä"] = "a-umlaut"; this["Ǳ"] = "dz"; then read as "ä", "ǲ" and "ǳ".
    const std::string src = "push \"this\"\ngetVariable\npush \"\xC3\x84\", \"a-umlaut\"\nsetMember\n"
                            "push \"this\"\ngetVariable\npush \"\xC7\xB1\", \"dz\"\nsetMember\n"
                            "push \"this\"\ngetVariable\npush \"\xC3\xA4\"\ngetMember\ntrace\n"
                            "push \"this\"\ngetVariable\npush \"\xC7\xB2\"\ngetMember\ntrace\n"
                            "push \"this\"\ngetVariable\npush \"\xC7\xB3\"\ngetMember\ntrace\n";
    EXPECT_EQ(traces(6, src), (Lines{"a-umlaut", "dz", "dz"}));
    EXPECT_EQ(traces(7, src), (Lines{"undefined", "undefined", "undefined"}));
}

TEST(Avm1Paths, SlashPathsStopSplittingAtDotsAndRefuseEmptyNames) {
    // clip1.clip2 made by createEmptyMovieClip, clip2.v = "value"; then the same variable by
    // several paths. Display properties ignore case in SWF 7 as well.
    const char* src = R"(
        push "clip1", 1, "clip1", 2, "this"
        getVariable
        push "createEmptyMovieClip"
        callMethod
        defineLocal
        push 1, "clip2", 2, "clip1"
        getVariable
        push "createEmptyMovieClip"
        callMethod
        push "v", "value"
        setMember
        push "clip1/clip2:v"
        getVariable
        trace
        push "clip1.clip2:v"
        getVariable
        trace
        push "clip1/clip2/:v"
        getVariable
        trace
        push "clip1//clip2:v"
        getVariable
        trace
        push "clip1/"
        setTarget2
        push "_name"
        getVariable
        trace
        push ""
        setTarget2
        push "/clip1/clip2.v:_name"
        getVariable
        trace
        push "/clip1/clip2:_name"
        getVariable
        trace
        push "clip1"
        getVariable
        push "_X"
        getMember
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"value", "value", "value", "undefined", "clip1", "undefined", "clip2", "0"}));
}

TEST(Avm1Paths, ARemovedClipIsDeadToScriptsAndItsScopeGivesWayToTheRoot) {
    // c.v = "clip's", _root.v = "root's"; inside tellTarget("c") the clip is removed: "v" then
    // reads the root's, and the old reference converts to "" with no _x.
    const char* src = R"(
        push "v", "root's"
        setVariable
        push "c", 1, "c", 2, "this"
        getVariable
        push "createEmptyMovieClip"
        callMethod
        defineLocal
        push "c"
        getVariable
        push "v", "clip's"
        setMember
        setTarget "c"
        push "v"
        getVariable
        trace
        push "/c"
        removeSprite
        push "v"
        getVariable
        trace
        setTarget ""
        push "[", "c"
        getVariable
        add2
        push "]"
        add2
        trace
        push "c"
        getVariable
        push "_x"
        getMember
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"clip's", "root's", "[]", "undefined"}));
}

TEST(Avm1Paths, ATellTargetThatNamesNoClipLeavesNoCurrentTarget) {
    // getProperty("", _name) reads the current target: the root's "" normally, nothing under
    // tellTarget("nowhere"), the root's again once the tellTarget ends.
    const char* src = R"(
        push "[", "", 13
        getProperty
        add2
        push "]"
        add2
        trace
        setTarget "nowhere"
        push "", 13
        getProperty
        trace
        setTarget ""
        push "", 13
        getProperty
        trace
        setTarget "this/"
        push "", 13
        getProperty
        trace
        setTarget ""
    )";
    // Target paths know no "this" ("this/" names nothing there).
    EXPECT_EQ(traces(6, src), (Lines{"[]", "undefined", "", "undefined"}));
}

TEST(Avm1ArrayRules, IndexNamesWrapDigitByDigit) {
    // a["302231454903657293676544"] (2^78) is a[0]; 2^78 + 2^31 - 1 is a[2147483647].
    const char* src = R"(
        push "a", 0
        initArray
        defineLocal
        push "a"
        getVariable
        push "302231454903657293676544", "x"
        setMember
        push "a"
        getVariable
        push "length"
        getMember
        trace
        push "a"
        getVariable
        push "302231454903659441160191", "y"
        setMember
        push "a"
        getVariable
        push "length"
        getMember
        trace
    )";
    EXPECT_EQ(traces(7, src), (Lines{"1", "-2147483648"}));
}

// new XML(text) into variable x.
std::string xmlScript(const std::string& text, const std::string& rest) {
    return "push \"x\", \"" + text + "\", 1, \"XML\"\nnewObject\ndefineLocal\n" + rest;
}

TEST(Avm1Xml, ChildNodesIsRewrittenOnEveryChangeAndNodesMove) {
    // list = r.childNodes; list.push(extra) shows until a change rewrites the array. Appending
    // a node to its own parent changes nothing; appending it elsewhere moves it.
    const std::string src = xmlScript("<r><a/><b/></r>", R"(
        push "list", "x"
        getVariable
        push "firstChild"
        getMember
        push "childNodes"
        getMember
        defineLocal
        push "extra", 1, "x"
        getVariable
        push "createElement"
        callMethod
        push 1, "list"
        getVariable
        push "push"
        callMethod
        pop
        push "list"
        getVariable
        trace
        push "x"
        getVariable
        push "firstChild"
        getMember
        push "firstChild"
        getMember
        push 1, "x"
        getVariable
        push "firstChild"
        getMember
        push "appendChild"
        callMethod
        pop
        push "list"
        getVariable
        trace
        push "x"
        getVariable
        push "firstChild"
        getMember
        push "firstChild"
        getMember
        push 1, "x"
        getVariable
        push "appendChild"
        callMethod
        pop
        push "list"
        getVariable
        trace
        push "x"
        getVariable
        trace
    )");
    EXPECT_EQ(traces(8, src),
              (Lines{"<a />,<b />,<extra />", "<a />,<b />,<extra />", "<b />", "<r><b /></r><a />"}));
}

TEST(Avm1Xml, DocumentNamesIdMapAndReplacedNodePrototype) {
    // nodeName = "doc" then = undefined (kept); idMap lists parsed ids; nodes parsed after
    // XMLNode.prototype was replaced take the new prototype.
    const std::string src = xmlScript("<a id='one'><b id='two'/></a>", R"(
        push "x"
        getVariable
        push "nodeName", "doc"
        setMember
        push "x"
        getVariable
        push "nodeName", undefined
        setMember
        push "x"
        getVariable
        trace
        push "x"
        getVariable
        push "idMap"
        getMember
        push "two"
        getMember
        push "nodeName"
        getMember
        trace
        push "XMLNode"
        getVariable
        push "prototype", "marked", "yes", 1
        initObject
        setMember
        push "y", "<c/>", 1, "XML"
        newObject
        defineLocal
        push "y"
        getVariable
        push "firstChild"
        getMember
        push "marked"
        getMember
        trace
    )");
    EXPECT_EQ(traces(8, src), (Lines{"<doc><a id=\"one\"><b id=\"two\" /></a></doc>", "b", "yes"}));
}

// flash.external.ExternalInterface.<method>(argument) traced, for a pushed argument.
std::string externalCall(const std::string& pushArgument, const std::string& method) {
    return pushArgument + "\npush 1, \"flash\"\ngetVariable\npush \"external\"\ngetMember\n"
                          "push \"ExternalInterface\"\ngetMember\npush \"" + method + "\"\ncallMethod\ntrace\n";
}

TEST(Avm1ExternalInterface, XmlHelpersEscapeAndEncodeAsTheOriginal) {
    EXPECT_EQ(traces(8, externalCall("push \"a<b>&'\\\"c\"", "_escapeXML")), (Lines{"a&lt;b&gt;&amp;&apos;&quot;c"}));
    EXPECT_EQ(traces(8, externalCall("push \"&amp;lt;&Lt;\"", "_unescapeXML")), (Lines{"&lt;&Lt;"}));
    EXPECT_EQ(traces(8, externalCall("push \"\"", "_escapeXML")), (Lines{"null"}));
    EXPECT_EQ(traces(8, externalCall("push \"say \\\"hi\\\" \\\\ end\"", "_jsQuoteString")), (Lines{"say \\\"hi\\\" \\ end"}));
    // [true, "", 5] and {k: null}; a string's characters read as undefined elements.
    EXPECT_EQ(traces(8, externalCall("push 5, \"\", true, 3\ninitArray", "_toXML")),
              (Lines{"<array><property id=\"0\"><true/></property><property id=\"1\"><string>null</string>"
                     "</property><property id=\"2\"><number>5</number></property></array>"}));
    EXPECT_EQ(traces(8, externalCall("push \"k\", null, 1\ninitObject", "_toXML")),
              (Lines{"<object><property id=\"k\"><null/></property></object>"}));
    EXPECT_EQ(traces(8, externalCall("push \"f\", 7, 2\ninitArray", "_argumentsToXML")),
              (Lines{"<arguments><string>f</string></arguments>"}));
    EXPECT_EQ(traces(8, externalCall("push \"ab\"", "_arrayToXML")),
              (Lines{"<array><property id=\"0\"><undefined/></property><property id=\"1\"><undefined/></property></array>"}));
}

TEST(Avm1ExternalInterface, ToAsReadsTheXmlFormBack) {
    const std::string number = "push \"<number>-2.5</number>\", 1, \"XML\"\nnewObject\npush \"firstChild\"\ngetMember";
    EXPECT_EQ(traces(8, externalCall(number, "_toAS")), (Lines{"-2.5"}));
    const std::string array = "push \"<array><property id='1'><string>a&amp;b</string></property></array>\", 1, "
                              "\"XML\"\nnewObject\npush \"firstChild\"\ngetMember";
    EXPECT_EQ(traces(8, externalCall(array, "_toAS")), (Lines{"undefined,a&b"}));
    EXPECT_EQ(traces(8, externalCall("push 3", "_toAS")), (Lines{"undefined"}));
}

TEST(Avm1AbsentServices, ServicesExistAndAnswerAsWithNothingAttached) {
    // PrintJob finds no printer and its sizes stay 0; NetConnection.connect(null) succeeds
    // at once; connecting to a server reports nothing until close().
    const char* src = R"(
        push "job", 0, "PrintJob"
        newObject
        defineLocal
        push 0, "job"
        getVariable
        push "start"
        callMethod
        trace
        push "job"
        getVariable
        push "paperWidth", 99
        setMember
        push "job"
        getVariable
        push "paperWidth"
        getMember
        trace
        push "nc", 0, "NetConnection"
        newObject
        defineLocal
        push "nc"
        getVariable
        push "onStatus"
        function (e)
          push "e"
          getVariable
          push "code"
          getMember
          trace
        end
        setMember
        push null, 1, "nc"
        getVariable
        push "connect"
        callMethod
        pop
        push "nc"
        getVariable
        push "isConnected"
        getMember
        trace
        push "http://example.org", 1, "nc"
        getVariable
        push "connect"
        callMethod
        trace
        push 0, "nc"
        getVariable
        push "close"
        callMethod
        pop
    )";
    EXPECT_EQ(traces(8, src), (Lines{"false", "0", "NetConnection.Connect.Success", "true",
                                     "NetConnection.Connect.Closed", "false", "NetConnection.Connect.Closed",
                                     "undefined"}))
        << "closing the attempt to reach a server also answers onStatus with no event";
}

TEST(Avm1AbsentServices, FileDialogsCancelAfterTheScriptAndMenusCopy) {
    // browse() opens the dialog (true), a second one is refused while it is open, and the
    // listeners hear onCancel after the frame's scripts; an invalid filter list is refused.
    const char* frame1 = R"(
        push "f", 0, "flash"
        getVariable
        push "net"
        getMember
        push "FileReference"
        newMethod
        defineLocal
        push "listener", 0
        initObject
        defineLocal
        push "listener"
        getVariable
        push "onCancel"
        function (target)
          push "cancelled"
          trace
        end
        setMember
        push "listener"
        getVariable
        push 1, "f"
        getVariable
        push "addListener"
        callMethod
        pop
        push 0, "f"
        getVariable
        push "browse"
        callMethod
        trace
        push 0, "f"
        getVariable
        push "browse"
        callMethod
        trace
        push 0
        initArray
        push 1, "f"
        getVariable
        push "browse"
        callMethod
        trace
        push "end of script"
        trace
        push "menu", 0, "ContextMenu"
        newObject
        defineLocal
        push "menu"
        getVariable
        push "builtInItems"
        getMember
        push "zoom", false
        setMember
        push 0, "menu"
        getVariable
        push "copy"
        callMethod
        push "builtInItems"
        getMember
        push "zoom"
        getMember
        trace
    )";
    auto run = runFrames(8, {frame1, "push \"frame 2\"\ntrace\n"});
    EXPECT_EQ(run->traces(), (Lines{"true", "false", "false", "end of script", "false", "cancelled", "frame 2"}));
}

}  // namespace
