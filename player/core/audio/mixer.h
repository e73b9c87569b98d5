// Mixes up to 32 voices (event sounds and soundtracks) into 16-bit stereo at the output rate,
// pulled by the host in blocks. Each voice is resampled from its own rate (linear
// interpolation), cut to its in/out points, looped, shaped by its envelope and scaled by its
// transform (the later Sound object's setVolume/setPan/setTransform and the clip hierarchy's).
// Not thread-safe: the player serializes calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "../model/sound.h"

namespace swf {

// A decoded event sound: interleaved left/right frames at `rate`.
struct PcmSound {
    int rate = 44100;
    std::vector<int16_t> samples;
    size_t frames() const { return samples.size() / 2; }
};

// Where a soundtrack's blocks come from, in timeline order.
class StreamFeed {
public:
    virtual ~StreamFeed() = default;
    // Appends the next block's frames to `out` and names the timeline frame it belongs to;
    // false when the soundtrack has no more blocks.
    virtual bool next(std::vector<int16_t>& out, int& frame) = 0;
    virtual int sampleRate() const = 0;
};

// setTransform's four gains (1 = 100 %): left from left, right from left, ...
struct SoundTransform {
    float leftToLeft = 1, leftToRight = 0, rightToRight = 1, rightToLeft = 0;
    static SoundTransform volumeAndPan(float volume, float pan);  // volume 0..1, pan -1..1
};

using VoiceId = uint32_t;  // 0: none

class Mixer {
public:
    static constexpr size_t kMaxVoices = 32;

    explicit Mixer(int outputRate = 44100);
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    int outputRate() const { return outputRate_; }

    // 0 when all voices are busy (the new sound is not heard, as in the original) or the sound
    // is empty. `soundId` lets stopSound and isPlaying find the voice; `owner` is the host's tag
    // for whoever started it (a clip, a Sound object).
    VoiceId play(std::shared_ptr<const PcmSound> sound, const SoundInfo& info, uint16_t soundId,
                 const void* owner = nullptr);
    VoiceId playStream(std::unique_ptr<StreamFeed> feed, const void* owner = nullptr);

    void stop(VoiceId voice);
    void stopSound(uint16_t soundId);
    void stopOwner(const void* owner);
    void stopAll();
    bool isActive(VoiceId voice) const;
    bool isPlaying(uint16_t soundId) const;
    size_t activeVoices() const;
    std::vector<VoiceId> voiceIds() const;  // the voices still playing

    // Hooks for the Sound object and the clip hierarchy.
    void setTransform(VoiceId voice, const SoundTransform& t);
    void setMasterVolume(float volume) { master_ = volume; }
    // Milliseconds played of the voice's current loop (Sound.position); -1 for no such voice.
    double positionMs(VoiceId voice) const;
    // The timeline frame whose block a soundtrack voice played `lagFrames` output frames ago
    // (the device's queue: what is heard now); -1 when the voice has ended.
    int streamFrame(VoiceId voice, size_t lagFrames = 0) const;

    // Voices that played to their end since the last call, oldest first (for onSoundComplete);
    // stopped voices are not listed.
    std::vector<VoiceId> takeFinished();

    // Fills `frames` interleaved stereo frames; silence where nothing plays.
    void mix(int16_t* out, size_t frames);

private:
    struct Voice;
    Voice* find(VoiceId id) const;

    int outputRate_;
    float master_ = 1.0f;
    VoiceId nextId_ = 1;
    std::vector<std::unique_ptr<Voice>> voices_;
    std::vector<int32_t> accumulator_;
    std::vector<VoiceId> finished_;
};

}  // namespace swf
