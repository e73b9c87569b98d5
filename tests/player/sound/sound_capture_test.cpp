// The mix captured without a device, and the WAV file it is written to.
#include <gtest/gtest.h>

#include <audio/audio_capture.h>
#include <audio/wav_file.h>
#include <test_movie.h>

#include "signal_measure.h"
#include "sound_fixtures.h"

namespace {

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

TEST(WavFile, HeaderDescribesTheSamples) {
    std::vector<int16_t> samples = {1, -1, 300, -300, 32767, -32768};
    std::vector<uint8_t> wav = swfaudio::encodeWav(samples, 44100, 2);
    ASSERT_EQ(wav.size(), 44u + 12u);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(le32(wav, 4), wav.size() - 8);
    EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le32(wav, 24), 44100u);
    EXPECT_EQ(le32(wav, 28), 44100u * 4) << "bytes per second";
    EXPECT_EQ(wav[22], 2) << "channels";
    EXPECT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
    EXPECT_EQ(le32(wav, 40), 12u);
    EXPECT_EQ(int16_t(wav[44 + 10] | wav[44 + 11] << 8), -32768);
}

TEST(AudioCapture, AnEventSoundComesOutAtTheOutputRate) {
    // Half a second of 11 kHz 600 Hz, captured over one second of 12 fps ticks.
    swf::SoundFormat f;
    f.rateHz = 11025;
    auto player = testing_support::play(soundfix::eventSoundMovie(f, soundfix::sine(600, 11025, 0.5, 8000, 1)));
    swfaudio::CapturedAudio audio = swfaudio::captureAudio(*player, 12);
    ASSERT_EQ(audio.samples.size(), 44100u * 2);
    ASSERT_EQ(audio.frameAtTick.size(), 12u);
    auto sound = soundfix::channel(audio.samples, 0, 2000, 20000);
    EXPECT_NEAR(soundfix::frequency(sound, 44100), 600, 2);
    EXPECT_NEAR(soundfix::rms(sound), 8000 / std::sqrt(2.0), 8000 * 0.05);
    EXPECT_EQ(soundfix::rms(soundfix::channel(audio.samples, 0, 22200)), 0) << "silence after the sound";
}

}  // namespace
