// A movie loaded into another runs by its own SWF version's rules: its timeline scripts and
// the functions it defines (whoever calls them), and the set of globals of its kind of
// version (SWF 7 and later share one, SWF 6 and earlier another). The flash.* packages exist
// from SWF 8.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include <action_assembler.h>
#include <movie_writer.h>
#include <tags.h>

#include <runtime/avm1/host_services.h>
#include <runtime/player.h>

#include "avm1_script_test.h"

namespace {

using Lines = std::vector<std::string>;

std::vector<uint8_t> scriptMovie(const std::vector<std::string>& frames, int version) {
    swfw::MovieWriter m(version, 100, 100, 12);
    for (const std::string& source : frames) {
        m.add(swfw::doAction(swfw::assemble(source)));
        m.showFrame();
    }
    return m.build();
}

// _root.createEmptyMovieClip(name, depth), then loadMovie(file, name).
std::string loadInto(const std::string& file, const std::string& clip, int depth) {
    return "push " + std::to_string(depth) + ", \"" + clip + "\", 2, \"_root\"\ngetVariable\n"
           "push \"createEmptyMovieClip\"\ncallMethod\npop\npush \"" + file + "\", \"" + clip + "\"\ngetUrl2 0x40\n";
}

class MovieVersionRules : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("movie-version-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder);
        host.movieFolder = folder.string();
    }
    void TearDown() override {
        player.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    void writeMovie(const std::string& name, const std::vector<std::string>& frames, int version) {
        const std::vector<uint8_t> bytes = scriptMovie(frames, version);
        std::ofstream out(folder / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    const Lines& run(const std::vector<std::string>& frames, int version, int steps) {
        const std::vector<uint8_t> bytes = scriptMovie(frames, version);
        std::string error;
        player = swf::Player::load(bytes.data(), bytes.size(), error, &host);
        if (!player) throw std::runtime_error(error);
        for (int f = 1; f < steps; ++f) player->stepFrame();
        return player->traces();
    }
    bool traced(const std::string& line) const {
        const Lines& lines = player->traces();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    std::filesystem::path folder;
    swf::avm1::FixedHostServices host;
    std::unique_ptr<swf::Player> player;
};

// Traces "<tag> <_global.shared>" and keeps an object literal in `made`.
std::string childScript(const std::string& tag) {
    return "push \"" + tag + " \", \"_global\"\ngetVariable\npush \"shared\"\ngetMember\nadd2\ntrace\n"
           "push \"made\", 0\ninitObject\nsetVariable\nstop\n";
}

std::string traceMadeIsAnObject(const std::string& clip) {
    return "push \"" + clip + "\"\ngetVariable\npush \"made\"\ngetMember\npush \"Object\"\ngetVariable\ninstanceOf\ntrace\n";
}

TEST_F(MovieVersionRules, SwfSevenAndEightShareGlobalsThatOlderMoviesDoNotSee) {
    writeMovie("child6.swf", {childScript("six")}, 6);
    writeMovie("child7.swf", {childScript("seven")}, 7);
    const Lines& lines =
        run({"push \"_global\"\ngetVariable\npush \"shared\", \"root\"\nsetMember\n" + loadInto("child6.swf", "mc6", 1) +
                 loadInto("child7.swf", "mc7", 2),
             "", traceMadeIsAnObject("mc6") + traceMadeIsAnObject("mc7") + "stop\n"},
            8, 3);
    EXPECT_TRUE(traced("six ")) << "the SWF 6 movie has a _global of its own";
    EXPECT_TRUE(traced("seven root")) << "the SWF 7 movie shares the SWF 8 movie's _global";
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(Lines(lines.end() - 2, lines.end()), (Lines{"false", "true"}))
        << "an object literal of the SWF 6 movie is made by its own Object class";
}

TEST_F(MovieVersionRules, ALoadedMoviesScriptsAndFunctionsKeepItsVersion) {
    // SWF 6: names in any case. The child's timeline and its function read `VALUE` for `value`.
    writeMovie("child6.swf",
               {"push \"value\", 1\nsetVariable\npush \"VALUE\"\ngetVariable\ntrace\n"
                "push \"f\"\nfunction (p)\npush \"p\"\ngetVariable\npush \"VALUE\"\ngetMember\nreturn\nend\n"
                "setVariable\nstop\n"},
               6);
    const Lines& lines = run({loadInto("child6.swf", "mc", 1), "",
                              "push \"o\", \"value\", 5, 1\ninitObject\nsetVariable\n"
                              "push \"o\"\ngetVariable\npush 1, \"mc\"\ngetVariable\npush \"f\"\ncallMethod\ntrace\n"
                              "push \"o\"\ngetVariable\npush \"VALUE\"\ngetMember\ntrace\nstop\n"},
                             7, 3);
    EXPECT_EQ(lines, (Lines{"1", "5", "undefined"}))
        << "the SWF 7 movie's own read stays case-sensitive while the SWF 6 function it calls is not";
}

TEST(MovieVersionPackages, TheGlobalNameCameWithSwfSixButSwfFiveFunctionsKnowIt) {
    const std::string src = "push \"_global\"\ngetVariable\ntypeOf\ntrace\n"
                            "function f()\npush \"_global\"\ngetVariable\ntypeOf\nreturn\nend\n"
                            "push 0, \"f\"\ncallFunction\ntrace\n";
    EXPECT_EQ(script_test::traces(5, src), (Lines{"undefined", "object"}));
    EXPECT_EQ(script_test::traces(6, src), (Lines{"object", "object"}));
}

TEST(MovieVersionPackages, ReflectionMethodsOfObjectCameWithSwfSix) {
    std::string src;
    for (const char* name : {"hasOwnProperty", "isPropertyEnumerable", "isPrototypeOf", "addProperty", "watch", "unwatch"})
        src += "push \"Object\"\ngetVariable\npush \"prototype\"\ngetMember\npush \"" + std::string(name) +
               "\"\ngetMember\ntypeOf\ntrace\n";
    src += "push \"Object\"\ngetVariable\npush \"prototype\"\ngetMember\npush \"toString\"\ngetMember\ntypeOf\ntrace\n";
    Lines before(6, "undefined");
    before.push_back("function");
    EXPECT_EQ(script_test::traces(5, src), before);
    EXPECT_EQ(script_test::traces(6, src), Lines(7, "function"));
}

TEST(MovieVersionPackages, TheFlashPackagesAreThereFromSwfEight) {
    const std::string src = "push \"flash\"\ngetVariable\ntypeOf\ntrace\n";
    EXPECT_EQ(script_test::traces(7, src), (Lines{"undefined"}));
    EXPECT_EQ(script_test::traces(8, src), (Lines{"object"}));
}

}  // namespace
