// Plays a movie without a sound device and keeps what it would have played: the host loop of
// a control with sound, in steps of one frame interval. For `swfrun --audio` and the tests.
#pragma once

#include <cstdint>
#include <vector>

#include <runtime/player.h>

namespace swfaudio {

struct CapturedAudio {
    std::vector<int16_t> samples;  // interleaved stereo at swf::Player::kAudioRate
    std::vector<int> frameAtTick;  // the 1-based frame shown after each tick
};

// Runs `ticks` host ticks of `tickMs` each (the movie's frame interval when 0): each tick pulls
// that much audio from the player, then advances it by the same time.
CapturedAudio captureAudio(swf::Player& player, int ticks, double tickMs = 0);

}  // namespace swfaudio
