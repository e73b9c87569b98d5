// Sounds as the movie stores them: DefineSound characters, the start commands of frames
// (StartSound, StartSound2), a timeline's streamed soundtrack (SoundStreamHead and its blocks)
// and the sounds of button transitions (DefineButtonSound). Coded bytes are kept as they are;
// decoding happens when a sound plays.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace swf {

enum class SoundCoding : uint8_t {
    PcmNativeEndian = 0,  // written on little-endian machines in practice: read as little-endian
    Adpcm = 1,
    Mp3 = 2,
    PcmLittleEndian = 3,
    Nellymoser16k = 4,
    Nellymoser8k = 5,
    Nellymoser = 6,
    Speex = 11,
};

struct SoundFormat {
    SoundCoding coding = SoundCoding::PcmLittleEndian;
    int rateHz = 44100;  // 5512, 11025, 22050 or 44100 (the stored 2-bit code)
    bool sixteenBit = true;
    bool stereo = false;
};

struct SoundEnvelopePoint {
    uint32_t position44 = 0;   // in 44.1 kHz samples from the start of the sound
    uint16_t left = 32768, right = 32768;  // 32768 is full level
};

// The sound info record of StartSound and DefineButtonSound.
struct SoundInfo {
    bool syncStop = false;        // stop every playing instance instead of starting one
    bool syncNoMultiple = false;  // do not start when the sound already plays
    std::optional<uint32_t> inPoint44, outPoint44;  // 44.1 kHz samples
    uint16_t loops = 1;           // plays; 0 as stored means once
    std::vector<SoundEnvelopePoint> envelope;
};

struct SoundStart {
    uint16_t soundId = 0;        // StartSound; 0 for StartSound2
    std::string className;       // StartSound2: an export name, which AS1/2 movies do not use
    SoundInfo info;
};

struct SoundStreamHead {
    SoundFormat playback;  // what the original asked the device for (informational)
    SoundFormat stream;    // how the blocks are coded
    uint16_t samplesPerBlock = 0;
    int16_t latencySeek = 0;  // MP3 only: decoded samples to drop before the first block
};

// One frame's share of the soundtrack. For MP3 the per-block sample count and seek field are
// taken out of `data`.
struct SoundStreamBlock {
    std::vector<uint8_t> data;
    uint16_t mp3SampleCount = 0;
    int16_t mp3Seek = 0;
};

// DefineButtonSound: the sound of each transition (0 over-up to idle, 1 idle to over-up,
// 2 over-up to over-down, 3 over-down to over-up); soundId 0 is none.
struct ButtonSounds {
    struct Entry {
        uint16_t soundId = 0;
        SoundInfo info;
    };
    Entry transitions[4];
};

}  // namespace swf
