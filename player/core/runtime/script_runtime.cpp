#include "script_runtime.h"

#include "avm1/globals.h"
#include "avm1/interpreter.h"
#include "avm1/library_classes.h"
#include "clip_events.h"
#include "clip_object.h"
#include "runtime_limits.h"
#include "display/edit_text_display.h"
#include "text_field.h"
#include "text_field_scripts.h"

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

}  // namespace

ScriptRuntime::ScriptRuntime(const Movie& movie, Clip& root, avm1::HostServices& host)
    : root_(root), movie_(movie), vm_(std::make_unique<avm1::Vm>(movie.version, host, limitsFor(movie))),
      texts_(std::make_unique<TextFieldScripts>(*this)) {
    for (const auto& [name, id] : movie.exports) exportNames_.emplace(id, name);
    registerMovieClipClass(*vm_);
    registerTextFieldClasses(*this);
    registerBitmapDataClass(*vm_, movie);
    registerColorClass(*vm_);
    buttonProto_ = registerButtonClass(*vm_);
    vm_->addRoot(buttonProto_);  // new buttons take it even after a script deletes _global.Button
    avm1::setStageSize(*vm_, movie.frameRect.width() / 20.0, movie.frameRect.height() / 20.0);
    vm_->rootMarkers.push_back([this](avm1::Marker& m) {
        markDisplayList(m, root_);
        m.mark(texts_->textFieldProto);
    });
    root_.host().debugLog = [vm = vm_.get()](const std::string& line) { vm->trace(line); };
    vm_->interpreter().levelRoot = [this](int level) -> avm1::Object* {
        return level == 0 ? objectFor(root_) : nullptr;
    };
}

ScriptRuntime::~ScriptRuntime() {
    root_.host().debugLog = nullptr;
    // A movie's SharedObjects are written when it ends, as the original does, flushed or not.
    try {
        avm1::flushSharedObjects(*vm_);
    } catch (...) {
        // a limit hit while writing (a getter on the data): the stored copy stays as it was
    }
    // Clip objects die with the heap; the clips must not point at them afterwards.
    std::vector<Clip*> pending{&root_};
    while (!pending.empty()) {
        Clip* c = pending.back();
        pending.pop_back();
        c->scriptObject = nullptr;
        for (auto& [depth, obj] : c->displayList()) {
            if (Clip* child = obj->clip()) pending.push_back(child);
            if (auto* field = dynamic_cast<EditTextDisplay*>(obj.get())) field->text()->scriptObject = nullptr;
        }
    }
}

ClipObject* ScriptRuntime::objectFor(Clip& clip) {
    if (clip.scriptObject) return static_cast<ClipObject*>(clip.scriptObject);
    avm1::Object* proto = clip.button() ? buttonProto_ : vm_->builtins().movieClipProto;
    DisplayObject* shown = clip.displayObject();
    if (avm1::Object* cls = shown && !clip.button() ? registeredClass(shown->character()) : nullptr)
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
    }
}

void ScriptRuntime::runQueued(ClipHost& host) {
    texts_->bindNew();  // fields placed by these frames show or set their variables first
    // Scripts may queue more scripts (a goto runs the target frame's, a new clip its events).
    PendingActions pending;
    for (size_t n = 0; n < kMaxQueuedScripts && host.queue.pop(pending); ++n) {
        auto clip = pending.clip.lock();
        if (!clip || (clip->removed && pending.event != kClipUnload)) continue;
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

void ScriptRuntime::runFrame(ClipHost& host) {
    vm_->interpreter().startFrameBudget();
    runQueued(host);
    vm_->timers().runDue(*vm_, vm_->host().movieMs());
    runQueued(host);
    texts_->update();
    if (vm_->heap().allocatedSinceCollect() >= kCollectEvery) vm_->collectGarbage();
}

}  // namespace swf
