// MovieClip methods about the movie and its files: getBytesLoaded, getBytesTotal,
// getSWFVersion, getURL (a warning: a screen saver opens nothing), and loadMovie,
// unloadMovie, loadVariables of files beside the movie (completed by clip_loader.h).
#include <algorithm>

#include "avm1/native_class.h"
#include "clip_loader.h"
#include "clip_object.h"
#include "movie_clip_methods.h"
#include "script_runtime.h"

namespace swf {
namespace {

using avm1::Arguments;
using avm1::Value;
using avm1::Vm;

// The whole file is in memory: loaded is total. A failed load has nothing loaded of an unknown total.
Value bytesLoaded(Vm&, const Value& s, const Arguments&) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    return clip ? Value::number(std::max(0.0, contentBytes(*clip, false))) : Value();
}

Value bytesTotal(Vm&, const Value& s, const Arguments&) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    return clip ? Value::number(contentBytes(*clip, false)) : Value();
}

// A picture or a failed load has no version; an unloaded clip tells its parent's movie's.
Value getSWFVersion(Vm&, const Value& s, const Arguments&) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    if (!clip) return Value();
    switch (clip->loadState) {
        case Clip::LoadState::Picture:
        case Clip::LoadState::Failed: return Value::number(-1);
        case Clip::LoadState::Unloaded:
            if (clip->parent()) return Value::number(clip->parent()->movie().version);
            break;
        case Clip::LoadState::Own: break;
    }
    return Value::number(clip->movie().version);
}

Value getURL(Vm& vm, const Value&, const Arguments& args) {
    vm.warn("getURL ignored: " + vm.toString(args[0]));
    return Value();
}

// clip.loadMovie(url), clip.loadVariables(url), clip.unloadMovie(): queued like the actions
// of the same names. The method argument (GET/POST) only matters to a server: files beside the
// movie are read as they are.
void requestInto(const Value& s, ClipLoader::Kind kind, const std::string& url) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    if (!clip) return;
    ClipLoader::Target target;
    if (clip->level >= 0) target.level = clip->level;
    else target.clip = clip->shared_from_this();
    self->runtime().loader().request(kind, target, url);
}

Value loadMovie(Vm& vm, const Value& s, const Arguments& args) {
    if (!args.empty()) requestInto(s, ClipLoader::Kind::Movie, vm.toString(args[0]));
    return Value();
}

Value loadVariables(Vm& vm, const Value& s, const Arguments& args) {
    if (!args.empty()) requestInto(s, ClipLoader::Kind::Variables, vm.toString(args[0]));
    return Value();
}

Value unloadMovie(Vm&, const Value& s, const Arguments&) {
    requestInto(s, ClipLoader::Kind::Unload, std::string());
    return Value();
}

}  // namespace

void registerLoadingMethods(Vm& vm, avm1::Object* proto) {
    avm1::defineMethod(vm, proto, "getBytesLoaded", bytesLoaded);
    avm1::defineMethod(vm, proto, "getBytesTotal", bytesTotal);
    avm1::defineMethod(vm, proto, "getSWFVersion", getSWFVersion);
    avm1::defineMethod(vm, proto, "getURL", getURL);
    avm1::defineMethod(vm, proto, "loadVariables", loadVariables);
    avm1::defineMethod(vm, proto, "loadMovie", loadMovie);
    avm1::defineMethod(vm, proto, "unloadMovie", unloadMovie);
}

}  // namespace swf
