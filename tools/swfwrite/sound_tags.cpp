#include "sound_tags.h"

#include <algorithm>
#include <cstdlib>

#include "bit_writer.h"

namespace swfw {
namespace {

int rateCode(int rateHz) {
    if (rateHz <= 5512) return 0;
    if (rateHz <= 11025) return 1;
    if (rateHz <= 22050) return 2;
    return 3;
}

void writeFormat(BitWriter& w, const swf::SoundFormat& f) {
    w.ubits(uint32_t(f.coding), 4);
    w.ubits(uint32_t(rateCode(f.rateHz)), 2);
    w.bit(f.sixteenBit);
    w.bit(f.stereo);
}

void writeSoundInfo(BitWriter& w, const swf::SoundInfo& info) {
    w.ubits(0, 2);
    w.bit(info.syncStop);
    w.bit(info.syncNoMultiple);
    w.bit(!info.envelope.empty());
    w.bit(info.loops != 1);
    w.bit(info.outPoint44.has_value());
    w.bit(info.inPoint44.has_value());
    if (info.inPoint44) w.u32(*info.inPoint44);
    if (info.outPoint44) w.u32(*info.outPoint44);
    if (info.loops != 1) w.u16(info.loops);
    if (!info.envelope.empty()) {
        w.u8(uint32_t(info.envelope.size()));
        for (const swf::SoundEnvelopePoint& p : info.envelope) {
            w.u32(p.position44);
            w.u16(p.left);
            w.u16(p.right);
        }
    }
}

const int kSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
const int kIndexShifts[4][16] = {
    {-1, 2},
    {-1, -1, 2, 4},
    {-1, -1, -1, -1, 2, 4, 6, 8},
    {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16},
};

// One channel of the encoder: picks the code whose reconstruction comes nearest, bit by bit
// from the largest step, and tracks the decoder's state exactly.
struct AdpcmEncoderChannel {
    int predictor = 0, index = 0;

    uint32_t encode(int target, int bits) {
        const uint32_t signBit = 1u << (bits - 1);
        int step = kSteps[index];
        int difference = target - predictor;
        uint32_t code = 0;
        if (difference < 0) {
            code = signBit;
            difference = -difference;
        }
        int reconstructed = 0;
        for (uint32_t mask = signBit >> 1; mask; mask >>= 1, step >>= 1) {
            if (difference >= step) {
                code |= mask;
                difference -= step;
                reconstructed += step;
            }
        }
        reconstructed += step;
        predictor += (code & signBit) ? -reconstructed : reconstructed;
        predictor = std::clamp(predictor, -32768, 32767);
        index = std::clamp(index + kIndexShifts[bits - 2][code & (signBit - 1)], 0, 88);
        return code;
    }
};

}  // namespace

std::vector<uint8_t> encodePcm(const std::vector<int16_t>& samples, bool sixteenBit) {
    BitWriter w;
    for (int16_t s : samples) {
        if (sixteenBit) {
            w.s16(s);
        } else {
            w.u8(uint32_t((s >> 8) + 128));
        }
    }
    return w.take();
}

std::vector<uint8_t> encodeAdpcm(const std::vector<int16_t>& samples, bool stereo, int bitsPerCode) {
    const size_t channels = stereo ? 2 : 1;
    const size_t frames = samples.size() / channels;
    BitWriter w;
    w.ubits(uint32_t(bitsPerCode - 2), 2);
    AdpcmEncoderChannel state[2];
    for (size_t i = 0; i < frames; ++i) {
        if (i % 4096 == 0) {
            for (size_t c = 0; c < channels; ++c) {
                int first = samples[i * channels + c];
                w.ubits(uint32_t(first) & 0xffff, 16);
                // The step index carries over from the previous packet (the first starts at
                // 0), cut to the 6 bits the header stores.
                state[c].predictor = first;
                state[c].index = std::min(state[c].index, 63);
                w.ubits(uint32_t(state[c].index), 6);
            }
            continue;
        }
        for (size_t c = 0; c < channels; ++c) w.ubits(state[c].encode(samples[i * channels + c], bitsPerCode), bitsPerCode);
    }
    return w.take();
}

Tag defineSound(uint16_t id, const swf::SoundFormat& format, uint32_t sampleCount, const std::vector<uint8_t>& data,
                int16_t mp3Seek) {
    BitWriter w;
    w.u16(id);
    writeFormat(w, format);
    w.u32(sampleCount);
    if (format.coding == swf::SoundCoding::Mp3) w.s16(mp3Seek);
    w.bytes(data);
    return {14, w.take()};
}

Tag startSound(uint16_t soundId, const swf::SoundInfo& info) {
    BitWriter w;
    w.u16(soundId);
    writeSoundInfo(w, info);
    return {15, w.take()};
}

Tag startSound2(const std::string& className, const swf::SoundInfo& info) {
    BitWriter w;
    w.cstring(className);
    writeSoundInfo(w, info);
    return {89, w.take()};
}

Tag soundStreamHead(const swf::SoundStreamHead& head, int version) {
    BitWriter w;
    w.ubits(0, 4);
    w.ubits(uint32_t(rateCode(head.playback.rateHz)), 2);
    w.bit(head.playback.sixteenBit);
    w.bit(head.playback.stereo);
    writeFormat(w, head.stream);
    w.u16(head.samplesPerBlock);
    if (head.stream.coding == swf::SoundCoding::Mp3) w.s16(head.latencySeek);
    return {uint16_t(version == 2 ? 45 : 18), w.take()};
}

Tag soundStreamBlock(const std::vector<uint8_t>& data) { return {19, data}; }

Tag soundStreamBlockMp3(uint16_t sampleCount, int16_t seek, const std::vector<uint8_t>& frames) {
    BitWriter w;
    w.u16(sampleCount);
    w.s16(seek);
    w.bytes(frames);
    return {19, w.take()};
}

Tag defineButtonSound(uint16_t buttonId, const swf::ButtonSounds& sounds) {
    BitWriter w;
    w.u16(buttonId);
    for (const auto& entry : sounds.transitions) {
        w.u16(entry.soundId);
        if (entry.soundId) writeSoundInfo(w, entry.info);
    }
    return {17, w.take()};
}

}  // namespace swfw
