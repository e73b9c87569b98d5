// The sound transforms scripts set through Sound objects: one per clip (a Sound made on a
// clip controls the sounds of that clip and of the clips inside it) and a global one (a Sound
// made without a target). Each voice plays for a clip or for the movie as a whole; the mixer
// gets the product of the global transform and those of the clip and its parents.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "../audio/mixer.h"

namespace swf {

class Clip;

// The values scripts read and write, in percent: setVolume, and the four gains of
// setTransform (ll: left input to the left speaker, lr: right input to the left speaker,
// rl: left input to the right speaker, rr: right input to the right speaker). Stored as the
// 32-bit integers the original keeps, so out-of-range values read back as it reads them.
struct ScriptSoundTransform {
    int32_t volume = 100;
    int32_t ll = 100, lr = 0, rl = 0, rr = 100;

    // setPan: -100 (left) .. 100 (right) as levels of the two sides; the cross gains go to 0.
    void setPan(int32_t pan);
    // getPan as the original derives it from the gains.
    int32_t pan() const;
    bool operator==(const ScriptSoundTransform& o) const {
        return volume == o.volume && ll == o.ll && lr == o.lr && rl == o.rl && rr == o.rr;
    }
};

// The transform of `inner` heard through `outer` (a clip inside its parent).
SoundTransform combine(const SoundTransform& outer, const ScriptSoundTransform& inner);

class SoundScopes {
public:
    ScriptSoundTransform& global() { return global_; }
    // The transform of a clip (the default one until a script sets it).
    ScriptSoundTransform transformOf(const Clip& clip) const;
    void setTransform(const Clip& clip, const ScriptSoundTransform& t);

    // `voice` plays for `clip` (null: for the movie as a whole).
    void track(VoiceId voice, const Clip* clip);
    // Stops the voices that play for `clip`.
    void stopClip(Mixer& mixer, const Clip& clip);
    // Gives every voice its transform from the global one and its clip's chain of parents;
    // voices no one tracked get the global one.
    void apply(Mixer& mixer);

private:
    SoundTransform chainOf(const Clip* clip) const;

    ScriptSoundTransform global_;
    std::map<std::weak_ptr<const Clip>, ScriptSoundTransform, std::owner_less<std::weak_ptr<const Clip>>> clips_;
    struct TrackedVoice {
        VoiceId voice;
        std::weak_ptr<const Clip> clip;  // expired: the clip is gone, the voice plays on as it was
        bool global;
    };
    std::vector<TrackedVoice> voices_;
};

}  // namespace swf
