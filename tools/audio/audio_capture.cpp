#include "audio_capture.h"

#include <cmath>

namespace swfaudio {

CapturedAudio captureAudio(swf::Player& player, int ticks, double tickMs) {
    if (!(tickMs > 0)) tickMs = 1000.0 / player.frameRate();
    CapturedAudio result;
    player.setAudioPulledByHost(true);
    double owed = 0;  // audio frames due but not yet pulled (tick lengths are not whole frames)
    for (int t = 0; t < ticks; ++t) {
        owed += tickMs * swf::Player::kAudioRate / 1000.0;
        size_t frames = size_t(std::floor(owed));
        owed -= double(frames);
        size_t at = result.samples.size();
        result.samples.resize(at + frames * 2);
        player.mixAudio(result.samples.data() + at, frames);
        player.advance(tickMs);
        result.frameAtTick.push_back(player.currentFrame());
    }
    return result;
}

}  // namespace swfaudio
