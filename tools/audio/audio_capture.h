// Plays a movie without a sound device and keeps what it would have played, as a host with
// sound does: the recorder pulls the mix in steps of the host's tick. For `swfrun --audio`
// and the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <runtime/player.h>

namespace swfaudio {

class AudioRecorder {
public:
    // Gives the player the MP3 decoder and makes this recorder its sound clock. Without `keep`
    // the mix is dropped: sounds still play out in time (onSoundComplete), nothing is stored.
    explicit AudioRecorder(swf::Player& player, bool keep = true);
    // Pulls `ms` milliseconds of the mix; tick lengths need not be whole samples.
    void pull(double ms);
    const std::vector<int16_t>& samples() const { return samples_; }  // stereo, kAudioRate
    bool writeWav(const std::string& path) const;

private:
    swf::Player& player_;
    bool keep_;
    std::vector<int16_t> samples_;
    double owed_ = 0;  // samples due but not yet pulled
};

struct CapturedAudio {
    std::vector<int16_t> samples;  // interleaved stereo at swf::Player::kAudioRate
    std::vector<int> frameAtTick;  // the 1-based frame shown after each tick
};

// Runs `ticks` host ticks of `tickMs` each (the movie's frame interval when 0): each tick pulls
// that much audio from the player, then advances it by the same time.
CapturedAudio captureAudio(swf::Player& player, int ticks, double tickMs = 0);

}  // namespace swfaudio
