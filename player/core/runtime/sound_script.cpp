#include "sound_script.h"

#include <algorithm>

#include "../audio/mp3_file.h"
#include "runtime_limits.h"
#include "avm1/heap.h"
#include "avm1/interpreter.h"
#include "clip_object.h"
#include "script_runtime.h"
#include "sound_class.h"
#include "sound_object.h"

namespace swf {
namespace {

// loadSound from load handlers finishes in the same frame, up to this many files; the rest
// waits for the next frame (a handler that loads again forever, or a script that loads a long
// file a thousand times, cannot hold the frame).
constexpr size_t kMaxLoadsPerFrame = 16;
constexpr size_t kMaxPendingLoads = 256;

// Calls a handler the way the original dispatches events: a missing one is nothing, an error
// in it ends it and nothing else.
void callHandler(avm1::Vm& vm, avm1::Object* o, const char* name, const std::vector<avm1::Value>& args = {}) {
    try {
        vm.callMethod(avm1::Value::object(o), name, avm1::Arguments(args));
    } catch (const avm1::ScriptAbort& abort) {
        vm.warn("script aborted: " + abort.reason);
    } catch (...) {
        // An exception the handler threw and did not catch, as an uncaught one ends a frame script.
    }
}

// The ID3 object: for each text frame its name in the tag ("TIT2") and, for the frames the
// first ID3 version had, that version's name ("songname"), newest last; comments gather in an
// array under COMM while `comment` is the last one. It has no prototype, as the original's.
avm1::Object* makeId3(avm1::Vm& vm, const Mp3File& file) {
    static const char* const kOldNames[][2] = {{"COMM", "comment"}, {"TALB", "album"}, {"TCON", "genre"},
                                               {"TIT2", "songname"}, {"TPE1", "artist"}, {"TRCK", "track"},
                                               {"TYER", "year"}};
    avm1::Object* id3 = vm.newObject(nullptr);
    if (file.hasId3v1) {
        const std::pair<const char*, const std::string*> fields[] = {
            {"songname", &file.title}, {"artist", &file.artist}, {"album", &file.album}, {"year", &file.year},
            {"comment", &file.comment}, {"track", &file.track}, {"genre", &file.genre}};
        for (const auto& [name, text] : fields)
            if (!text->empty()) vm.setMember(id3, name, vm.newString(*text));
    }
    std::vector<avm1::Value> comments;
    for (const Id3Frame& frame : file.frames) {
        const avm1::Value text = vm.newString(frame.text);
        for (const auto& names : kOldNames)
            if (frame.id == names[0]) vm.setMember(id3, names[1], text);
        if (frame.id == "COMM") {
            comments.push_back(text);
            vm.setMember(id3, frame.id, avm1::Value::object(vm.newArray(comments)));
        } else {
            vm.setMember(id3, frame.id, text);
        }
    }
    return id3;
}

}  // namespace

SoundScript::SoundScript(ScriptRuntime& scripts, SoundEngine& engine, SoundScopes& scopes, const Movie& movie)
    : scripts_(scripts), engine_(engine), scopes_(scopes), movie_(movie) {
    avm1::Vm& machine = scripts_.vm();
    registerSoundClass(machine, *this);
    machine.rootMarkers.push_back([this](avm1::Marker& m) { mark(m); });
    machine.interpreter().stopAllSounds = [this] { stopAll(); };
}

SoundScript::~SoundScript() = default;

avm1::Vm& SoundScript::vm() { return scripts_.vm(); }

void SoundScript::mark(avm1::Marker& m) {
    for (const Playing& p : playing_) m.mark(p.owner);
    for (SoundObject* s : loads_) m.mark(s);
}

// A relative path is looked up from the running script's clip at every use: new Sound("nested")
// made in mc finds mc.nested from mc's scripts and nothing from _root's.
Clip* SoundScript::resolveClip(const std::string& path) {
    std::vector<avm1::Activation*>& running = vm().interpreter().activations();
    avm1::Object* base = running.empty() ? nullptr : running.back()->target;
    if (!base && !running.empty()) base = running.back()->originalTarget;
    if (!dynamic_cast<ClipObject*>(base)) base = scripts_.objectFor(scripts_.root());
    auto* found = dynamic_cast<ClipObject*>(vm().interpreter().resolvePath(base, path, false).asObject());
    return found ? found->clip() : nullptr;
}

std::string SoundScript::absolutePath(avm1::Object* clip) {
    auto* c = dynamic_cast<ClipObject*>(clip);
    return c && c->alive() ? c->targetPath() : std::string();
}

void SoundScript::played(VoiceId voice, SoundObject* owner) {
    playing_.push_back({voice, owner});
}

void SoundScript::stopAll() { engine_.stopAll(); }

void SoundScript::queueLoad(SoundObject* sound) {
    if (std::find(loads_.begin(), loads_.end(), sound) != loads_.end()) return;
    if (loads_.size() >= kMaxPendingLoads) {
        vm().warn("Sound.loadSound: too many loads at once");
        return;
    }
    loads_.push_back(sound);
}

void SoundScript::voicesFinished(const std::vector<VoiceId>& voices) {
    for (VoiceId v : voices)
        if (std::any_of(playing_.begin(), playing_.end(), [v](const Playing& p) { return p.voice == v; }))
            finished_.push_back(v);
}

void SoundScript::afterFrameScripts() {
    std::vector<VoiceId> ended;
    ended.swap(finished_);
    for (VoiceId v : ended) complete(v);
    // Voices stopped by anyone end without onSoundComplete.
    const Mixer& mixer = engine_.mixer();
    playing_.erase(std::remove_if(playing_.begin(), playing_.end(), [&](const Playing& p) { return !mixer.isActive(p.voice); }),
                   playing_.end());
    // The first frame runs before a host that sets the MP3 decoder afterwards has done so.
    if (!engine_.hasMp3Decoder() && framesRun_++ == 0) return;
    for (size_t delivered = 0; delivered < kMaxLoadsPerFrame && !loads_.empty(); ++delivered) {
        SoundObject* next = loads_.front();
        loads_.erase(loads_.begin());
        deliver(next);
    }
}

void SoundScript::complete(VoiceId voice) {
    auto it = std::find_if(playing_.begin(), playing_.end(), [voice](const Playing& p) { return p.voice == voice; });
    if (it == playing_.end()) return;
    SoundObject* owner = it->owner;
    playing_.erase(it);
    if (owner->voice == voice && owner->durationMs) owner->lastPositionMs = *owner->durationMs;
    callHandler(vm(), owner, "onSoundComplete");
}

// The file is read and decoded whole; then, as the original reports a load: the sound is
// there (position and duration appear), queued starts play (a streamed file starts itself),
// onID3 when the file has a tag, and onLoad with success.
void SoundScript::deliver(SoundObject* s) {
    if (s->state != SoundObject::State::Loading) return;  // attachSound came first
    avm1::Vm& machine = vm();
    std::vector<uint8_t> bytes;
    std::shared_ptr<PcmSound> pcm;
    Mp3File file;
    if (machine.host().readMovieFile(s->url, bytes)) {
        file = readMp3File(bytes.data(), bytes.size());
        SoundFormat format;
        format.coding = SoundCoding::Mp3;
        format.rateHz = file.rateHz ? file.rateHz : 44100;
        format.stereo = file.stereo;
        if (file.audioEnd > file.audioBegin)
            pcm = engine_.decodeMp3(bytes.data() + file.audioBegin, file.audioEnd - file.audioBegin, format);
    }
    if (pcm && pcm->frames() > kMaxMovieSoundFrames - std::min(*loadedFrames_, kMaxMovieSoundFrames)) {
        machine.warn("Sound.loadSound: " + s->url + " is over the movie's decoded sound budget");
        pcm.reset();
    }
    if (!pcm) {
        s->state = SoundObject::State::Empty;
        s->durationMs.reset();
        callHandler(machine, s, "onLoad", {avm1::Value::boolean(false)});
        return;
    }
    const size_t frames = pcm->frames();
    *loadedFrames_ += frames;
    s->sound = std::shared_ptr<const PcmSound>(pcm.get(), [budget = loadedFrames_, keep = pcm, frames](const PcmSound*) {
        *budget -= std::min(*budget, frames);
    });
    s->state = SoundObject::State::Loaded;
    s->durationMs = 0;  // known once onID3 has run
    s->bytesLoaded = double(bytes.size());
    s->bytesTotal = double(bytes.size());
    defineTimingProperties(machine, *s);
    std::vector<SoundObject::QueuedStart> queued;
    queued.swap(s->queued);
    if (s->streaming) startSound(*s, 0, 1);
    for (const auto& q : queued) startSound(*s, q.offsetSeconds, q.loops);
    if (file.hasId3v2 || file.hasId3v1) {
        try {
            avm1::Object* id3 = makeId3(machine, file);
            // A value the script gave `id3` before stays; the one given here cannot be replaced.
            if (!machine.hasProperty(s, "id3")) s->define("id3", avm1::Value::object(id3), avm1::kDontEnum | avm1::kDontDelete | avm1::kReadOnly);
        } catch (const avm1::ScriptAbort& abort) {
            machine.warn("script aborted: " + abort.reason);
        }
        callHandler(machine, s, "onID3", {avm1::Value::boolean(true)});
    }
    s->durationMs = double(frames) * 1000.0 / std::max(1, s->sound->rate);
    callHandler(machine, s, "onLoad", {avm1::Value::boolean(true)});
}

}  // namespace swf
