// Pure rules under the Sound object: how pan reads back from the four gains, how transforms
// nest, and what an MP3 file's ID3 tags give (versions 2.2 to 2.4, text encodings, version 1).
#include <gtest/gtest.h>

#include <audio/mp3_file.h>
#include <runtime/sound_scopes.h>

#include <climits>
#include <random>

namespace {

TEST(ScriptSoundTransform, PanReadsBackFromTheGainsAsTheOriginalDerivesIt) {
    swf::ScriptSoundTransform t;
    t.setPan(50);
    EXPECT_EQ(t.ll, 50);
    EXPECT_EQ(t.rr, 100);
    EXPECT_EQ(t.pan(), 50);
    t.setPan(-30);
    EXPECT_EQ(t.ll, 100);
    EXPECT_EQ(t.rr, 70);
    EXPECT_EQ(t.pan(), -30);
    t.setPan(200);  // past the range: the left gain goes negative, pan reads 100 - |ll|
    EXPECT_EQ(t.ll, -100);
    EXPECT_EQ(t.pan(), 0);
    t.setPan(INT_MIN);  // 32-bit arithmetic wraps as the original's
    EXPECT_EQ(t.rr, -2147483548);
    EXPECT_EQ(t.pan(), 2147483448);
    t.ll = 100;
    t.rr = 150;  // the left gain at 100: pan comes from the right one
    EXPECT_EQ(t.pan(), 50);
}

TEST(ScriptSoundTransform, NestedTransformsMultiply) {
    swf::ScriptSoundTransform parent;
    parent.volume = 50;
    swf::ScriptSoundTransform child;
    child.setPan(-100);  // right speaker silent
    const swf::SoundTransform outer = swf::combine(swf::SoundTransform{}, parent);
    const swf::SoundTransform both = swf::combine(outer, child);
    EXPECT_FLOAT_EQ(both.leftToLeft, 0.5f);
    EXPECT_FLOAT_EQ(both.rightToRight, 0.0f);
    swf::ScriptSoundTransform swap;  // left input to the right speaker and back
    swap.ll = swap.rr = 0;
    swap.lr = swap.rl = 100;
    const swf::SoundTransform swapped = swf::combine(both, swap);
    EXPECT_FLOAT_EQ(swapped.rightToLeft, 0.5f) << "the right input reaches the left speaker at the parent's level";
    EXPECT_FLOAT_EQ(swapped.leftToRight, 0.0f) << "and the left input goes where the child pan silenced it";
    swf::ScriptSoundTransform loud;
    loud.volume = INT_MAX;
    EXPECT_LE(swf::combine(swf::SoundTransform{}, loud).leftToLeft, 8.0f) << "gains are capped";
    loud.volume = -50;
    EXPECT_EQ(swf::combine(swf::SoundTransform{}, loud).leftToLeft, 0.0f) << "a negative volume is silence";
}

using Bytes = std::vector<uint8_t>;

Bytes id3Header(int major, uint8_t flags, size_t size) {
    return {'I', 'D', '3', uint8_t(major), 0, flags, uint8_t(size >> 21 & 0x7f), uint8_t(size >> 14 & 0x7f),
            uint8_t(size >> 7 & 0x7f), uint8_t(size & 0x7f)};
}

void append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

// An MPEG 1 layer III header at 44.1 kHz, 128 kbps, mono.
const Bytes kFrameHeader{0xff, 0xfb, 0x90, 0xc4};

TEST(Mp3File, Id3v24FramesInEachEncodingAndTheAudioAfterThem) {
    Bytes frames;
    auto frame = [&](const char* id, const Bytes& body, uint8_t formatFlags = 0) {
        append(frames, Bytes(id, id + 4));
        append(frames, {0, 0, uint8_t(body.size() >> 7), uint8_t(body.size() & 0x7f), 0, formatFlags});  // sync-safe
        append(frames, body);
    };
    frame("TIT2", {3, 'T', 0xc3, 0xa9, 0});                    // UTF-8 with its terminator
    frame("TPE1", {2, 0, 'A', 0, 'B'});                        // UTF-16BE
    frame("COMM", {0, 'e', 'n', 'g', 'd', 0, 'h', 'i'});       // Latin-1, short description then text
    frame("TXXX", {0, 'k', 0, 'v'});                           // user text: not a basic frame
    frame("APIC", {0, 1, 2, 3});                               // not text
    frame("TALB", {0, 0xff, 0x00, 'x'}, 0x02);                 // unsynchronised: 0xFF 0x00 is 0xFF
    Bytes file = id3Header(4, 0, frames.size());
    append(file, frames);
    const size_t audio = file.size();
    append(file, kFrameHeader);
    file.resize(file.size() + 400, 0);

    const swf::Mp3File read = swf::readMp3File(file.data(), file.size());
    EXPECT_TRUE(read.hasId3v2);
    EXPECT_EQ(read.audioBegin, audio);
    EXPECT_EQ(read.audioEnd, file.size());
    EXPECT_EQ(read.rateHz, 44100);
    EXPECT_FALSE(read.stereo);
    ASSERT_EQ(read.frames.size(), 4u);
    EXPECT_EQ(read.frames[0].id, "TIT2");
    EXPECT_EQ(read.frames[0].text, "T\xc3\xa9");
    EXPECT_EQ(read.frames[1].text, "AB");
    EXPECT_EQ(read.frames[2].id, "COMM");
    EXPECT_EQ(read.frames[2].text, "hi");
    EXPECT_EQ(read.frames[3].text, "\xc3\xbfx") << "Latin-1 0xFF after undoing unsynchronisation";
}

TEST(Mp3File, Id3v22NamesAndAVersion1TagAtTheEnd) {
    Bytes frames{'T', 'T', '2', 0, 0, 4, 0, 'O', 'l', 'd'};
    Bytes file = id3Header(2, 0, frames.size());
    append(file, frames);
    append(file, kFrameHeader);
    file.resize(file.size() + 100, 0);
    Bytes v1(128, 0);
    const std::string title = "Song", year = "1999";
    std::copy(title.begin(), title.end(), v1.begin() + 3);
    std::copy(year.begin(), year.end(), v1.begin() + 93);
    v1[0] = 'T', v1[1] = 'A', v1[2] = 'G';
    v1[126] = 7;   // track (version 1.1)
    v1[127] = 17;  // genre number
    const size_t audioEnd = file.size();
    append(file, v1);

    const swf::Mp3File read = swf::readMp3File(file.data(), file.size());
    ASSERT_EQ(read.frames.size(), 1u);
    EXPECT_EQ(read.frames[0].id, "TIT2");
    EXPECT_EQ(read.frames[0].text, "Old");
    EXPECT_TRUE(read.hasId3v1);
    EXPECT_EQ(read.audioEnd, audioEnd);
    EXPECT_EQ(read.title, "Song");
    EXPECT_EQ(read.year, "1999");
    EXPECT_EQ(read.track, "7");
    EXPECT_EQ(read.genre, "17");
}

TEST(Mp3File, DamagedTagsEndReadingSafely) {
    // A tag longer than the file, a frame longer than its tag, then random bytes.
    Bytes cut = id3Header(3, 0, 5000);
    append(cut, {'T', 'I', 'T', '2', 0x7f, 0, 0, 0, 0, 0, 0, 'x'});
    const swf::Mp3File read = swf::readMp3File(cut.data(), cut.size());
    EXPECT_TRUE(read.frames.empty());
    EXPECT_EQ(read.audioBegin, cut.size());
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        Bytes noise = id3Header(2 + round % 3, uint8_t(random()), random() % 300);
        noise.resize(noise.size() + random() % 300);
        for (size_t i = 10; i < noise.size(); ++i) noise[i] = uint8_t(random());
        const swf::Mp3File r = swf::readMp3File(noise.data(), noise.size());
        EXPECT_LE(r.audioBegin, r.audioEnd);
        EXPECT_LE(r.audioEnd, noise.size());
    }
}

}  // namespace
