#include "sound_tags.h"

#include <algorithm>
#include <cstdlib>

#include <audio/adpcm_channel.h>

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

// The code whose expansion comes nearest to `target`, picked bit by bit from the largest step;
// `channel` then expands it, exactly as the decoder will.
uint32_t encodeAdpcmSample(swf::AdpcmChannel& channel, int target, int bits) {
    const uint32_t signBit = 1u << (bits - 1);
    int step = swf::kAdpcmStepSizes[channel.index];
    int difference = target - channel.predictor;
    uint32_t code = 0;
    if (difference < 0) {
        code = signBit;
        difference = -difference;
    }
    for (uint32_t mask = signBit >> 1; mask; mask >>= 1, step >>= 1) {
        if (difference >= step) {
            code |= mask;
            difference -= step;
        }
    }
    channel.expand(code, bits);
    return code;
}

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
    swf::AdpcmChannel state[2];
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
        for (size_t c = 0; c < channels; ++c) w.ubits(encodeAdpcmSample(state[c], samples[i * channels + c], bitsPerCode), bitsPerCode);
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
