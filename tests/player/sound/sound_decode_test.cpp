// Decoders against known signals: a sine written in each coding by the SWF writer, decoded by
// the player (MP3 through libmpg123), its frequency and level measured back.
#include <gtest/gtest.h>

#include <audio/mpg123_decoder.h>
#include <test_movie.h>

#include <string>

#include "signal_measure.h"
#include "sound_fixtures.h"

namespace {

struct Case {
    const char* name;
    swf::SoundCoding coding;
    int rate;
    bool sixteenBit;
    bool stereo;
    int adpcmBits;
    double levelTolerance;  // relative RMS error allowed
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class SineDecode : public testing::TestWithParam<Case> {};

TEST_P(SineDecode, FrequencyAndLevelComeBack) {
    const Case& c = GetParam();
    const double hz = c.rate >= 11025 ? 1000 : 440;
    const int amplitude = 12000;
    swf::SoundFormat format;
    format.coding = c.coding;
    format.rateHz = c.rate;
    format.sixteenBit = c.sixteenBit;
    format.stereo = c.stereo;
    auto player = testing_support::play(
        soundfix::eventSoundMovie(format, soundfix::sine(hz, c.rate, 1.0, amplitude, c.stereo ? 2 : 1, 0.5), c.adpcmBits));
    player->setMp3Decoder(swfaudio::mpg123DecoderFactory());
    std::shared_ptr<const swf::PcmSound> pcm = player->soundEngine().decoded(1);
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->rate, c.rate);
    // MP3 adds the encoder's delay and pads to whole frames: about a second either way.
    EXPECT_NEAR(double(pcm->frames()), double(c.rate), c.coding == swf::SoundCoding::Mp3 ? 3000 : 1);

    // Away from the edges, where MP3 fades in.
    const size_t from = size_t(c.rate / 10), to = size_t(c.rate * 9 / 10);
    const double expectedRms = amplitude / std::sqrt(2.0);
    auto left = soundfix::channel(pcm->samples, 0, from, to);
    auto right = soundfix::channel(pcm->samples, 1, from, to);
    EXPECT_NEAR(soundfix::frequency(left, c.rate), hz, hz * 0.005);
    EXPECT_NEAR(soundfix::rms(left), expectedRms, expectedRms * c.levelTolerance);
    // Stereo keeps its channels apart (the right was written at half level); mono plays on both.
    const double rightRms = c.stereo ? expectedRms / 2 : expectedRms;
    EXPECT_NEAR(soundfix::rms(right), rightRms, rightRms * c.levelTolerance * 2);
    EXPECT_NEAR(soundfix::frequency(right, c.rate), hz, hz * 0.005);
}

const Case kCases[] = {
    {"pcm16_44k_mono", swf::SoundCoding::PcmLittleEndian, 44100, true, false, 0, 0.002},
    {"pcm16_22k_stereo", swf::SoundCoding::PcmLittleEndian, 22050, true, true, 0, 0.002},
    {"pcm16_native_11k_stereo", swf::SoundCoding::PcmNativeEndian, 11025, true, true, 0, 0.002},
    {"pcm8_5k_mono", swf::SoundCoding::PcmNativeEndian, 5512, false, false, 0, 0.02},
    {"pcm8_44k_stereo", swf::SoundCoding::PcmLittleEndian, 44100, false, true, 0, 0.02},
    {"adpcm2_22k_mono", swf::SoundCoding::Adpcm, 22050, true, false, 2, 0.25},
    {"adpcm3_11k_stereo", swf::SoundCoding::Adpcm, 11025, true, true, 3, 0.10},
    {"adpcm4_44k_stereo", swf::SoundCoding::Adpcm, 44100, true, true, 4, 0.04},
    {"adpcm5_5k_mono", swf::SoundCoding::Adpcm, 5512, true, false, 5, 0.03},
    // Lossy at 64 to 128 kbps: a few per cent of level go.
    {"mp3_44k_stereo", swf::SoundCoding::Mp3, 44100, true, true, 0, 0.08},
    {"mp3_22k_mono", swf::SoundCoding::Mp3, 22050, true, false, 0, 0.08},
    {"mp3_11k_mono", swf::SoundCoding::Mp3, 11025, true, false, 0, 0.08},
};
INSTANTIATE_TEST_SUITE_P(EachCoding, SineDecode, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(SoundDecode, AdpcmPacketsLongerThanOneKeepTheSignal) {
    // 3 s at 5512 Hz: four packets of 4096 samples, each restarting from its stored sample.
    swf::SoundFormat format;
    format.coding = swf::SoundCoding::Adpcm;
    format.rateHz = 5512;
    auto player = testing_support::play(soundfix::eventSoundMovie(format, soundfix::sine(300, 5512, 3.0, 9000, 1), 4));
    auto pcm = player->soundEngine().decoded(1);
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->frames(), 3u * 5512u);
    auto last = soundfix::channel(pcm->samples, 0, 3 * 4096, 4 * 4096);
    EXPECT_NEAR(soundfix::frequency(last, 5512), 300, 1.5);
    EXPECT_NEAR(soundfix::rms(last), 9000 / std::sqrt(2.0), 9000 * 0.05);
}

TEST(SoundDecode, UnplayedCodingsAreSkippedWithAWarning) {
    for (swf::SoundCoding coding : {swf::SoundCoding::Nellymoser, swf::SoundCoding::Nellymoser8k, swf::SoundCoding::Speex,
                                    swf::SoundCoding::Mp3}) {
        swf::SoundFormat format;
        format.coding = coding;
        // MP3 without a decoder from the host: the same outcome.
        auto player = testing_support::play(soundfix::eventSoundMovie(format, std::vector<int16_t>(400, 1)));
        EXPECT_FALSE(player->soundEngine().decoded(1));
        std::vector<std::string> warnings = player->soundWarnings();
        ASSERT_EQ(warnings.size(), 1u) << int(coding);
        EXPECT_NE(warnings[0].find("sound 1"), std::string::npos) << warnings[0];
        std::vector<int16_t> out(2000, 7);
        player->mixAudio(out.data(), 1000);
        EXPECT_EQ(soundfix::rms(soundfix::channel(out, 0)), 0) << "silence, not garbage";
    }
}

}  // namespace
