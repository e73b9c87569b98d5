#include "sound_fixtures.h"

#include <lame/lame.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include <fixtures.h>
#include <sound_tags.h>
#include <tags.h>

namespace soundfix {
namespace {

constexpr double kPi = 3.14159265358979323846;

swf::SoundFormat pcm44(bool stereo) {
    swf::SoundFormat f;
    f.coding = swf::SoundCoding::PcmLittleEndian;
    f.rateHz = 44100;
    f.sixteenBit = true;
    f.stereo = stereo;
    return f;
}

}  // namespace

std::vector<int16_t> sine(double hz, int rate, double seconds, int amplitude, int channels, double rightScale) {
    const size_t frames = size_t(seconds * rate);
    std::vector<int16_t> out;
    out.reserve(frames * size_t(channels));
    for (size_t i = 0; i < frames; ++i) {
        double v = amplitude * std::sin(2 * kPi * hz * double(i) / rate);
        out.push_back(int16_t(std::lround(v)));
        if (channels == 2) out.push_back(int16_t(std::lround(v * rightScale)));
    }
    return out;
}

Bytes encodeMp3(const std::vector<int16_t>& samples, int rate, int channels, int kbps) {
    lame_global_flags* lame = lame_init();
    if (!lame) throw std::runtime_error("lame_init failed");
    lame_set_in_samplerate(lame, rate);
    lame_set_out_samplerate(lame, rate);
    lame_set_num_channels(lame, channels);
    lame_set_mode(lame, channels == 2 ? JOINT_STEREO : MONO);
    lame_set_brate(lame, kbps);
    lame_set_bWriteVbrTag(lame, 0);
    lame_set_quality(lame, 5);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        throw std::runtime_error("lame_init_params failed");
    }
    const int frames = int(samples.size()) / channels;
    Bytes out(size_t(frames) * 5 / 4 + 7200 * 2);
    std::vector<int16_t> mono(samples);
    int n = channels == 2 ? lame_encode_buffer_interleaved(lame, const_cast<short*>(samples.data()), frames,
                                                           out.data(), int(out.size()))
                          : lame_encode_buffer(lame, mono.data(), mono.data(), frames, out.data(), int(out.size()));
    if (n < 0) {
        lame_close(lame);
        throw std::runtime_error("lame_encode failed");
    }
    int tail = lame_encode_flush(lame, out.data() + n, int(out.size()) - n);
    lame_close(lame);
    out.resize(size_t(n + std::max(0, tail)));
    return out;
}

int mp3SamplesPerFrame(int rate) { return rate >= 32000 ? 1152 : 576; }

// Frame lengths from the headers: MPEG 1 layer III is 144 * bitrate / rate bytes, MPEG 2 and
// 2.5 half that, plus the padding byte.
std::vector<Bytes> splitMp3Frames(const Bytes& mp3) {
    static const int kBitrates[2][16] = {{0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
                                         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}};
    static const int kRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};
    std::vector<Bytes> frames;
    size_t at = 0;
    while (at + 4 <= mp3.size()) {
        if (mp3[at] != 0xff || (mp3[at + 1] & 0xe0) != 0xe0) throw std::runtime_error("MP3 frame header expected");
        int version = (mp3[at + 1] >> 3) & 3;  // 3 MPEG 1, 2 MPEG 2, 0 MPEG 2.5
        int table = version == 3 ? 0 : 1;
        int rateRow = version == 3 ? 0 : version == 2 ? 1 : 2;
        int bitrate = kBitrates[table][mp3[at + 2] >> 4] * 1000;
        int rate = kRates[rateRow][(mp3[at + 2] >> 2) & 3];
        int padding = (mp3[at + 2] >> 1) & 1;
        size_t length = size_t((version == 3 ? 144 : 72) * bitrate / rate + padding);
        if (length < 4 || at + length > mp3.size()) break;
        frames.emplace_back(mp3.begin() + std::ptrdiff_t(at), mp3.begin() + std::ptrdiff_t(at + length));
        at += length;
    }
    return frames;
}

swfw::Tag exportTag(const std::vector<std::pair<uint16_t, std::string>>& names) {
    swfw::BitWriter w;
    w.u16(uint32_t(names.size()));
    for (const auto& [id, name] : names) {
        w.u16(id);
        w.cstring(name);
    }
    return {56, w.take()};
}

Bytes eventSoundMovie(const swf::SoundFormat& format, const std::vector<int16_t>& samples, int adpcmBits,
                      const swf::SoundInfo& info) {
    const int channels = format.stereo ? 2 : 1;
    Bytes data;
    switch (format.coding) {
        case swf::SoundCoding::Adpcm: data = swfw::encodeAdpcm(samples, format.stereo, adpcmBits); break;
        case swf::SoundCoding::Mp3: data = encodeMp3(samples, format.rateHz, channels, channels == 2 ? 128 : 64); break;
        default: data = swfw::encodePcm(samples, format.sixteenBit); break;
    }
    swfw::MovieWriter movie(8, 100, 100, 12);
    movie.add(swfw::defineSound(1, format, uint32_t(samples.size() / size_t(channels)), data));
    movie.add(swfw::startSound(1, info));
    movie.showFrame();
    return movie.build();
}

Bytes clickTrackMovie(int frames, double fps, bool mp3) {
    const int rate = 44100;
    swf::SoundStreamHead head;
    head.playback = pcm44(true);
    head.stream = pcm44(false);
    head.samplesPerBlock = uint16_t(std::lround(rate / fps));
    if (mp3) head.stream.coding = swf::SoundCoding::Mp3;
    swfw::MovieWriter movie(8, 100, 100, fps);
    movie.add(swfw::soundStreamHead(head, 2));

    // One block per frame: the click starts each frame's share of the soundtrack.
    const size_t perFrame = head.samplesPerBlock;
    std::vector<int16_t> track(perFrame * size_t(frames), 0);
    for (int f = 0; f < frames; ++f)
        for (size_t i = 0; i < 64; ++i) track[size_t(f) * perFrame + i] = int16_t(20000 * std::sin(2 * kPi * 3000 * double(i) / rate));

    std::vector<Bytes> mp3Frames;
    if (mp3) mp3Frames = splitMp3Frames(encodeMp3(track, rate, 1, 128));
    size_t mp3Next = 0;
    size_t samplesWritten = 0;
    const size_t mp3Frame = size_t(mp3SamplesPerFrame(rate));
    for (int f = 0; f < frames; ++f) {
        movie.add(swfw::frameLabel("f" + std::to_string(f + 1)));
        if (mp3) {
            // As encoders do: whole MP3 frames, as many as keep the block up with the timeline.
            Bytes block;
            uint16_t count = 0;
            while (mp3Next < mp3Frames.size() && samplesWritten < perFrame * size_t(f + 1)) {
                block.insert(block.end(), mp3Frames[mp3Next].begin(), mp3Frames[mp3Next].end());
                ++mp3Next;
                samplesWritten += mp3Frame;
                count = uint16_t(count + mp3Frame);
            }
            if (count) movie.add(swfw::soundStreamBlockMp3(count, 0, block));
        } else {
            std::vector<int16_t> part(track.begin() + std::ptrdiff_t(size_t(f) * perFrame),
                                      track.begin() + std::ptrdiff_t(size_t(f + 1) * perFrame));
            movie.add(swfw::soundStreamBlock(swfw::encodePcm(part, true)));
        }
        movie.showFrame();
    }
    return movie.build();
}

Bytes mp3SoundtrackMovie(double seconds, bool withSound) {
    const int rate = 44100;
    const double fps = 24;
    const int frames = int(seconds * fps);
    swfw::MovieWriter movie(8, 320, 240, fps);
    movie.add(swfw::setBackgroundColor(swf::Rgba{20, 30, 60, 255}));
    movie.add(fixtures::squareShape(1, 40, swf::Rgba{240, 200, 40, 255}));

    std::vector<Bytes> mp3Frames;
    swf::SoundStreamHead head;
    head.playback = pcm44(true);
    head.stream = pcm44(true);
    head.stream.coding = swf::SoundCoding::Mp3;
    head.samplesPerBlock = uint16_t(rate / fps);
    if (withSound) {
        // 440 Hz on the left, 660 Hz at two thirds of the level on the right.
        std::vector<int16_t> left = sine(440, rate, seconds, 6000, 1);
        std::vector<int16_t> right = sine(660, rate, seconds, 4000, 1);
        std::vector<int16_t> both;
        for (size_t i = 0; i < left.size(); ++i) both.insert(both.end(), {left[i], right[i]});
        mp3Frames = splitMp3Frames(encodeMp3(both, rate, 2, 128));
        movie.add(swfw::soundStreamHead(head, 1));
    }
    size_t next = 0, written = 0;
    for (int f = 0; f < frames; ++f) {
        if (withSound) {
            Bytes block;
            uint16_t count = 0;
            while (next < mp3Frames.size() && written < size_t(head.samplesPerBlock) * size_t(f + 1)) {
                block.insert(block.end(), mp3Frames[next].begin(), mp3Frames[next].end());
                ++next;
                written += 1152;
                count = uint16_t(count + 1152);
            }
            if (count) movie.add(swfw::soundStreamBlockMp3(count, 0, block));
        }
        swf::Matrix m;
        m.tx = float((f * 8) % 280) * 20;
        m.ty = 100 * 20;
        swfw::Place p;
        p.depth = 1;
        p.character = f == 0 ? std::optional<uint16_t>(1) : std::nullopt;
        p.move = f > 0;
        p.matrix = m;
        movie.add(swfw::placeObject2(p));
        movie.showFrame();
    }
    return movie.build();
}

}  // namespace soundfix
