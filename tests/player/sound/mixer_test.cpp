// The mixer: resampling, in/out points, loops, envelopes, transforms, the voice limit, and the
// frame sounds' sync rules through the player.
#include <gtest/gtest.h>

#include <audio/mixer.h>
#include <sound_tags.h>
#include <test_movie.h>

#include "signal_measure.h"
#include "sound_fixtures.h"

namespace {

std::shared_ptr<swf::PcmSound> sineSound(double hz, int rate, double seconds, int amplitude) {
    auto s = std::make_shared<swf::PcmSound>();
    s->rate = rate;
    s->samples = soundfix::sine(hz, rate, seconds, amplitude, 2);
    return s;
}

// Mixes until every voice has ended (at most `limit` frames); returns what was heard.
std::vector<int16_t> mixAll(swf::Mixer& mixer, size_t limit = 44100 * 20) {
    std::vector<int16_t> out;
    std::vector<int16_t> block(1024 * 2);
    while (mixer.activeVoices() > 0 && out.size() / 2 < limit) {
        mixer.mix(block.data(), 1024);
        out.insert(out.end(), block.begin(), block.end());
    }
    return out;
}

// Frames up to the last one that is not silent.
size_t heardLength(const std::vector<int16_t>& stereo) {
    size_t n = stereo.size() / 2;
    while (n > 0 && stereo[n * 2 - 1] == 0 && stereo[n * 2 - 2] == 0) --n;
    return n;
}

TEST(Mixer, ResamplesEveryRateToTheOutputRate) {
    for (int rate : {5512, 11025, 22050, 44100}) {
        swf::Mixer mixer(44100);
        ASSERT_NE(mixer.play(sineSound(500, rate, 1.0, 10000), {}, 1), 0u);
        std::vector<int16_t> out = mixAll(mixer);
        EXPECT_NEAR(double(heardLength(out)), 44100.0, 44100.0 / rate + 2) << rate;
        auto left = soundfix::channel(out, 0, 4410, 39690);
        EXPECT_NEAR(soundfix::frequency(left, 44100), 500, 2.5) << rate;
        // Linear interpolation dulls a 500 Hz tone from 5.5 kHz by up to 3 %.
        EXPECT_NEAR(soundfix::rms(left), 10000 / std::sqrt(2.0), 10000 * 0.05) << rate;
    }
}

TEST(Mixer, InAndOutPointsInFortyFourKilohertzSamplesAndLoops) {
    // The points count 44.1 kHz samples even for an 11 kHz sound.
    swf::SoundInfo info;
    info.inPoint44 = 4200;    // source frame 1050
    info.outPoint44 = 26460;  // source frame 6615
    info.loops = 3;
    swf::Mixer mixer(44100);
    ASSERT_NE(mixer.play(sineSound(525, 11025, 1.0, 10000), info, 1), 0u);
    std::vector<int16_t> out = mixAll(mixer);
    EXPECT_NEAR(double(heardLength(out)), 3 * (6615 - 1050) * 4.0, 8);
    // The sound starts at its in point: 1050 frames are 50 periods of 525 Hz, so the first
    // samples rise from zero.
    EXPECT_GT(out[2 * 5], 0);
    EXPECT_LT(std::abs(out[0]), 200);
}

TEST(Mixer, EnvelopeShapesEachChannel) {
    swf::SoundInfo info;
    // Left fades in over the second, right is silent throughout.
    info.envelope = {{0, 0, 0}, {44100, 32768, 0}};
    swf::Mixer mixer(44100);
    mixer.play(sineSound(500, 22050, 1.0, 16000), info, 1);
    std::vector<int16_t> out = mixAll(mixer);
    double early = soundfix::rms(soundfix::channel(out, 0, 0, 4410));
    double late = soundfix::rms(soundfix::channel(out, 0, 39690, 44100));
    EXPECT_LT(early, 16000 * 0.1);
    EXPECT_GT(late, 16000 * 0.6);
    EXPECT_EQ(soundfix::rms(soundfix::channel(out, 1)), 0);
}

TEST(Mixer, TransformPanAndMasterVolume) {
    swf::Mixer mixer(44100);
    swf::VoiceId voice = mixer.play(sineSound(500, 44100, 0.5, 10000), {}, 1);
    mixer.setTransform(voice, swf::SoundTransform::volumeAndPan(0.5f, -1));  // half volume, all left
    mixer.setMasterVolume(0.5f);
    std::vector<int16_t> out = mixAll(mixer);
    EXPECT_NEAR(soundfix::rms(soundfix::channel(out, 0, 0, 22050)), 2500 / std::sqrt(2.0), 40);
    EXPECT_EQ(soundfix::rms(soundfix::channel(out, 1)), 0);
}

TEST(Mixer, ThirtyTwoVoicesAtMostAndSumsClamped) {
    swf::Mixer mixer(44100);
    auto loud = sineSound(100, 44100, 0.2, 30000);
    for (int i = 0; i < 32; ++i) EXPECT_NE(mixer.play(loud, {}, uint16_t(i + 1)), 0u);
    EXPECT_EQ(mixer.play(loud, {}, 99), 0u) << "the 33rd sound is not heard";
    EXPECT_EQ(mixer.activeVoices(), 32u);
    std::vector<int16_t> out = mixAll(mixer);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 32767);
    EXPECT_EQ(*std::min_element(out.begin(), out.end()), -32768);
    mixer.stopAll();
    EXPECT_TRUE(mixer.play(loud, {}, 99));
}

TEST(Mixer, StopByVoiceSoundAndOwner) {
    swf::Mixer mixer(44100);
    auto s = sineSound(100, 44100, 1, 1000);
    int owner = 0;
    swf::VoiceId a = mixer.play(s, {}, 1);
    mixer.play(s, {}, 2);
    mixer.play(s, {}, 2);
    mixer.play(s, {}, 3, &owner);
    EXPECT_TRUE(mixer.isPlaying(2));
    mixer.stopSound(2);
    EXPECT_FALSE(mixer.isPlaying(2));
    mixer.stopOwner(&owner);
    EXPECT_FALSE(mixer.isPlaying(3));
    EXPECT_TRUE(mixer.isActive(a));
    std::vector<int16_t> block(200);
    mixer.mix(block.data(), 100);
    EXPECT_NEAR(mixer.positionMs(a), 100 * 1000.0 / 44100, 0.01);
    mixer.stop(a);
    EXPECT_EQ(mixer.activeVoices(), 0u);
    EXPECT_TRUE(mixer.takeFinished().empty()) << "stopped voices did not finish";
}

TEST(Mixer, FinishedVoicesAreReportedOnce) {
    swf::Mixer mixer(44100);
    swf::VoiceId shortOne = mixer.play(sineSound(100, 44100, 0.01, 1000), {}, 1);
    swf::VoiceId longOne = mixer.play(sineSound(100, 44100, 1, 1000), {}, 2);
    std::vector<int16_t> block(2048 * 2);
    mixer.mix(block.data(), 2048);
    EXPECT_EQ(mixer.takeFinished(), std::vector<swf::VoiceId>{shortOne});
    EXPECT_TRUE(mixer.takeFinished().empty());
    EXPECT_TRUE(mixer.isActive(longOne));
}

// A three-frame looping movie whose first frame starts sound 1 with `info`.
std::unique_ptr<swf::Player> loopingStartMovie(const swf::SoundInfo& info, bool stopInFrame3) {
    swf::SoundFormat f;
    f.rateHz = 44100;
    swfw::MovieWriter movie(8, 100, 100, 10);
    std::vector<int16_t> samples = soundfix::sine(300, 44100, 2.0, 5000, 1);
    movie.add(swfw::defineSound(1, f, uint32_t(samples.size()), swfw::encodePcm(samples, true)));
    movie.add(swfw::startSound(1, info));
    movie.showFrame();
    movie.showFrame();
    swf::SoundInfo stop;
    stop.syncStop = true;
    if (stopInFrame3) movie.add(swfw::startSound(1, stop));
    movie.showFrame();
    return testing_support::play(movie.build());
}

int voicesAfter(swf::Player& player, int frames) {
    for (int i = 0; i < frames; ++i) player.advance(100);
    return int(player.soundEngine().mixer().activeVoices());
}

TEST(FrameSounds, EachLoopStartsTheSoundAgainUnlessNoMultiple) {
    // Two-second sound, the timeline loops every 0.3 s.
    auto plain = loopingStartMovie({}, false);
    EXPECT_EQ(voicesAfter(*plain, 7), 3);
    swf::SoundInfo once;
    once.syncNoMultiple = true;
    auto single = loopingStartMovie(once, false);
    EXPECT_EQ(voicesAfter(*single, 7), 1);
}

TEST(FrameSounds, SyncStopEndsTheSound) {
    auto player = loopingStartMovie({}, true);
    EXPECT_EQ(voicesAfter(*player, 1), 1);
    EXPECT_EQ(voicesAfter(*player, 1), 0) << "frame 3 stops it";
    EXPECT_EQ(voicesAfter(*player, 1), 1) << "frame 1 of the next loop starts it";
}

TEST(FrameSounds, StopSoundsSilencesAtOnce) {
    auto player = loopingStartMovie({}, false);
    voicesAfter(*player, 1);
    player->stopSounds();
    std::vector<int16_t> out(2000, 5);
    player->mixAudio(out.data(), 1000);
    EXPECT_EQ(soundfix::rms(soundfix::channel(out, 0)), 0);
}

}  // namespace
