// A soundtrack drives the timeline: frames numbered by label, a click at the start of every
// frame's block. Whatever the host's tick, after some seconds the frame shown and the sound
// position agree within one frame; frames are dropped to keep up, the sound is never stretched.
#include <gtest/gtest.h>

#include <audio/audio_capture.h>
#include <audio/mpg123_decoder.h>
#include <test_movie.h>

#include <cmath>

#include "sound_fixtures.h"

namespace {

// Output frames where a click begins (a loud sample after at least 200 quiet ones).
std::vector<size_t> clickStarts(const std::vector<int16_t>& stereo, int threshold) {
    std::vector<size_t> starts;
    size_t quiet = 1000;
    for (size_t i = 0; i < stereo.size() / 2; ++i) {
        if (std::abs(stereo[i * 2]) >= threshold) {
            if (quiet >= 200) starts.push_back(i);
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return starts;
}

struct SyncCase {
    const char* name;
    double fps;
    double tickMs;  // the host's timer
    bool mp3;
};
void PrintTo(const SyncCase& c, std::ostream* os) { *os << c.name; }

class StreamSync : public testing::TestWithParam<SyncCase> {};

TEST_P(StreamSync, FrameAndSoundAgreeWithinOneFrame) {
    const SyncCase& c = GetParam();
    const int frames = int(c.fps * 12);
    auto player = testing_support::play(soundfix::clickTrackMovie(frames, c.fps, c.mp3));
    player->setMp3Decoder(swfaudio::mpg123DecoderFactory());
    const double seconds = 8;
    swfaudio::CapturedAudio audio = swfaudio::captureAudio(*player, int(seconds * 1000 / c.tickMs), c.tickMs);

    const double samplesPerFrame = std::lround(44100 / c.fps);
    const double soundFrame = double(audio.samples.size() / 2) / samplesPerFrame;  // frames' worth heard
    const int shown = player->currentFrame();
    EXPECT_NEAR(double(shown), soundFrame, 1.0) << "after " << seconds << " s";
    EXPECT_GT(shown, int(seconds * c.fps) - 3) << "the timeline kept up";

    // The clicks come exactly one block apart: the soundtrack plays at its own rate.
    std::vector<size_t> clicks = clickStarts(audio.samples, 10000);
    ASSERT_GT(clicks.size(), size_t(seconds * c.fps * 0.9));
    // MP3 smears a click over a few dozen samples, so one interval may be off by that much;
    // their mean may not: a stretched soundtrack would move every click.
    for (size_t i = 1; i < clicks.size(); ++i)
        ASSERT_NEAR(double(clicks[i] - clicks[i - 1]), samplesPerFrame, c.mp3 ? 64 : 0) << "click " << i;
    EXPECT_NEAR(double(clicks.back() - clicks.front()) / double(clicks.size() - 1), samplesPerFrame, 0.5);

    if (c.tickMs > 1000 / c.fps) {
        bool dropped = false;
        for (size_t t = 1; t < audio.frameAtTick.size(); ++t) dropped |= audio.frameAtTick[t] - audio.frameAtTick[t - 1] > 1;
        EXPECT_TRUE(dropped) << "a slow host skips frames instead of slowing the sound";
    }
}

const SyncCase kSyncCases[] = {
    {"pcm_24fps_60hz_host", 24, 1000.0 / 60, false},
    {"pcm_24fps_slow_host", 24, 110, false},
    {"pcm_12fps_exact_host", 12, 1000.0 / 12, false},
    {"mp3_24fps_60hz_host", 24, 1000.0 / 60, true},
    {"mp3_24fps_slow_host", 24, 90, true},
};
INSTANTIATE_TEST_SUITE_P(HostTicks, StreamSync, testing::ValuesIn(kSyncCases),
                         [](const testing::TestParamInfo<SyncCase>& info) { return std::string(info.param.name); });

TEST(StreamSyncLoop, TheSoundtrackStartsAgainWithTheLoop) {
    // 2 s movie played for 5 s: the clicks keep their spacing across the loop points and the
    // frame follows the soundtrack of the current pass.
    auto player = testing_support::play(soundfix::clickTrackMovie(24, 12, false));
    swfaudio::CapturedAudio audio = swfaudio::captureAudio(*player, 300, 1000.0 / 60);
    std::vector<size_t> clicks = clickStarts(audio.samples, 15000);
    EXPECT_GE(clicks.size(), 58u);
    for (size_t i = 1; i < clicks.size(); ++i)
        EXPECT_NEAR(double(clicks[i] - clicks[i - 1]), 3675, 1) << "click " << i << ": the loop points leave no gap";
    const double heardFrames = double(audio.samples.size() / 2) / 3675;
    EXPECT_NEAR(double(player->currentFrame()), std::fmod(heardFrames, 24.0), 1.5);
}

TEST(StreamSyncLoop, NoGapAtTheLoopPointWhateverTheHostTick) {
    // The soundtrack reads on from the first frame's block when the timeline loops; restarting
    // it after the loop left up to one host tick of silence.
    for (double tickMs : {10.0, 1000.0 / 60, 50.0, 110.0}) {
        auto player = testing_support::play(soundfix::clickTrackMovie(48, 24, false));
        swfaudio::CapturedAudio audio = swfaudio::captureAudio(*player, int(5000 / tickMs), tickMs);
        std::vector<size_t> clicks = clickStarts(audio.samples, 15000);
        ASSERT_GE(clicks.size(), 115u) << tickMs << " ms";
        size_t worst = 0;
        for (size_t i = 1; i < clicks.size(); ++i) worst = std::max<size_t>(worst, clicks[i] - clicks[i - 1]);
        EXPECT_EQ(worst, 1838u) << tickMs << " ms host tick";
    }
}

TEST(StreamSyncLoop, ALoopOffMovieEndsItsSoundtrackAtTheLastFrame) {
    auto player = testing_support::play(soundfix::clickTrackMovie(24, 24, false));
    player->setLoop(false);
    swfaudio::CapturedAudio audio = swfaudio::captureAudio(*player, 120, 1000.0 / 60);
    EXPECT_EQ(clickStarts(audio.samples, 15000).size(), 24u) << "one pass, not read on into a second";
    EXPECT_EQ(player->currentFrame(), 24);
}

TEST(StreamSyncSilent, WithoutHostPullsTheTimelineRunsOnTime) {
    // No device: advance() moves the sound on by itself; 3 s at 24 fps is frame 73.
    auto player = testing_support::play(soundfix::clickTrackMovie(240, 24, false));
    for (int t = 0; t < 180; ++t) player->advance(1000.0 / 60);
    EXPECT_NEAR(player->currentFrame(), 73, 1);
}

TEST(StreamSyncStop, AStoppedTimelineSilencesItsSoundtrack) {
    auto player = testing_support::play(soundfix::clickTrackMovie(48, 24, false));
    swfaudio::captureAudio(*player, 30, 1000.0 / 60);
    player->stop();
    player->advance(20);
    std::vector<int16_t> out(44100 * 2, 3);
    player->mixAudio(out.data(), 44100);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 0);
}

}  // namespace

namespace {

TEST(StreamSyncLatency, TheTimelineFollowsWhatIsHeardNotWhatWasPulled) {
    // A device that holds 100 ms: the host keeps that much pulled ahead of the ear.
    for (double latencyMs : {0.0, 100.0}) {
        auto player = testing_support::play(soundfix::clickTrackMovie(240, 24, false));
        player->setAudioPulledByHost(true, latencyMs);
        std::vector<int16_t> block(44100 * 2);
        size_t pulled = 0;
        auto pull = [&](size_t frames) {
            player->mixAudio(block.data(), frames);
            pulled += frames;
        };
        pull(size_t(latencyMs * 44.1));
        for (int t = 0; t < 180; ++t) {  // 3 s of 60 Hz ticks
            pull(735);
            player->advance(1000.0 / 60);
        }
        const double heardFrames = (double(pulled) - latencyMs * 44.1) / 1838;
        EXPECT_NEAR(player->currentFrame(), heardFrames + 1, 1.0) << latencyMs << " ms";
    }
}

}  // namespace
