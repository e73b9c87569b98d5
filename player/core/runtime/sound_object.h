// A Sound object's state. Its target is kept as a path and looked up at every use, as the
// original does: a Sound made on a clip that is later removed reads undefined, and one made on
// a path controls whichever clip has that name at the time.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../audio/mixer.h"
#include "avm1/object.h"

namespace swf {

class SoundScript;

class SoundObject final : public avm1::Object {
public:
    SoundObject(avm1::Object* proto, SoundScript* script) : Object(proto), script(script) {}

    SoundScript* script;     // null for an instance made outside the class (no sound at all)
    bool global = true;      // made without a target: controls the whole movie
    std::string targetPath;  // otherwise the clip's absolute path, or the path a script gave

    enum class State : uint8_t { Empty, Loading, Loaded };
    State state = State::Empty;
    std::shared_ptr<const PcmSound> sound;  // null when the attached sound cannot be decoded
    uint16_t soundId = 0;                   // the DefineSound attached; 0 for a loaded file
    bool streaming = false;                 // loadSound(url, true): plays at once, one voice at a time
    std::optional<double> durationMs;
    VoiceId voice = 0;        // the voice last started
    double startMs = 0;       // where in the sound it started
    double lastPositionMs = 0;

    // start() calls made while the file loads, played once it is there.
    struct QueuedStart {
        double offsetSeconds;
        uint16_t loops;
    };
    std::vector<QueuedStart> queued;
    std::string url;
    double bytesLoaded = 0;
    std::optional<double> bytesTotal;
};

// What the natives do with a Sound (sound_object.cpp).
// Attaches the DefineSound exported as `name`; false when there is none.
bool attachExported(avm1::Vm& vm, SoundObject& s, const std::string& name);
// Plays the sound from `offsetSeconds`, `plays` times; queued while a file loads.
void startSound(SoundObject& s, double offsetSeconds, uint16_t plays);
// Stops every voice of the sound exported as `name`; false when there is none.
bool stopExported(SoundObject& s, const std::string& name);
// Stops the sounds of the Sound's clip, or every sound when it has no target.
void stopOwnSounds(SoundObject& s);
void beginLoad(SoundObject& s, const std::string& url, bool streaming);
// Where the sound last started is, in milliseconds from its start.
double positionMs(SoundObject& s);

// The prototype of Sound: it knows the movie's sound for the instances it makes.
class SoundPrototype final : public avm1::Object {
public:
    SoundPrototype(avm1::Object* proto, SoundScript* script) : Object(proto), script(script) {}
    SoundScript* script;
};

}  // namespace swf
