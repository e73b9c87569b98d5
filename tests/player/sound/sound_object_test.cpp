// The Sound object on movies built by the SWF writer, measured on the mix the host would play
// (swfrun --audio's recorder): levels after setVolume, pan balance, the clip hierarchy,
// onSoundComplete, loops, stop by name, stopAllSounds, loadSound with ID3, sprite soundtracks.
#include <gtest/gtest.h>

#include <action_assembler.h>
#include <audio/audio_capture.h>
#include <audio/mpg123_decoder.h>
#include <parse/movie_loader.h>
#include <runtime/avm1/host_services.h>
#include <sound_tags.h>
#include <tags.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "signal_measure.h"
#include "sound_fixtures.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr double kFps = 24;
constexpr int kRate = 44100;
constexpr int kAmplitude = 10000;
const double kFullRms = kAmplitude / std::sqrt(2.0);

swf::SoundFormat monoPcm44() {
    swf::SoundFormat f;
    f.coding = swf::SoundCoding::PcmLittleEndian;
    f.rateHz = kRate;
    f.stereo = false;
    return f;
}

swfw::Tag tone(uint16_t id, double hz, double seconds) {
    std::vector<int16_t> samples = soundfix::sine(hz, kRate, seconds, kAmplitude, 1);
    return swfw::defineSound(id, monoPcm44(), uint32_t(samples.size()), swfw::encodePcm(samples, true));
}

swfw::Tag showFrame() { return {1, {}}; }

// 96 frames at 24 fps: "tone" (id 1, 1000 Hz, 0.5 s) and "low" (id 2, 500 Hz, 2 s) exported,
// `extra` tags (sprites, placements) in frame 1, then one script per frame from frame 1 on.
Bytes soundMovie(const std::vector<std::string>& scripts, const std::vector<swfw::Tag>& extra = {}) {
    swfw::MovieWriter m(8, 100, 100, kFps);
    m.add(tone(1, 1000, 0.5));
    m.add(tone(2, 500, 2));
    m.add(soundfix::exportTag({{1, "tone"}, {2, "low"}}));
    for (const swfw::Tag& t : extra) m.add(t);
    for (int f = 0; f < 96; ++f) {
        if (size_t(f) < scripts.size() && !scripts[size_t(f)].empty()) m.add(swfw::doAction(swfw::assemble(scripts[size_t(f)])));
        m.showFrame();
    }
    return m.build();
}

struct Played {
    swf::avm1::FixedHostServices host;
    std::unique_ptr<swf::Player> player;
    swfaudio::CapturedAudio audio;
    // RMS of a channel over [from, to) seconds of the mix.
    double level(int channel, double from, double to) const {
        return soundfix::rms(soundfix::channel(audio.samples, channel, size_t(from * kRate), size_t(to * kRate)));
    }
};

std::unique_ptr<Played> play(const Bytes& movie, double seconds, const std::string& folder = {}) {
    auto run = std::make_unique<Played>();
    run->host.movieFolder = folder;
    std::string error;
    std::shared_ptr<const swf::Movie> loaded = swf::loadMovie(movie.data(), movie.size(), error);
    EXPECT_TRUE(loaded) << error;
    run->player = std::make_unique<swf::Player>(loaded, &run->host, nullptr, nullptr, swfaudio::mpg123DecoderFactory());
    run->audio = swfaudio::captureAudio(*run->player, int(seconds * kFps), 1000 / kFps);
    return run;
}

// s = new Sound(<target>); s.attachSound("<name>")
std::string makeSound(const std::string& var, const std::string& name, const std::string& target = "") {
    std::string s = "push \"" + var + "\"\n";
    s += target.empty() ? "push 0, \"Sound\"\n" : "push \"" + target + "\"\ngetVariable\npush 1, \"Sound\"\n";
    s += "newObject\nsetVariable\n";
    if (!name.empty()) s += "push \"" + name + "\", 1, \"" + var + "\"\ngetVariable\npush \"attachSound\"\ncallMethod\npop\n";
    return s;
}

// var.method(args...) with the arguments as assembler push operands, last first.
std::string call(const std::string& var, const std::string& method, const std::string& argsLastFirst = "", int argc = 0) {
    std::string s = argsLastFirst.empty() ? "" : "push " + argsLastFirst + "\n";
    return s + "push " + std::to_string(argc) + ", \"" + var + "\"\ngetVariable\npush \"" + method + "\"\ncallMethod\npop\n";
}

TEST(SoundObject, SetVolumeScalesTheLevel) {
    for (int volume : {100, 50, 10, 0}) {
        auto run = play(soundMovie({makeSound("s", "tone") + call("s", "setVolume", std::to_string(volume), 1) +
                                    call("s", "start")}),
                        1);
        const double expected = kFullRms * volume / 100;
        EXPECT_NEAR(run->level(0, 0.1, 0.4), expected, 40) << "volume " << volume;
        EXPECT_NEAR(run->level(1, 0.1, 0.4), expected, 40) << "volume " << volume;
        EXPECT_LT(run->level(0, 0.6, 1.0), 1) << "the sound ended after its half second";
    }
}

TEST(SoundObject, PanAndTransformSteerTheChannels) {
    struct Case {
        std::string script;
        double left, right;  // expected share of the full level
    };
    const Case cases[] = {
        {call("s", "setPan", "-100", 1), 1, 0},
        {call("s", "setPan", "50", 1), 0.5, 1},
        // The left input to the right speaker only (rl), the left speaker silent.
        {"push \"ll\", 0, \"lr\", 0, \"rl\", 100, \"rr\", 0, 4\ninitObject\npush 1, \"s\"\ngetVariable\n"
         "push \"setTransform\"\ncallMethod\npop\n",
         0, 1},
    };
    for (const Case& c : cases) {
        auto run = play(soundMovie({makeSound("s", "tone") + c.script + call("s", "start")}), 0.5);
        EXPECT_NEAR(run->level(0, 0.1, 0.4), kFullRms * c.left, 40) << c.script;
        EXPECT_NEAR(run->level(1, 0.1, 0.4), kFullRms * c.right, 40) << c.script;
    }
}

TEST(SoundObject, AClipsVolumeAppliesToItsFrameSoundsUnderTheGlobalOne) {
    // Sprite 3 starts "low" in its first frame; the root sets mc's volume to 40 and the
    // movie's to 50: the sound plays at 20 %.
    std::vector<swfw::Tag> sprite{swfw::startSound(2), showFrame()};
    swfw::Place place;
    place.character = 3;
    place.name = "mc";
    auto run = play(soundMovie({makeSound("clip", "", "mc") + call("clip", "setVolume", "40", 1) + makeSound("all", "") +
                                call("all", "setVolume", "50", 1)},
                               {swfw::defineSprite(3, 1, sprite), swfw::placeObject2(place)}),
                    1);
    EXPECT_NEAR(run->level(0, 0.2, 0.8), kFullRms * 0.2, 40);
}

TEST(SoundObject, OnSoundCompleteFiresOnceAfterTheSoundsLength) {
    // The handler traces the frame it runs in: 0.5 s at 24 fps ends during frame 13.
    const std::string handler =
        "push \"s\"\ngetVariable\npush \"onSoundComplete\"\nfunction ()\n"
        "  push \"_root\"\n  getVariable\n  push \"_currentframe\"\n  getMember\n  trace\n"
        "  push \"s\"\n  getVariable\n  push \"position\"\n  getMember\n  trace\n"
        "end\nsetMember\n";
    auto run = play(soundMovie({makeSound("s", "tone") + handler + call("s", "start")}), 2);
    const auto& traces = run->player->traces();
    ASSERT_EQ(traces.size(), 2u) << "once";
    EXPECT_NEAR(std::stoi(traces[0]), 13, 1);
    EXPECT_EQ(traces[1], "500") << "position at the end is the duration";
}

TEST(SoundObject, LoopsRepeatTheSoundAndCompleteOnce) {
    const std::string handler = "push \"s\"\ngetVariable\npush \"onSoundComplete\"\nfunction ()\n  push \"done\"\n  trace\nend\nsetMember\n";
    auto run = play(soundMovie({makeSound("s", "tone") + handler + call("s", "start", "3, 0", 2)}), 2);
    EXPECT_NEAR(run->level(0, 0.05, 1.45), kFullRms, 40) << "three plays without a break";
    EXPECT_LT(run->level(0, 1.55, 2.0), 1);
    EXPECT_EQ(run->player->traces(), std::vector<std::string>{"done"});
}

TEST(SoundObject, StopByNameLeavesTheOtherSoundAndStopAllSoundsEndsEverything) {
    // Frame 1 starts both; frame 7 stops "tone" by name; frame 13 runs StopSounds.
    auto run = play(soundMovie({makeSound("s", "tone") + call("s", "start") + makeSound("t", "low") + call("t", "start"),
                                "", "", "", "", "", call("s", "stop", "\"tone\"", 1), "", "", "", "", "", "stopSounds\n"}),
                    1);
    EXPECT_NEAR(soundfix::frequency(soundfix::channel(run->audio.samples, 0, size_t(0.3 * kRate), size_t(0.45 * kRate)), kRate),
                500, 2) << "only the 500 Hz sound after the stop";
    EXPECT_NEAR(run->level(0, 0.3, 0.45), kFullRms, 40);
    EXPECT_LT(run->level(0, 0.55, 1.0), 1) << "stopAllSounds";
}

// An MP3 of 0.5 s of 1000 Hz with an ID3v2.3 tag: title in Latin-1, artist in UTF-16.
Bytes taggedMp3() {
    auto frame = [](const std::string& id, const Bytes& body) {
        Bytes f(id.begin(), id.end());
        const uint32_t n = uint32_t(body.size());
        f.insert(f.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n), 0, 0});
        f.insert(f.end(), body.begin(), body.end());
        return f;
    };
    Bytes frames = frame("TIT2", {0, 'C', 'a', 'f', 0xe9});
    Bytes artist = frame("TPE1", {1, 0xff, 0xfe, 'A', 0, 'b', 0});
    frames.insert(frames.end(), artist.begin(), artist.end());
    const uint32_t n = uint32_t(frames.size());
    Bytes file{'I', 'D', '3', 3, 0, 0, uint8_t(n >> 21 & 0x7f), uint8_t(n >> 14 & 0x7f), uint8_t(n >> 7 & 0x7f), uint8_t(n & 0x7f)};
    file.insert(file.end(), frames.begin(), frames.end());
    Bytes mp3 = soundfix::encodeMp3(soundfix::sine(1000, kRate, 0.5, kAmplitude, 1), kRate, 1, 128);
    file.insert(file.end(), mp3.begin(), mp3.end());
    return file;
}

TEST(SoundObject, LoadSoundPlaysAStreamedFileAndReadsItsId3) {
    const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "sound_object_load";
    std::filesystem::create_directories(folder);
    const Bytes mp3 = taggedMp3();
    std::ofstream(folder / "tagged.mp3", std::ios::binary).write(reinterpret_cast<const char*>(mp3.data()), std::streamsize(mp3.size()));
    const std::string handlers =
        "push \"s\"\ngetVariable\npush \"onLoad\"\nfunction (ok)\n  push \"ok\"\n  getVariable\n  trace\n"
        "  push \"s\"\n  getVariable\n  push \"id3\"\n  getMember\n  push \"songname\"\n  getMember\n  trace\n"
        "  push \"s\"\n  getVariable\n  push \"id3\"\n  getMember\n  push \"TPE1\"\n  getMember\n  trace\n"
        "  push \"s\"\n  getVariable\n  push \"duration\"\n  getMember\n  trace\n"
        "end\nsetMember\n";
    auto run = play(soundMovie({makeSound("s", "") + handlers + call("s", "loadSound", "true, \"tagged.mp3\"", 2)}),
                    1, folder.string());
    const auto& traces = run->player->traces();
    ASSERT_EQ(traces.size(), 4u);
    EXPECT_EQ(traces[0], "true");
    EXPECT_EQ(traces[1], "Caf\xc3\xa9");
    EXPECT_EQ(traces[2], "Ab");
    EXPECT_NEAR(std::stod(traces[3]), 500, 60) << "the MP3's length, its encoder padding included";
    EXPECT_NEAR(run->level(0, 0.15, 0.4), kFullRms, kFullRms * 0.1) << "a streamed file plays once loaded";
}

// Sprite 3: a 24-frame soundtrack of clicks, one at the start of each frame's block, placed
// as "mc" in frame 1; `scripts` are the root's.
std::unique_ptr<Played> playClickSprite(const std::vector<std::string>& scripts, double seconds) {
    swf::SoundStreamHead head;
    head.playback = head.stream = monoPcm44();
    head.samplesPerBlock = uint16_t(std::lround(kRate / kFps));
    std::vector<swfw::Tag> sprite{swfw::soundStreamHead(head, 2)};
    for (int f = 0; f < 24; ++f) {
        std::vector<int16_t> block(head.samplesPerBlock, 0);
        for (size_t i = 0; i < 64; ++i) block[i] = int16_t(20000 * std::sin(2 * 3.14159265 * 3000 * double(i) / kRate));
        sprite.push_back(swfw::soundStreamBlock(swfw::encodePcm(block, true)));
        sprite.push_back(showFrame());
    }
    swfw::Place place;
    place.character = 3;
    place.name = "mc";
    return play(soundMovie(scripts, {swfw::defineSprite(3, 24, sprite), swfw::placeObject2(place)}), seconds);
}

std::vector<size_t> clickStarts(const std::vector<int16_t>& stereo) {
    std::vector<size_t> starts;
    size_t quiet = 1000;
    for (size_t i = 0; i < stereo.size() / 2; ++i) {
        const bool loud = std::abs(stereo[i * 2]) > 10000;
        if (loud && quiet > 200) starts.push_back(i);
        quiet = loud ? 0 : quiet + 1;
    }
    return starts;
}

TEST(SoundObject, ASpritesSoundtrackPlaysWhileTheSpritePlays) {
    std::vector<std::string> scripts(13);
    scripts[12] = "push 0, \"mc\"\ngetVariable\npush \"stop\"\ncallMethod\npop\n";  // frame 13
    auto run = playClickSprite(scripts, 1);
    EXPECT_NEAR(double(clickStarts(run->audio.samples).size()), 12, 1) << "a click per sprite frame until the sprite stops";
    EXPECT_EQ(run->player->currentFrame(), 25) << "the sprite's soundtrack does not pace the root";
    EXPECT_LT(run->level(0, 0.6, 1.0), 1);
}

TEST(SoundObject, ASpritesSoundtrackLoopsWithTheSpriteWithoutAGap) {
    auto run = playClickSprite({}, 2.5);
    const std::vector<size_t> clicks = clickStarts(run->audio.samples);
    ASSERT_GE(clicks.size(), 58u) << "two and a half passes";
    for (size_t i = 1; i < clicks.size(); ++i) EXPECT_EQ(clicks[i] - clicks[i - 1], 1838u) << "click " << i;
}

TEST(SoundObject, LoadsBeyondSixteenInAFrameCompleteInTheNextOne) {
    // Twenty Sounds load a file that is not there: each onLoad(false) runs, sixteen in the
    // frame that asked and the rest in the next.
    std::string script;
    for (int i = 0; i < 20; ++i) {
        const std::string var = "s" + std::to_string(i);
        script += makeSound(var, "") + "push \"" + var + "\"\ngetVariable\npush \"onLoad\"\nfunction (ok)\n  push \"ok\"\n"
                  "  getVariable\n  trace\nend\nsetMember\n" + call(var, "loadSound", "false, \"missing.mp3\"", 2);
    }
    auto run = play(soundMovie({script}), 0);
    EXPECT_EQ(run->player->traces().size(), 16u);
    run->player->stepFrame();
    EXPECT_EQ(run->player->traces(), std::vector<std::string>(20, "false"));
}

#ifdef SWFRUN_PATH
TEST(SoundObject, SwfrunAudioWritesTheSoundAtItsVolumeAndPan) {
    // The same rules through the tool: volume 50 panned hard left, 12 frames written.
    const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "sound_object_swfrun";
    std::filesystem::create_directories(folder);
    const Bytes movie = soundMovie({makeSound("s", "tone") + call("s", "setVolume", "50", 1) + call("s", "setPan", "-100", 1) +
                                    call("s", "start")});
    std::ofstream(folder / "volume.swf", std::ios::binary).write(reinterpret_cast<const char*>(movie.data()), std::streamsize(movie.size()));
    const std::string command = std::string(SWFRUN_PATH) + " " + (folder / "volume.swf").string() + " --frames 12 --audio " +
                                (folder / "volume.wav").string();
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream wav(folder / "volume.wav", std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(wav)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 44u);
    std::vector<int16_t> samples((bytes.size() - 44) / 2);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = int16_t(bytes[44 + i * 2] | bytes[45 + i * 2] << 8);
    EXPECT_EQ(samples.size(), size_t(kRate / 2) * 2) << "12 frames at 24 fps";
    const auto left = soundfix::channel(samples, 0, size_t(0.1 * kRate), size_t(0.4 * kRate));
    EXPECT_NEAR(soundfix::rms(left), kFullRms / 2, 40);
    EXPECT_NEAR(soundfix::frequency(left, kRate), 1000, 2);
    EXPECT_LT(soundfix::rms(soundfix::channel(samples, 1, size_t(0.1 * kRate), size_t(0.4 * kRate))), 1);
}
#endif

}  // namespace
