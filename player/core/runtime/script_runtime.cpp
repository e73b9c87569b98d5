#include "script_runtime.h"

#include "avm1/globals.h"
#include "avm1/interpreter.h"
#include "avm1/library_classes.h"
#include "clip_events.h"
#include "clip_object.h"
#include "runtime_limits.h"
#include "tab_order.h"
#include "display/edit_text_display.h"
#include "filters/filter_classes.h"
#include "geom/geom_classes.h"
#include "movie_clip_methods.h"
#include "text_field.h"
#include "text_field_object.h"
#include "text_field_scripts.h"
#include "video_object.h"

namespace swf {
namespace {

// Collect between frames once this many objects were made since the last collection.
constexpr size_t kCollectEvery = 20000;

avm1::VmLimits limitsFor(const Movie& movie) {
    avm1::VmLimits limits;
    if (movie.scriptTimeoutSeconds > 0) limits.scriptSeconds = movie.scriptTimeoutSeconds;
    if (movie.maxRecursionDepth > 0) limits.recursionDepth = movie.maxRecursionDepth;
    return limits;
}

// System.security.sandboxType: a movie played from a file is local; its FileAttributes say
// whether it asked for the network (which a screen saver still never gives it).
void defineSandboxType(avm1::Vm& vm, const Movie& movie) {
    avm1::Object* system = vm.getMember(vm.global(), "System").asObject();
    if (!system) return;
    avm1::Object* security = vm.getMember(system, "security").asObject();
    if (!security) {
        security = vm.newObject();
        system->define("security", avm1::Value::object(security), avm1::kDontEnum);
    }
    security->define("sandboxType", vm.newString(movie.useNetwork ? "localWithNetwork" : "localWithFile"),
                     avm1::kDontDelete | avm1::kReadOnly);
}

}  // namespace

ScriptRuntime::ScriptRuntime(const Movie& movie, Clip& root, avm1::HostServices& host)
    : root_(root), movie_(movie), vm_(std::make_unique<avm1::Vm>(movie.version, host, limitsFor(movie))),
      texts_(std::make_unique<TextFieldScripts>(*this)), loader_(std::make_unique<ClipLoader>(*this, root.host())) {
    for (const auto& [name, id] : movie.exports) exportNames_.emplace(id, name);
    noteBoundsCallVersion(movie.version);
    installClasses();
    vm_->addRoot(buttonProto_);  // new buttons take it even after a script deletes _global.Button
    // A loaded movie of the other kind of version gets its own copies of the classes; the
    // prototypes the runtime keeps stay those of the player's movie.
    vm_->installHostClasses = [this](avm1::Vm&) {
        avm1::Object* textFieldProto = texts_->textFieldProto;
        avm1::Object* buttonProto = buttonProto_;
        installClasses();
        vm_->addRoot(buttonProto_);
        texts_->textFieldProto = textFieldProto;
        buttonProto_ = buttonProto;
    };
    vm_->rootMarkers.push_back([this](avm1::Marker& m) {
        for (const auto& [number, level] : root_.host().levels) markDisplayList(m, *level);
        m.mark(texts_->textFieldProto);
        loader_->mark(m);
    });
    root_.host().debugLog = [vm = vm_.get()](const std::string& line) { vm->trace(line); };
    root_.host().beforeRemove = [this](DisplayObject& leaving) { texts_->focus().leaving(leaving); };
    vm_->interpreter().levelRoot = [this](int level) -> avm1::Object* {
        if (level == 0) return objectFor(root_);  // before the player lists it
        auto found = root_.host().levels.find(level);
        return found != root_.host().levels.end() ? objectFor(*found->second) : nullptr;
    };
    vm_->interpreter().displayPathOf = [](avm1::Object* o) {
        auto* field = dynamic_cast<TextFieldObject*>(o);
        return field ? field->targetPath() : std::string();
    };
    vm_->interpreter().removeDisplayObject = removeTextFieldByScript;
    vm_->interpreter().duplicateDisplayObject = [vm = vm_.get()](avm1::Object* o, const std::string& name, int depth) {
        duplicateTextFieldByScript(*vm, o, name, depth);
    };
    vm_->interpreter().loadIntoTarget = [this](const std::string& url, const std::string& target, uint8_t flags) {
        return loader_->requestFromAction(url, target, flags);
    };
}

void ScriptRuntime::installClasses() {
    registerMovieClipClass(*vm_);
    registerTextFieldClasses(*this);
    registerVideoMethods(*vm_);
    registerBitmapDataClass(*vm_, movie_);
    registerColorClass(*vm_);
    registerMovieClipLoaderClass(*vm_);
    defineSandboxType(*vm_, movie_);
    geom::registerGeomClasses(*vm_);
    filters::registerFilterClasses(*vm_);
    buttonProto_ = registerButtonClass(*vm_);
    defineTabIndexProperties(*vm_, vm_->builtins().movieClipProto, buttonProto_);
    avm1::setStageSize(*vm_, movie_.frameRect.width() / 20.0, movie_.frameRect.height() / 20.0);
}

ScriptRuntime::~ScriptRuntime() {
    root_.host().debugLog = nullptr;
    root_.host().beforeRemove = nullptr;
    // A movie's SharedObjects are written when it ends, as the original does, flushed or not.
    try {
        avm1::flushSharedObjects(*vm_);
    } catch (...) {
        // a limit hit while writing (a getter on the data): the stored copy stays as it was
    }
    // Clip objects die with the heap; the clips must not point at them afterwards.
    std::vector<Clip*> pending{&root_};
    for (const auto& [number, level] : root_.host().levels) pending.push_back(level.get());
    while (!pending.empty()) {
        Clip* c = pending.back();
        pending.pop_back();
        c->scriptObject = nullptr;
        for (auto& [depth, obj] : c->displayList()) {
            if (Clip* child = obj->clip()) pending.push_back(child);
            if (auto* field = dynamic_cast<EditTextDisplay*>(obj.get())) field->text()->scriptObject = nullptr;
            if (auto* video = dynamic_cast<VideoDisplay*>(obj.get())) video->scriptObject = nullptr;
        }
    }
}

double ScriptRuntime::emptyBoundsEdge(bool seenFromAnotherClip) const {
    constexpr int32_t kLargestTwips = 0x7ffffff;
    const bool asFloat = seenFromAnotherClip && emptyEdgeAsFloat_;
    return (asFloat ? double(float(kLargestTwips)) : double(kLargestTwips)) / 20;
}

bool ScriptRuntime::hasUnloadHandler(Clip& clip) {
    if (clip.clipActions)
        for (const ClipEventHandler& h : *clip.clipActions)
            if (h.events & kClipUnload) return true;
    if (!clip.scriptObject) return false;
    try {
        return vm_->findProperty(clip.scriptObject, "onUnload") != nullptr;
    } catch (const avm1::ScriptAbort&) {
        return false;  // a prototype cycle: no handler to wait for
    }
}

ScriptRuntime* ScriptRuntime::of(avm1::Vm& vm) {
    auto* root = dynamic_cast<ClipObject*>(vm.interpreter().levelRoot ? vm.interpreter().levelRoot(0) : nullptr);
    return root ? &root->runtime() : nullptr;
}

ClipObject* ScriptRuntime::objectFor(Clip& clip) {
    if (clip.scriptObject) return static_cast<ClipObject*>(clip.scriptObject);
    // The clip's object takes the classes of its movie's version (see Vm::globalsFamily).
    avm1::SwfVersionScope version(*vm_, clip.movie().version);
    avm1::Object* proto = clip.button() ? buttonProto_ : vm_->builtins().movieClipProto;
    DisplayObject* shown = clip.displayObject();
    if (avm1::Object* cls = shown ? registeredClass(clip) : nullptr)
        if (avm1::Object* p = vm_->getMember(cls, "prototype").asObject()) proto = p;
    auto* o = vm_->heap().make<ClipObject>(proto, clip.shared_from_this(), *this);
    clip.scriptObject = o;
    return o;
}

void ScriptRuntime::markDisplayList(avm1::Marker& m, Clip& clip) {
    m.mark(clip.scriptObject);
    for (auto& [depth, obj] : clip.displayList()) {
        if (Clip* child = obj->clip()) markDisplayList(m, *child);
        if (auto* field = dynamic_cast<EditTextDisplay*>(obj.get())) m.mark(field->text()->scriptObject);
        if (auto* video = dynamic_cast<VideoDisplay*>(obj.get())) m.mark(video->scriptObject);
    }
}

void ScriptRuntime::runQueued(ClipHost& host) {
    texts_->bindNew();  // fields placed by these frames show or set their variables first
    // Scripts may queue more scripts (a goto runs the target frame's, a new clip its events).
    PendingActions pending;
    for (size_t n = 0; n < kMaxQueuedScripts && host.queue.pop(pending); ++n) {
        auto clip = pending.clip.lock();
        // A clip taken off, or parked by its timeline until its unload event, runs only that event.
        if (!clip || ((clip->removed || clip->unloadPending) && pending.event != kClipUnload)) continue;
        try {
            if (pending.actions) {
                vm_->interpreter().runScript(pending.actions, objectFor(*clip));
            } else {
                const Clip* saved = unloading_;
                if (pending.event == kClipUnload) unloading_ = clip.get();
                runEvent(*clip, pending.event);
                unloading_ = saved;
            }
        } catch (const avm1::ScriptAbort& abort) {
            vm_->warn("script aborted: " + abort.reason);
        }
    }
    host.queue.clear();
}

void ScriptRuntime::runTimers(ClipHost& host) {
    vm_->timers().runDue(*vm_, vm_->host().movieMs(), [&] { runQueued(host); });
}

void ScriptRuntime::runFrame(ClipHost& host) {
    vm_->interpreter().startFrameBudget();
    runQueued(host);
    runTimers(host);
    texts_->focus().deliverRolls();
    runQueued(host);
    texts_->update();
    if (vm_->heap().allocatedSinceCollect() >= kCollectEvery) vm_->collectGarbage();
}

}  // namespace swf
