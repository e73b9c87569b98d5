#include "audio_capture.h"

#include <cmath>

#include "mpg123_decoder.h"
#include "wav_file.h"

namespace swfaudio {

AudioRecorder::AudioRecorder(swf::Player& player, bool keep) : player_(player), keep_(keep) {
    player_.setMp3Decoder(mpg123DecoderFactory());
    player_.setAudioPulledByHost(true);
}

void AudioRecorder::pull(double ms) {
    if (!(ms > 0)) return;
    owed_ += ms * swf::Player::kAudioRate / 1000.0;
    size_t frames = size_t(std::floor(owed_));
    owed_ -= double(frames);
    size_t at = keep_ ? samples_.size() : 0;
    samples_.resize(at + frames * 2);
    player_.mixAudio(samples_.data() + at, frames);
}

bool AudioRecorder::writeWav(const std::string& path) const {
    return swfaudio::writeWav(path, samples_, swf::Player::kAudioRate, 2);
}

CapturedAudio captureAudio(swf::Player& player, int ticks, double tickMs) {
    if (!(tickMs > 0)) tickMs = 1000.0 / player.frameRate();
    AudioRecorder recorder(player);
    CapturedAudio result;
    for (int t = 0; t < ticks; ++t) {
        recorder.pull(tickMs);
        player.advance(tickMs);
        result.frameAtTick.push_back(player.currentFrame());
    }
    result.samples = recorder.samples();
    return result;
}

}  // namespace swfaudio
