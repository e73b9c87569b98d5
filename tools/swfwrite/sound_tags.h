// Sound tags and the codings the player reads: test movies with sound are built from code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <model/sound.h>

#include "movie_writer.h"

namespace swfw {

// Interleaved samples (one or two channels) in the SWF's uncompressed coding: little-endian
// 16-bit, or unsigned 8-bit around 128.
std::vector<uint8_t> encodePcm(const std::vector<int16_t>& samples, bool sixteenBit);
// The format's ADPCM with 2 to 5 bits per code, in packets of 4096 samples per channel.
std::vector<uint8_t> encodeAdpcm(const std::vector<int16_t>& samples, bool stereo, int bitsPerCode);

Tag defineSound(uint16_t id, const swf::SoundFormat& format, uint32_t sampleCount, const std::vector<uint8_t>& data,
                int16_t mp3Seek = 0);
Tag startSound(uint16_t soundId, const swf::SoundInfo& info = {});
Tag startSound2(const std::string& className, const swf::SoundInfo& info = {});
// SoundStreamHead (version 1) or SoundStreamHead2 (version 2).
Tag soundStreamHead(const swf::SoundStreamHead& head, int version = 1);
Tag soundStreamBlock(const std::vector<uint8_t>& data);
Tag soundStreamBlockMp3(uint16_t sampleCount, int16_t seek, const std::vector<uint8_t>& frames);
Tag defineButtonSound(uint16_t buttonId, const swf::ButtonSounds& sounds);

}  // namespace swfw
