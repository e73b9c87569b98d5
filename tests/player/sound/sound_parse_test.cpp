// Sound tags into the model: DefineSound, the sound info record, StartSound/2, the soundtrack
// head and blocks, button sounds, and damaged tags.
#include <gtest/gtest.h>

#include <audio/sound_decoder.h>
#include <sound_tags.h>
#include <tags.h>
#include <test_movie.h>

#include "sound_fixtures.h"

using testing_support::character;
using testing_support::load;

namespace {

swf::SoundFormat format(swf::SoundCoding coding, int rate, bool sixteen, bool stereo) {
    swf::SoundFormat f;
    f.coding = coding;
    f.rateHz = rate;
    f.sixteenBit = sixteen;
    f.stereo = stereo;
    return f;
}

swf::SoundInfo fullInfo() {
    swf::SoundInfo info;
    info.syncNoMultiple = true;
    info.inPoint44 = 1000;
    info.outPoint44 = 90000;
    info.loops = 7;
    info.envelope = {{0, 0, 32768}, {44100, 32768, 1200}};
    return info;
}

TEST(SoundParse, DefineSoundKeepsFormatCountAndBytes) {
    swfw::MovieWriter movie(8, 100, 100, 12);
    movie.add(swfw::defineSound(3, format(swf::SoundCoding::Adpcm, 11025, true, true), 4321, {1, 2, 3, 4, 5}));
    movie.add(swfw::defineSound(4, format(swf::SoundCoding::Mp3, 22050, true, false), 1152, {9, 8, 7}, 529));
    movie.add(swfw::defineSound(5, format(swf::SoundCoding::PcmNativeEndian, 5512, false, false), 2, {0x80, 0x81}));
    movie.showFrame();
    auto m = load(movie.build());
    const auto& adpcm = character<swf::SoundCharacter>(*m, 3, swf::CharacterKind::Sound);
    EXPECT_EQ(adpcm.format.coding, swf::SoundCoding::Adpcm);
    EXPECT_EQ(adpcm.format.rateHz, 11025);
    EXPECT_TRUE(adpcm.format.stereo);
    EXPECT_EQ(adpcm.sampleCount, 4321u);
    EXPECT_EQ(adpcm.data, (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    const auto& mp3 = character<swf::SoundCharacter>(*m, 4, swf::CharacterKind::Sound);
    EXPECT_EQ(mp3.mp3Seek, 529) << "the seek count is not sound data";
    EXPECT_EQ(mp3.data, (std::vector<uint8_t>{9, 8, 7}));
    EXPECT_EQ(mp3.format.rateHz, 22050);
    const auto& pcm8 = character<swf::SoundCharacter>(*m, 5, swf::CharacterKind::Sound);
    EXPECT_EQ(pcm8.format.rateHz, 5512);
    EXPECT_FALSE(pcm8.format.sixteenBit);
}

TEST(SoundParse, StartSoundCarriesTheWholeInfoRecord) {
    swfw::MovieWriter movie(8, 100, 100, 12);
    movie.add(swfw::startSound(2, fullInfo()));
    swf::SoundInfo stop;
    stop.syncStop = true;
    movie.add(swfw::startSound2("Music", stop));
    movie.showFrame();
    auto m = load(movie.build());
    ASSERT_EQ(m->timeline.frames.size(), 1u);
    const auto& sounds = m->timeline.frames[0].sounds;
    ASSERT_EQ(sounds.size(), 2u);
    const swf::SoundInfo& info = sounds[0].info;
    EXPECT_EQ(sounds[0].soundId, 2);
    EXPECT_TRUE(info.syncNoMultiple);
    EXPECT_FALSE(info.syncStop);
    EXPECT_EQ(info.inPoint44, 1000u);
    EXPECT_EQ(info.outPoint44, 90000u);
    EXPECT_EQ(info.loops, 7);
    ASSERT_EQ(info.envelope.size(), 2u);
    EXPECT_EQ(info.envelope[1].position44, 44100u);
    EXPECT_EQ(info.envelope[1].left, 32768);
    EXPECT_EQ(info.envelope[1].right, 1200);
    EXPECT_EQ(sounds[1].className, "Music");
    EXPECT_TRUE(sounds[1].info.syncStop);
    EXPECT_EQ(sounds[1].info.loops, 1) << "no loop count means one play";
}

TEST(SoundParse, SoundtrackHeadAndBlocksGoToTheirTimelineAndFrames) {
    swf::SoundStreamHead head;
    head.stream = format(swf::SoundCoding::Mp3, 44100, true, true);
    head.samplesPerBlock = 1837;
    head.latencySeek = 1105;
    swfw::MovieWriter movie(8, 100, 100, 24);
    movie.add(swfw::soundStreamHead(head, 2));
    movie.add(swfw::soundStreamBlockMp3(1152, 17, {0xff, 0xfb, 1}));
    movie.showFrame();
    movie.showFrame();  // a frame without its block
    movie.add(swfw::soundStreamBlockMp3(2304, 0, {0xff, 0xfb, 2, 3}));
    // A sprite's soundtrack is its own, PCM.
    swf::SoundStreamHead spriteHead;
    spriteHead.stream = format(swf::SoundCoding::PcmLittleEndian, 22050, true, false);
    spriteHead.samplesPerBlock = 100;
    movie.add(swfw::defineSprite(9, 1, {swfw::soundStreamHead(spriteHead, 1), swfw::soundStreamBlock({1, 0, 2, 0}),
                                        swfw::Tag{1, {}}}));
    movie.showFrame();
    auto m = load(movie.build());
    ASSERT_TRUE(m->timeline.streamHead);
    EXPECT_EQ(m->timeline.streamHead->stream.coding, swf::SoundCoding::Mp3);
    EXPECT_TRUE(m->timeline.streamHead->stream.stereo);
    EXPECT_EQ(m->timeline.streamHead->samplesPerBlock, 1837);
    EXPECT_EQ(m->timeline.streamHead->latencySeek, 1105);
    ASSERT_EQ(m->timeline.frames.size(), 3u);
    ASSERT_TRUE(m->timeline.frames[0].streamBlock);
    EXPECT_EQ(m->timeline.frames[0].streamBlock->mp3SampleCount, 1152);
    EXPECT_EQ(m->timeline.frames[0].streamBlock->mp3Seek, 17);
    EXPECT_EQ(m->timeline.frames[0].streamBlock->data, (std::vector<uint8_t>{0xff, 0xfb, 1}));
    EXPECT_FALSE(m->timeline.frames[1].streamBlock);
    ASSERT_TRUE(m->timeline.frames[2].streamBlock);
    EXPECT_EQ(m->timeline.frames[2].streamBlock->mp3SampleCount, 2304);

    const auto& sprite = character<swf::SpriteCharacter>(*m, 9, swf::CharacterKind::Sprite);
    ASSERT_TRUE(sprite.timeline.streamHead);
    EXPECT_EQ(sprite.timeline.streamHead->stream.rateHz, 22050);
    ASSERT_EQ(sprite.timeline.frames.size(), 1u);
    ASSERT_TRUE(sprite.timeline.frames[0].streamBlock);
    EXPECT_EQ(sprite.timeline.frames[0].streamBlock->data.size(), 4u) << "PCM blocks have no header";
}

TEST(SoundParse, ButtonSoundsByTransition) {
    swf::ButtonSounds sounds;
    sounds.transitions[1].soundId = 5;
    sounds.transitions[1].info.loops = 2;
    sounds.transitions[3].soundId = 6;
    swfw::MovieWriter movie(8, 100, 100, 12);
    movie.add(swfw::defineButtonSound(40, sounds));
    movie.showFrame();
    auto m = load(movie.build());
    ASSERT_EQ(m->buttonSounds.count(40), 1u);
    const swf::ButtonSounds& got = m->buttonSounds.at(40);
    EXPECT_EQ(got.transitions[0].soundId, 0);
    EXPECT_EQ(got.transitions[1].soundId, 5);
    EXPECT_EQ(got.transitions[1].info.loops, 2);
    EXPECT_EQ(got.transitions[2].soundId, 0);
    EXPECT_EQ(got.transitions[3].soundId, 6);
}

TEST(SoundParse, DamagedSoundTagsAreSkippedWithAWarning) {
    swfw::MovieWriter movie(8, 100, 100, 12);
    movie.add(swfw::Tag{14, {1, 0, 0x3e}});  // DefineSound cut inside its sample count
    swfw::Tag start = swfw::startSound(2, fullInfo());
    start.body.resize(start.body.size() - 3);  // envelope cut short
    movie.add(start);
    movie.add(swfw::Tag{18, {0x0f}});  // SoundStreamHead of one byte
    movie.add(swfw::soundStreamBlock({1, 2, 3}));  // a block without a head is kept as PCM bytes
    movie.showFrame();
    auto m = load(movie.build());
    EXPECT_EQ(m->character(1), nullptr);
    EXPECT_TRUE(m->timeline.frames.at(0).sounds.empty());
    EXPECT_FALSE(m->timeline.streamHead);
    EXPECT_EQ(m->warnings.size(), 3u);
    // Playing it is safe too.
    auto player = testing_support::play(movie.build());
    std::vector<int16_t> out(2048);
    player->mixAudio(out.data(), 1024);
    player->advance(200);
}

}  // namespace

namespace {

// Damaged sound data plays as whatever it decodes to, never reads outside its bytes and never
// makes more than its size allows.
TEST(SoundHostile, DecodersTakeAnyBytes) {
    std::vector<uint8_t> noise(10007);
    uint32_t state = 12345;
    for (uint8_t& b : noise) b = uint8_t((state = state * 1103515245u + 12345u) >> 24);
    for (swf::SoundCoding coding : {swf::SoundCoding::PcmNativeEndian, swf::SoundCoding::Adpcm}) {
        for (int size : {0, 1, 2, 3, 5, 100, 10007}) {
            for (bool stereo : {false, true}) {
                swf::SoundFormat f;
                f.coding = coding;
                f.stereo = stereo;
                std::string warning;
                auto decoder = swf::makeSoundDecoder(f, nullptr, warning);
                ASSERT_TRUE(decoder);
                std::vector<int16_t> out;
                decoder->decode(noise.data(), size_t(size), out);
                EXPECT_LE(out.size(), size_t(size) * 8 + 2) << int(coding) << " " << size;  // 2-bit mono at most
                EXPECT_EQ(out.size() % 2, 0u);
            }
        }
    }
}

TEST(SoundHostile, OddInfoRecordsPlaySafely) {
    swf::SoundInfo backwards;  // out before in, envelope out of order
    backwards.inPoint44 = 50000;
    backwards.outPoint44 = 100;
    swf::SoundInfo unordered;
    unordered.envelope = {{40000, 100, 100}, {10, 32768, 0}, {40000, 0, 65535}};
    unordered.inPoint44 = 0xffffffffu;  // beyond the sound: nothing plays
    swf::SoundInfo many;
    many.loops = 65535;
    many.envelope = {{0, 65535, 65535}};  // above full level: clamped by the mix
    swf::SoundFormat f;
    for (const swf::SoundInfo& info : {backwards, unordered, many}) {
        auto player = testing_support::play(soundfix::eventSoundMovie(f, soundfix::sine(440, 44100, 0.05, 30000, 1), 4, info));
        std::vector<int16_t> out(44100 * 2);
        player->mixAudio(out.data(), 44100);
        player->advance(1000);
    }
}

}  // namespace

namespace {

TEST(SoundParse, ExportAssetsNamesCharactersALaterNameReplaces) {
    swfw::MovieWriter movie(8, 100, 100, 12);
    movie.add(swfw::defineSound(3, format(swf::SoundCoding::PcmLittleEndian, 44100, true, false), 1, {0, 0}));
    movie.add(soundfix::exportTag({{3, "beep"}, {7, "later"}, {9, "beep"}}));
    swfw::Tag cut = soundfix::exportTag({{4, "cut"}});
    cut.body.resize(3);  // the count and half an id
    movie.add(cut);
    movie.showFrame();
    auto loaded = load(movie.build());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->exports.size(), 2u);
    EXPECT_EQ(loaded->exports.at("beep"), 9);
    EXPECT_EQ(loaded->exports.at("later"), 7) << "a name may come before its character";
    EXPECT_FALSE(loaded->warnings.empty()) << "the cut tag is reported";
}

}  // namespace
