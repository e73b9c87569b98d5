// Loading files beside the movie into clips and levels: loadMovie / loadMovieNum /
// unloadMovie actions and methods, MovieClipLoader's events and their order, query-string
// variables, loadVariables, images, and failed or hostile loads.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include <action_assembler.h>
#include <imageio/image_file.h>
#include <movie_writer.h>
#include <tags.h>

#include <runtime/avm1/host_services.h>
#include <runtime/player.h>

namespace {

using Lines = std::vector<std::string>;

// One movie of DoAction frames (the assembler's source per frame).
std::vector<uint8_t> scriptMovie(const std::vector<std::string>& frames, int version = 8) {
    swfw::MovieWriter m(version, 100, 100, 12);
    for (const std::string& source : frames) {
        m.add(swfw::doAction(swfw::assemble(source)));
        m.showFrame();
    }
    return m.build();
}

std::string traceText(const std::string& text) { return "push \"" + text + "\"\ntrace\n"; }
// trace(<expression in the assembler's source that leaves one value>)
std::string traceValue(const std::string& source) { return source + "\ntrace\n"; }

// _root.createEmptyMovieClip(name, depth)
std::string makeClip(const std::string& name, int depth) {
    return "push " + std::to_string(depth) + ", \"" + name +
           "\", 2, \"_root\"\ngetVariable\npush \"createEmptyMovieClip\"\ncallMethod\npop\n";
}

// A MovieClipLoader in `loader` whose listeners trace "<event> <target>" for every event.
std::string tracingLoader() {
    std::string s = "push \"loader\", 0, \"MovieClipLoader\"\nnewObject\nsetVariable\n";
    for (const char* event : {"onLoadStart", "onLoadProgress", "onLoadComplete", "onLoadInit", "onLoadError"}) {
        s += "push \"loader\"\ngetVariable\npush \"" + std::string(event) + "\"\nfunction (target, a, b)\n";
        s += "push \"" + std::string(event) + " \", \"target\"\ngetVariable\nadd2\npush \" \", \"a\"\ngetVariable\n"
             "add2\nadd2\ntrace\nend\nsetMember\n";
    }
    return s;
}

// loader.loadClip(url, target) with target given as assembler push operands.
std::string loadClip(const std::string& url, const std::string& target) {
    return "push " + target + ", \"" + url + "\", 2, \"loader\"\ngetVariable\npush \"loadClip\"\ncallMethod\ntrace\n";
}

class ClipLoading : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("clip-loading-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder);
        host.movieFolder = folder.string();
        host.url = "file:///movies/main.swf";
    }
    void TearDown() override {
        player.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    void writeFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream out(folder / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    void writeText(const std::string& name, const std::string& text) {
        writeFile(name, std::vector<uint8_t>(text.begin(), text.end()));
    }
    // Runs the main movie for `frames` frames; returns its trace lines.
    const Lines& run(const std::vector<std::string>& frames, int steps, int version = 8) {
        return runBytes(scriptMovie(frames, version), steps);
    }
    const Lines& runBytes(const std::vector<uint8_t>& bytes, int steps) {
        std::string error;
        player = swf::Player::load(bytes.data(), bytes.size(), error, &host);
        if (!player) throw std::runtime_error(error);
        for (int f = 1; f < steps; ++f) player->stepFrame();
        return player->traces();
    }
    bool warned(const std::string& part) const {
        for (const std::string& w : player->scriptWarnings())
            if (w.find(part) != std::string::npos) return true;
        return false;
    }

    std::filesystem::path folder;
    swf::avm1::FixedHostServices host;
    std::unique_ptr<swf::Player> player;
};

TEST_F(ClipLoading, LoadMovieIntoAClipArrivesOnTheNextFrameAndReplacesItsVariables) {
    const std::vector<uint8_t> child = scriptMovie({traceText("child frame 1") + traceValue("push \"v\"\ngetVariable"),
                                                    traceText("child frame 2")});
    writeFile("child.swf", child);
    const Lines& lines = run({makeClip("mc", 1) + "push \"mc.v\", \"old\"\nsetVariable\n" +
                                  "push \"child.swf\", \"mc\"\ngetUrl2 0x40\n" + traceText("asked"),
                              "stop\n" + traceText("parent frame 2") + traceValue("push \"mc.v\"\ngetVariable") +
                                  traceValue("push \"mc._url\"\ngetVariable") +
                                  traceValue("push 0, \"mc\"\ngetVariable\npush \"getBytesTotal\"\ncallMethod")},
                             2);
    EXPECT_EQ(lines, (Lines{"asked", "child frame 1", "undefined", "parent frame 2", "undefined", "file:///movies/child.swf",
                            std::to_string(child.size())}))
        << "the clip lost its variables; the child's first frame runs before the frame's other scripts";
    player->stepFrame();
    EXPECT_EQ(lines.back(), "child frame 2") << "the loaded timeline plays on";
}

TEST_F(ClipLoading, LevelsAreMadeFoundAndUnloadedBetweenFrames) {
    writeFile("child.swf", scriptMovie({traceValue("push \"_root\"\ngetVariable") + traceValue("push \"_url\"\ngetVariable")}));
    const Lines& lines = run({"getUrl \"child.swf\" \"_level2\"\n" + traceValue("push \"_level2\"\ngetVariable"),
                              traceValue("push \"_level2\"\ngetVariable") + "getUrl \"\" \"_level2\"\n" +
                                  traceValue("push \"_level2\"\ngetVariable"),
                              traceValue("push \"_level2\"\ngetVariable")},
                             3);
    EXPECT_EQ(lines, (Lines{"undefined", "_level2", "file:///movies/child.swf", "_level2", "_level2", "undefined"}))
        << "a level exists from the frame after loadMovieNum, is its own _root, and is gone the frame after "
           "unloadMovieNum";
}

TEST_F(ClipLoading, MovieClipLoaderEventsComeInTheOriginalsOrder) {
    const std::vector<uint8_t> child = scriptMovie({traceText("child")});
    writeFile("child.swf", child);
    const std::string size = std::to_string(child.size());
    const Lines& lines = run({tracingLoader() + makeClip("a", 1) + makeClip("b", 2) + loadClip("child.swf", "\"a\"") +
                                  loadClip("child.swf", "\"b\"") + loadClip("child.swf", "\"nothing\"") +
                                  loadClip("child.swf", "null"),
                              ""},
                             2);
    EXPECT_EQ(lines, (Lines{"true", "true", "false", "false",
                            "onLoadStart _level0.a undefined", "onLoadProgress _level0.a " + size,
                            "onLoadComplete _level0.a 0",
                            "onLoadStart _level0.b undefined", "onLoadProgress _level0.b " + size,
                            "onLoadComplete _level0.b 0",
                            "child", "child",
                            "onLoadInit _level0.b undefined", "onLoadInit _level0.a undefined"}))
        << "start, progress and complete per load in order; first frames; then init, newest load first";
}

TEST_F(ClipLoading, AMissingFileIsAnErrorEventAndAWarningNotAFailedPlayer) {
    const Lines& lines = run({tracingLoader() + makeClip("a", 1) + loadClip("absent.swf", "\"a\"") +
                                  loadClip("../outside.swf", "\"a\"") + "getUrl \"absent.swf\" \"_level1\"\n",
                              traceValue("push \"_level1\"\ngetVariable")},
                             2);
    EXPECT_EQ(lines, (Lines{"true", "true", "onLoadError _level0.a URLNotFound", "onLoadError _level0.a URLNotFound",
                            "undefined"}))
        << "nothing outside the movie's folder is read, and a failed level load makes no level";
    EXPECT_TRUE(warned("absent.swf"));
}

TEST_F(ClipLoading, QueryStringVariablesReachTheLoadedRootBeforeItsFirstFrame) {
    writeFile("child.swf", scriptMovie({traceValue("push \"a\"\ngetVariable") + traceValue("push \"b\"\ngetVariable")}));
    const Lines& lines = run({makeClip("mc", 1) + "push \"child.swf?a=1&b=two%20words\", \"mc\"\ngetUrl2 0x40\n", ""}, 2);
    EXPECT_EQ(lines, (Lines{"1", "two words"}));
}

TEST_F(ClipLoading, LoadVariablesSetsTheClipsVariablesNextFrame) {
    writeText("vars.txt", "name=kestrel&count=3");
    const Lines& lines = run({makeClip("mc", 1) + "push \"vars.txt\", \"mc\"\ngetUrl2 0xC0\n" +
                                  "push \"vars.txt\", \"_level0\"\ngetUrl2 0x80\n" + traceValue("push \"mc.name\"\ngetVariable"),
                              traceValue("push \"mc.name\"\ngetVariable") + traceValue("push \"count\"\ngetVariable")},
                             2);
    EXPECT_EQ(lines, (Lines{"undefined", "kestrel", "3"})) << "loadVariables into a clip and loadVariablesNum into a level";
}

TEST_F(ClipLoading, VariablesLoadedIntoATextFieldBecomeItsProperties) {
    writeText("vars.txt", "name=kestrel");
    // _root.createTextField("field", 1, 0, 0, 50, 20); loadVariables("vars.txt", "_level0.field")
    const std::string make = "push 20, 50, 0, 0, 1, \"field\", 6, \"_root\"\ngetVariable\npush \"createTextField\"\ncallMethod\npop\n";
    const Lines& lines = run({make + "push \"vars.txt\", \"_level0.field\"\ngetUrl2 0xC0\n",
                              traceValue("push \"field.name\"\ngetVariable") + traceValue("push \"name\"\ngetVariable")},
                             2);
    EXPECT_EQ(lines, (Lines{"kestrel", "undefined"}));
}

TEST_F(ClipLoading, ImportedMoviesRunTheirInitActionsOnTheImporter) {
    // assets.swf: two sprites with init actions tracing "<n> " + this; the main movie's own
    // init action, then ImportAssets2 of one of them, then a frame script.
    swfw::MovieWriter assets(8, 100, 100, 12);
    for (uint16_t id : {1, 2}) {
        assets.add(swfw::defineSprite(id, 1, {swfw::Tag{1, {}}}));
        assets.add(swfw::doInitAction(id, swfw::assemble("push \"assets " + std::to_string(id) + " \", \"this\"\ngetVariable\nadd2\ntrace\n")));
    }
    assets.add(swfw::exportAssets({{2, "shared"}}));
    assets.showFrame();
    writeFile("assets.swf", assets.build());
    const std::string importTag = std::string("assets.swf", 11) + std::string("\x01\x00\x01\x00\x02\x00shared", 13);
    swfw::MovieWriter m(8, 100, 100, 12);
    m.add(swfw::defineSprite(1, 1, {swfw::Tag{1, {}}}));
    m.add(swfw::doInitAction(1, swfw::assemble("push \"own init\"\ntrace\n")));
    m.add(swfw::Tag{71, std::vector<uint8_t>(importTag.begin(), importTag.end())});
    m.add(swfw::doAction(swfw::assemble("push \"frame\"\ntrace\n")));
    m.showFrame();
    EXPECT_EQ(runBytes(m.build(), 2), (Lines{"own init", "assets 1 _level0", "assets 2 _level0", "frame"}));
}

TEST_F(ClipLoading, OldMoviesAndCodepageMoviesReadVariablesAsWindowsWestern) {
    writeText("latin.txt", "word=\xC4rger%E9&euro=\x80");
    const std::string load = "push \"latin.txt\", \"_level0\"\ngetUrl2 0x80\n";
    const std::string show = "stop\n" + traceValue("push \"word\"\ngetVariable") + traceValue("push \"euro\"\ngetVariable");
    EXPECT_EQ(run({load, show}, 2, 5), (Lines{"\xC3\x84rger\xC3\xA9", "\xE2\x82\xAC"})) << "SWF 5: the code page";
    const std::string codepage = "push \"System\"\ngetVariable\npush \"useCodepage\", true\nsetMember\n";
    EXPECT_EQ(run({codepage + load, show}, 2, 8), (Lines{"\xC3\x84rger\xC3\xA9", "\xE2\x82\xAC"})) << "System.useCodepage";
    writeText("both.txt", "word=\xC3\x84");
    EXPECT_EQ(run({codepage + "push \"both.txt\", \"_level0\"\ngetUrl2 0x80\n", "stop\n" + traceValue("push \"word\"\ngetVariable")}, 2, 8),
              (Lines{"\xC3\x84"}))
        << "well-formed UTF-8 stays UTF-8 with useCodepage";
    EXPECT_EQ(run({"push \"both.txt\", \"_level0\"\ngetUrl2 0x80\n", "stop\n" + traceValue("push \"word\"\ngetVariable")}, 2, 5),
              (Lines{"\xC3\x83\xE2\x80\x9E"}))
        << "but SWF 5 reads it as Western text";
    writeText("utf8.txt", "word=\xC3\x84");
    EXPECT_EQ(run({"push \"utf8.txt\", \"_level0\"\ngetUrl2 0x80\n", "stop\n" + traceValue("push \"word\"\ngetVariable")}, 2, 8),
              (Lines{"\xC3\x84"}))
        << "SWF 6 and later: UTF-8";
}

TEST_F(ClipLoading, AnImageBecomesTheClipsContentAndIsDrawn) {
    swf::Canvas picture(12, 7, 0xffff0000);
    writeFile("picture.png", swfimg::encodePng(picture));
    run({makeClip("mc", 1) + "push \"mc._x\", 50\nsetVariable\npush \"picture.png\", \"mc\"\ngetUrl2 0x40\n", "stop"}, 2);
    swf::Canvas canvas(100, 100);
    player->render(canvas, swf::ScaleMode::ExactFit, swf::Quality::High);
    EXPECT_EQ(canvas.row(3)[55], 0xffff0000u) << "inside the picture, moved with its clip";
    EXPECT_NE(canvas.row(3)[45], 0xffff0000u) << "left of the clip";
    EXPECT_NE(canvas.row(10)[55], 0xffff0000u) << "below the picture";
}

TEST_F(ClipLoading, DataThatIsNeitherMovieNorImageEmptiesTheClip) {
    writeText("notes.txt", "just some words");
    writeFile("broken.swf", {'F', 'W', 'S', 8, 0xff, 0xff, 0xff, 0x7f, 1, 2, 3});
    const Lines& lines = run({tracingLoader() + makeClip("a", 1) + makeClip("b", 2) + loadClip("notes.txt", "\"a\"") +
                                  loadClip("broken.swf", "\"b\""),
                              "stop"},
                             3);
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[3], "onLoadProgress _level0.a 0") << "nothing counts as loaded";
    EXPECT_EQ(lines.back(), "onLoadInit _level0.a undefined");
    EXPECT_TRUE(warned("broken.swf")) << "a damaged movie is reported";
}

TEST_F(ClipLoading, UnloadMovieEmptiesAClipAndRunsItsUnloadEvent) {
    writeFile("child.swf",
              scriptMovie({"stop\npush 5, \"inner\", 2, \"this\"\ngetVariable\npush \"createEmptyMovieClip\"\ncallMethod\npop"}));
    const Lines& lines = run({makeClip("mc", 1) + "push 0, \"child.swf\", 1, \"mc\"\ngetVariable\npush \"loadMovie\"\ncallMethod\npop\n",
                              "",
                              "push \"mc\"\ngetVariable\npush \"onUnload\"\nfunction ()\npush \"unloaded\"\ntrace\nend\nsetMember\n" +
                                  traceValue("push \"mc.inner\"\ngetVariable") +
                                  "push 0, \"mc\"\ngetVariable\npush \"unloadMovie\"\ncallMethod\npop\n",
                              "stop\n" + traceValue("push \"mc\"\ngetVariable") + traceValue("push \"mc.inner\"\ngetVariable")},
                             4);
    EXPECT_EQ(lines, (Lines{"_level0.mc.inner", "unloaded", "_level0.mc", "undefined"}))
        << "after unloading, the clip stays where it was, empty";
}

TEST_F(ClipLoading, ReplacingLevelZeroKeepsGlobalsAndTakesTheNewStage) {
    swfw::MovieWriter replacement(8, 300, 40, 12);
    replacement.add(swfw::doAction(swfw::assemble(traceValue("push \"Stage\"\ngetVariable\npush \"width\"\ngetMember") +
                                                  traceValue("push \"_global\"\ngetVariable\npush \"kept\"\ngetMember") +
                                                  traceValue("push \"mine\"\ngetVariable") + "stop")));
    replacement.showFrame();
    writeFile("next.swf", replacement.build(true));
    const Lines& lines = run({"push \"_global\"\ngetVariable\npush \"kept\", 1\nsetMember\npush \"mine\", 2\nsetVariable\n"
                              "getUrl \"next.swf\" \"_level0\"\n", "", ""}, 3);
    EXPECT_EQ(lines, (Lines{"300", "1", "undefined"})) << "the old root's variables go, _global stays";
    EXPECT_EQ(player->root().frameCount(), 1) << "the root plays the new movie's timeline";
}

TEST_F(ClipLoading, LoadVarsSendAndLoadReadsTheFileIntoItsTarget) {
    writeText("reply.txt", "answer=42");
    const Lines& lines = run({"push \"target\", 0, \"LoadVars\"\nnewObject\nsetVariable\n"
                              "push \"target\"\ngetVariable\npush \"reply.txt\", 2, 0, \"LoadVars\"\nnewObject\npush \"sendAndLoad\"\ncallMethod\ntrace\n"
                              "push 0, 0, \"LoadVars\"\nnewObject\npush \"sendAndLoad\"\ncallMethod\ntrace\n",
                              "stop\n" + traceValue("push \"target\"\ngetVariable\npush \"answer\"\ngetMember")},
                             2);
    EXPECT_EQ(lines, (Lines{"true", "false", "42"})) << "without a target object nothing is read";
}

TEST_F(ClipLoading, AMovieLoadingItselfIntoItselfStopsAtTheNestingLimit) {
    writeFile("self.swf", scriptMovie({traceText("loaded") +
                                       "push 1, \"c\", 2, \"this\"\ngetVariable\npush \"createEmptyMovieClip\"\ncallMethod\npop\n"
                                       "push \"self.swf\", \"c\"\ngetUrl2 0x40\n"}));
    const Lines& lines = run({makeClip("mc", 1) + "push \"self.swf\", \"mc\"\ngetUrl2 0x40\n", "stop"}, 60);
    const auto loaded = std::count(lines.begin(), lines.end(), "loaded");
    EXPECT_GT(loaded, 5);
    EXPECT_LT(loaded, 20) << "deeper clips are not made, so the chain of loads ends";
}

TEST_F(ClipLoading, LoadsInOneFrameAreCapped) {
    writeFile("child.swf", scriptMovie({"stop"}));
    const Lines& lines = run({"push \"i\", 0\nsetVariable\ntop:\npush \"child.swf\", \"_level1\"\ngetUrl2 0\n"
                              "push \"i\", \"i\"\ngetVariable\nincrement\nsetVariable\npush \"i\"\ngetVariable\npush 1000\nless2\nif top\n",
                              "stop\n" + traceValue("push \"_level1\"\ngetVariable")},
                             2);
    EXPECT_EQ(lines, (Lines{"_level1"})) << "the loads within the cap still happen";
    EXPECT_TRUE(warned("too many loads"));
}

TEST_F(ClipLoading, ByteCountsAndSandboxFollowTheFile) {
    swfw::MovieWriter m(8, 100, 100, 12);
    m.add(swfw::Tag{69, {0x01, 0, 0, 0}});  // FileAttributes: uses the network
    const swfw::Tag sprite = swfw::defineSprite(1, 1, {swfw::Tag{1, {}}});
    m.add(sprite);
    swfw::Place place{1, 1};
    place.name = "s";
    m.add(swfw::placeObject2(place));
    m.add(swfw::doAction(swfw::assemble(
        traceValue("push 0, \"s\"\ngetVariable\npush \"getBytesTotal\"\ncallMethod") +
        traceValue("push 0, \"_root\"\ngetVariable\npush \"getBytesTotal\"\ncallMethod") +
        traceValue("push 0, 1, 0, \"MovieClipLoader\"\nnewObject\npush \"getProgress\"\ncallMethod\npush \"bytesTotal\"\ngetMember") +
        traceValue("push \"System\"\ngetVariable\npush \"security\"\ngetMember\npush \"sandboxType\"\ngetMember"))));
    m.showFrame();
    const std::vector<uint8_t> bytes = m.build(true);
    const uint32_t declared = uint32_t(bytes[4]) | uint32_t(bytes[5]) << 8 | uint32_t(bytes[6]) << 16 | uint32_t(bytes[7]) << 24;
    ASSERT_NE(declared, bytes.size()) << "compressed: the two sizes differ";
    EXPECT_EQ(runBytes(bytes, 1), (Lines{std::to_string(sprite.body.size() - 4), std::to_string(declared),
                                         std::to_string(bytes.size()), "localWithNetwork"}))
        << "a sprite counts its tags; the root its declared length; a load its file; the sandbox the file's flag";
}

}  // namespace
