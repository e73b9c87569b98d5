// Decoders turn a sound's coded bytes into 16-bit stereo. PCM and ADPCM are decoded here;
// MP3 goes through a decoder the host supplies (the system's codec on Windows, libmpg123 in
// native builds), so the core carries no MP3 code and no platform header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../model/sound.h"

namespace swf {

class SoundDecoder {
public:
    virtual ~SoundDecoder() = default;
    // Appends the frames of `data` to `out` as interleaved left/right pairs. Called again with
    // the next bytes of the same sound (a soundtrack's next block): MP3 decoders keep their
    // state across calls. False when the bytes do not decode (what did decode is kept).
    virtual bool decode(const uint8_t* data, size_t size, std::vector<int16_t>& out) = 0;
    // Frames per second of the output; an MP3 decoder knows it once a frame has decoded.
    virtual int sampleRate() const = 0;
};

// Makes an MP3 decoder for a sound of this format; null when none is available.
using Mp3DecoderFactory = std::function<std::unique_ptr<SoundDecoder>(const SoundFormat&)>;

// The decoder for `format`; null with a warning for codings that are not played (Nellymoser,
// Speex, unknown ones, MP3 without a factory).
std::unique_ptr<SoundDecoder> makeSoundDecoder(const SoundFormat& format, const Mp3DecoderFactory& mp3,
                                               std::string& warning);

}  // namespace swf
