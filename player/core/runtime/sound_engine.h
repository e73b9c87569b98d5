// The movie's sound: event sounds started by frames (decoded once, then cached), the root
// timeline's soundtrack read ahead from the timeline's blocks, and the mixer the host pulls.
// Not thread-safe: Player serializes the host's audio pulls with its own stepping.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../audio/mixer.h"
#include "../audio/sound_decoder.h"
#include "../model/movie.h"

namespace swf {

class SoundEngine {
public:
    SoundEngine(const Movie& movie, int outputRate);

    // Sounds that found no decoder before are tried again with this one.
    void setMp3Decoder(Mp3DecoderFactory factory);
    bool hasMp3Decoder() const { return bool(mp3_); }
    Mixer& mixer() { return mixer_; }

    // A frame's StartSound: starts the sound, or stops it (sync stop); with "no multiple" a
    // sound that already plays is not started again. Returns the voice started, if any.
    VoiceId start(const SoundStart& start);
    // Decoded sound of a DefineSound id (cached), null when it cannot be played. For the
    // Sound object's attachSound/start.
    std::shared_ptr<const PcmSound> decoded(uint16_t soundId);

    // MP3 frames of a file (Sound.loadSound), decoded whole up to the length cap of one sound;
    // null with a warning when nothing decodes.
    std::shared_ptr<PcmSound> decodeMp3(const uint8_t* data, size_t size, const SoundFormat& format);

    // The root's soundtrack from `frame` on; replaces the one playing. Frame numbers of the
    // soundtrack count on across loops (see setStreamMayLoop).
    void startStream(const Timeline& timeline, int frame);
    void stopStream();
    VoiceId streamVoice() const { return stream_; }
    // Whether the root timeline goes back to its first frame after its last: the soundtrack
    // then reads on from the first frame's block without a break.
    void setStreamMayLoop(bool loops) { *streamMayLoop_ = loops; }
    // Another timeline's soundtrack (a sprite's) from `frame` on, beside the root's; `readFrame`
    // follows the last frame whose block it has read, `mayLoop` as above. 0 when it cannot play.
    VoiceId playStream(const Timeline& timeline, int frame, std::shared_ptr<int> readFrame,
                       std::shared_ptr<const bool> mayLoop = nullptr);
    bool streamPlaying() const { return stream_ && mixer_.isActive(stream_); }
    // The timeline frame whose block is heard now; -1 without a soundtrack.
    int streamFrame() const { return stream_ ? mixer_.streamFrame(stream_, latencyFrames_) : -1; }
    // Output frames between the mix and the ear (the host device's queue), at most 1 s.
    void setLatencyFrames(size_t frames) { latencyFrames_ = std::min<size_t>(frames, size_t(mixer_.outputRate())); }
    // The last frame whose block the soundtrack has read (it reads ahead of what is heard).
    int streamReadFrame() const { return *streamRead_; }

    void stopAll();
    void mix(int16_t* out, size_t frames) { mixer_.mix(out, frames); }

    // Sounds that were skipped (Nellymoser, Speex, no MP3 decoder), one note per sound.
    const std::vector<std::string>& warnings() const { return warnings_; }

private:
    void warn(const std::string& what);

    const Movie& movie_;
    Mixer mixer_;
    Mp3DecoderFactory mp3_;
    std::map<uint16_t, std::shared_ptr<const PcmSound>> cache_;  // null: not playable
    size_t cachedFrames_ = 0;
    VoiceId stream_ = 0;
    size_t latencyFrames_ = 0;
    bool warnedStream_ = false;
    std::shared_ptr<int> streamRead_ = std::make_shared<int>(-1);
    std::shared_ptr<bool> streamMayLoop_ = std::make_shared<bool>(false);
    std::vector<std::string> warnings_;
};

}  // namespace swf
