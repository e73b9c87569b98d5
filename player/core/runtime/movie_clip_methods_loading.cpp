// MovieClip methods about the movie and its files: getBytesLoaded, getBytesTotal,
// getSWFVersion, getURL (a warning: a screen saver opens nothing), loadVariables of a file
// beside the movie.
#include "avm1/loadvars_codec.h"
#include "avm1/native_class.h"
#include "clip_events.h"
#include "clip_object.h"
#include "movie_clip_methods.h"

namespace swf {
namespace {

using avm1::Arguments;
using avm1::Value;
using avm1::Vm;

// The whole movie is in memory: loaded is total. A clip made empty by a script has no bytes.
Value bytesOfMovie(Vm&, const Value& s, const Arguments&) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    if (!clip) return Value();
    if (clip->timeline() && clip->timeline()->frames.empty()) return Value::number(0);
    return Value::number(clip->host().movie->declaredLength);
}

Value getSWFVersion(Vm&, const Value& s, const Arguments&) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    return clip ? Value::number(clip->host().movie->version) : Value();
}

Value getURL(Vm& vm, const Value&, const Arguments& args) {
    vm.warn("getURL ignored: " + vm.toString(args[0]));
    return Value();
}

// The variables arrive before the clip's data event, which runs with the next queued scripts.
Value loadVariables(Vm& vm, const Value& s, const Arguments& args) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    if (!clip || args.empty()) return Value();
    const std::string path = vm.toString(args[0]);
    std::vector<uint8_t> bytes;
    if (!vm.host().readMovieFile(path, bytes)) {
        vm.warn("loadVariables: cannot read " + path);
        return Value();
    }
    vm.checkStringSize(bytes.size());
    std::string text(bytes.begin(), bytes.end());
    for (const auto& [name, value] : avm1::decodeVariables(text)) vm.setMember(self, name, vm.newString(value));
    clip->host().queue.push_back({clip->shared_from_this(), nullptr, ActionPhase::Normal, kClipData});
    return Value();
}

}  // namespace

void registerLoadingMethods(Vm& vm, avm1::Object* proto) {
    avm1::defineMethod(vm, proto, "getBytesLoaded", bytesOfMovie);
    avm1::defineMethod(vm, proto, "getBytesTotal", bytesOfMovie);
    avm1::defineMethod(vm, proto, "getSWFVersion", getSWFVersion);
    avm1::defineMethod(vm, proto, "getURL", getURL);
    avm1::defineMethod(vm, proto, "loadVariables", loadVariables);
}

}  // namespace swf
