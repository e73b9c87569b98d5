// The script side of sound: the Sound class (attachSound by export name, start/stop, volume,
// pan and transform of its clip or of the whole movie, position and duration, loadSound of an
// MP3 file beside the movie with its ID3 text, onSoundComplete, onLoad, onID3) and the
// StopSounds action. The player makes one per movie, after the script machine; it lives while
// the machine does.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "avm1/vm.h"
#include "sound_engine.h"
#include "sound_scopes.h"

namespace swf {

class ScriptRuntime;
class SoundObject;

class SoundScript {
public:
    SoundScript(ScriptRuntime& scripts, SoundEngine& engine, SoundScopes& scopes, const Movie& movie);
    ~SoundScript();
    SoundScript(const SoundScript&) = delete;
    SoundScript& operator=(const SoundScript&) = delete;

    // Voices that played to their end (from the mixer, on any pull): onSoundComplete follows
    // in afterFrameScripts().
    void voicesFinished(const std::vector<VoiceId>& voices);
    // After a frame's scripts: onSoundComplete of the sounds that ended, then the files that
    // loadSound asked for (a file beside the movie is there at once: its onID3 and onLoad run in
    // the frame that asked, and loads those handlers start complete in the same frame).
    void afterFrameScripts();

    // ---- used by the Sound natives
    avm1::Vm& vm();
    SoundEngine& engine() { return engine_; }
    SoundScopes& scopes() { return scopes_; }
    const Movie& movie() const { return movie_; }
    // The clip a target path names now, relative ones from the running script's clip (null:
    // none); see SoundObject.
    Clip* resolveClip(const std::string& path);
    // The absolute path of `clip`.
    std::string absolutePath(avm1::Object* clip);
    void played(VoiceId voice, SoundObject* owner);
    void stopAll();  // stopAllSounds(), Sound.stop() without a target
    void queueLoad(SoundObject* sound);
    // Decoded frames all loaded sounds may hold together, shared by the sounds' lifetimes.
    std::shared_ptr<size_t> loadedFrames() const { return loadedFrames_; }

private:
    void mark(avm1::Marker& m);
    void deliver(SoundObject* sound);
    void complete(VoiceId voice);

    ScriptRuntime& scripts_;
    SoundEngine& engine_;
    SoundScopes& scopes_;
    const Movie& movie_;
    struct Playing {
        VoiceId voice;
        SoundObject* owner;  // kept alive while its sound plays, for onSoundComplete
    };
    std::vector<Playing> playing_;
    std::vector<VoiceId> finished_;
    std::vector<SoundObject*> loads_;  // waiting for afterFrameScripts()
    std::shared_ptr<size_t> loadedFrames_ = std::make_shared<size_t>(0);
    int framesRun_ = 0;
};

}  // namespace swf
