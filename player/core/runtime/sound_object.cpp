#include "sound_object.h"

#include <algorithm>
#include <cmath>

#include "avm1/names.h"
#include "sound_class.h"
#include "sound_script.h"

namespace swf {
namespace {

// The DefineSound exported as `name` (the exact name first, then regardless of case); 0 when
// there is none.
uint16_t exportedSound(const Movie& movie, const std::string& name) {
    auto it = movie.exports.find(name);
    if (it == movie.exports.end())
        it = std::find_if(movie.exports.begin(), movie.exports.end(),
                          [&](const auto& e) { return avm1::sameName(e.first, name, avm1::NameRule{false}); });
    if (it == movie.exports.end()) return 0;
    const Character* c = movie.character(it->second);
    return c && c->kind == CharacterKind::Sound ? it->second : 0;
}

// Remembers where the voice got to before it stops, for `position` afterwards.
void keepPosition(SoundObject& s) {
    if (s.voice && s.script->engine().mixer().isActive(s.voice)) s.lastPositionMs = positionMs(s);
}

void playNow(SoundObject& s, double offsetSeconds, uint16_t plays) {
    Mixer& mixer = s.script->engine().mixer();
    if (s.streaming && s.voice) {  // a streamed file plays once at a time
        keepPosition(s);
        mixer.stop(s.voice);
    }
    SoundInfo info;
    if (offsetSeconds > 0) info.inPoint44 = uint32_t(std::min(offsetSeconds * 44100.0, 4294967295.0));
    info.loops = plays;
    const VoiceId voice = mixer.play(s.sound, info, s.soundId);
    if (!voice) return;
    s.voice = voice;
    s.startMs = offsetSeconds > 0 ? offsetSeconds * 1000 : 0;
    s.script->played(voice, &s);
    s.script->scopes().track(voice, s.global ? nullptr : s.script->resolveClip(s.targetPath));
}

}  // namespace

bool attachExported(avm1::Vm& vm, SoundObject& s, const std::string& name) {
    const uint16_t id = exportedSound(s.script->movie(), name);
    if (!id) return false;
    const auto& character = static_cast<const SoundCharacter&>(*s.script->movie().character(id));
    const bool wasLoading = s.state == SoundObject::State::Loading;
    s.state = SoundObject::State::Loaded;
    s.soundId = id;
    s.sound = s.script->engine().decoded(id);
    s.streaming = false;
    s.durationMs = double(character.sampleCount) * 1000.0 / std::max(1, character.format.rateHz);
    s.lastPositionMs = 0;
    defineTimingProperties(vm, s);
    if (wasLoading) {
        std::vector<SoundObject::QueuedStart> queued;
        queued.swap(s.queued);
        for (const auto& q : queued) playNow(s, q.offsetSeconds, q.loops);
    }
    return true;
}

void startSound(SoundObject& s, double offsetSeconds, uint16_t plays) {
    switch (s.state) {
        case SoundObject::State::Empty: return;
        case SoundObject::State::Loading:
            if (s.queued.size() < Mixer::kMaxVoices) s.queued.push_back({offsetSeconds, plays});
            return;
        case SoundObject::State::Loaded: playNow(s, offsetSeconds, plays); return;
    }
}

bool stopExported(SoundObject& s, const std::string& name) {
    const uint16_t id = exportedSound(s.script->movie(), name);
    if (!id) return false;
    if (id == s.soundId) keepPosition(s);
    s.script->engine().mixer().stopSound(id);
    return true;
}

void stopOwnSounds(SoundObject& s) {
    keepPosition(s);
    if (s.global) {
        s.script->stopAll();
    } else if (Clip* clip = s.script->resolveClip(s.targetPath)) {
        s.script->scopes().stopClip(s.script->engine().mixer(), *clip);
    }
}

void beginLoad(SoundObject& s, const std::string& url, bool streaming) {
    if (streaming && s.voice) {  // the streamed sound playing now ends; attached ones play on
        keepPosition(s);
        s.script->engine().mixer().stop(s.voice);
    }
    s.state = SoundObject::State::Loading;
    s.streaming = streaming;
    s.queued.clear();
    s.sound.reset();
    s.soundId = 0;
    s.url = url;
    s.durationMs.reset();
    s.lastPositionMs = 0;
    s.bytesLoaded = 0;
    s.bytesTotal.reset();
    s.script->queueLoad(&s);
}

double positionMs(SoundObject& s) {
    const Mixer& mixer = s.script->engine().mixer();
    if (s.voice && mixer.isActive(s.voice)) s.lastPositionMs = s.startMs + mixer.positionMs(s.voice);
    return s.lastPositionMs;
}

}  // namespace swf
