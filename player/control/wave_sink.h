// The seam between the control's sound thread and the system's wave output: the real sink
// drives waveOut, a test's sink records what the control sent.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace swfctl {

// One buffer of 16-bit stereo samples on its way to the device.
struct WaveBlock {
    std::vector<int16_t> samples;
    WAVEHDR header = {};
    bool queued = false;  // written and not yet given back
};

class WaveSink {
public:
    virtual ~WaveSink() = default;
    // False when there is no device (the movie then plays silently). `blockDone` is set each
    // time the device gives a block back.
    virtual bool open(int rate, HANDLE blockDone) = 0;
    virtual bool write(WaveBlock& block) = 0;
    // Whether the device has given the block back (it may be written again).
    virtual bool done(const WaveBlock& block) = 0;
    // Gives every block back at once and silences the device.
    virtual void reset() = 0;
    virtual void close() = 0;
};

// Makes the sink the control plays through; the waveOut one unless a test replaced it.
using WaveSinkFactory = std::unique_ptr<WaveSink> (*)();
std::unique_ptr<WaveSink> MakeWaveSink();
void SetWaveSinkFactory(WaveSinkFactory factory);  // null: back to waveOut

}  // namespace swfctl
