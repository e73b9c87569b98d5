#include "sound_scopes.h"

#include <algorithm>
#include <cstdlib>

#include "clip.h"

namespace swf {
namespace {

// A gain past eight times full level is not a volume any movie means; it keeps the mix's
// 32-bit sums far from overflow whatever a script sets.
constexpr float kMaxGain = 8.0f;
constexpr size_t kPruneClipsAt = 256;

int32_t wrap(int64_t v) { return int32_t(uint32_t(uint64_t(v))); }

float gain(float g) { return std::clamp(g, -kMaxGain, kMaxGain); }

}  // namespace

void ScriptSoundTransform::setPan(int32_t pan) {
    ll = pan >= 0 ? wrap(100 - int64_t(pan)) : 100;
    rr = pan >= 0 ? 100 : wrap(100 + int64_t(pan));
    lr = rl = 0;
}

int32_t ScriptSoundTransform::pan() const {
    // |INT_MIN| stays INT_MIN, as the original's 32-bit arithmetic has it.
    auto magnitude = [](int32_t v) { return wrap(std::llabs(int64_t(v))); };
    return ll != 100 ? wrap(100 - int64_t(magnitude(ll))) : wrap(int64_t(magnitude(rr)) - 100);
}

SoundTransform combine(const SoundTransform& outer, const ScriptSoundTransform& inner) {
    // A negative volume is heard as silence rather than as a loud inverted signal.
    const float v = float(std::max<int32_t>(inner.volume, 0)) / 100.0f;
    const float ll = float(inner.ll) / 100.0f * v, lr = float(inner.lr) / 100.0f * v;
    const float rl = float(inner.rl) / 100.0f * v, rr = float(inner.rr) / 100.0f * v;
    SoundTransform t;
    t.leftToLeft = gain(outer.leftToLeft * ll + outer.rightToLeft * rl);
    t.rightToLeft = gain(outer.leftToLeft * lr + outer.rightToLeft * rr);
    t.leftToRight = gain(outer.leftToRight * ll + outer.rightToRight * rl);
    t.rightToRight = gain(outer.leftToRight * lr + outer.rightToRight * rr);
    return t;
}

ScriptSoundTransform SoundScopes::transformOf(const Clip& clip) const {
    if (clips_.empty()) return {};
    auto it = clips_.find(clip.weak_from_this());
    return it == clips_.end() ? ScriptSoundTransform{} : it->second;
}

void SoundScopes::setTransform(const Clip& clip, const ScriptSoundTransform& t) {
    if (clips_.size() >= kPruneClipsAt) {
        for (auto it = clips_.begin(); it != clips_.end();) it = it->first.expired() ? clips_.erase(it) : std::next(it);
    }
    clips_[clip.weak_from_this()] = t;
}

void SoundScopes::track(VoiceId voice, const Clip* clip) {
    if (!voice) return;
    for (TrackedVoice& v : voices_) {
        if (v.voice != voice) continue;
        v.clip = clip ? clip->weak_from_this() : std::weak_ptr<const Clip>();
        v.global = !clip;
        return;
    }
    if (voices_.size() >= Mixer::kMaxVoices * 4) voices_.erase(voices_.begin());
    voices_.push_back({voice, clip ? clip->weak_from_this() : std::weak_ptr<const Clip>(), !clip});
}

void SoundScopes::stopClip(Mixer& mixer, const Clip& clip) {
    const std::weak_ptr<const Clip> key = clip.weak_from_this();
    std::owner_less<std::weak_ptr<const Clip>> less;
    for (const TrackedVoice& v : voices_)
        if (!v.global && !less(v.clip, key) && !less(key, v.clip)) mixer.stop(v.voice);
}

SoundTransform SoundScopes::chainOf(const Clip* clip) const {
    SoundTransform t = combine(SoundTransform{}, global_);
    if (clips_.empty()) return t;
    std::vector<const Clip*> chain;
    for (const Clip* c = clip; c; c = c->parent()) chain.push_back(c);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) t = combine(t, transformOf(**it));
    return t;
}

void SoundScopes::apply(Mixer& mixer) {
    voices_.erase(std::remove_if(voices_.begin(), voices_.end(), [&](const TrackedVoice& v) { return !mixer.isActive(v.voice); }),
                  voices_.end());
    const SoundTransform globalOnly = chainOf(nullptr);
    for (VoiceId id : mixer.voiceIds()) {
        auto tracked = std::find_if(voices_.begin(), voices_.end(), [&](const TrackedVoice& v) { return v.voice == id; });
        if (tracked == voices_.end() || tracked->global) {
            mixer.setTransform(id, globalOnly);
        } else if (std::shared_ptr<const Clip> clip = tracked->clip.lock()) {
            mixer.setTransform(id, chainOf(clip.get()));
        }
    }
}

}  // namespace swf
