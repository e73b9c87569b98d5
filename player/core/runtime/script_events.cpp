// Clip events reaching scripts: onClipEvent handlers, event methods (onEnterFrame, ...) and
// the constructor of a class registered for the clip's symbol.
#include "avm1/interpreter.h"
#include "clip_events.h"
#include "clip_object.h"
#include "script_runtime.h"

namespace swf {

const std::string* ScriptRuntime::exportName(uint16_t characterId) const {
    auto it = exportNames_.find(characterId);
    return it == exportNames_.end() ? nullptr : &it->second;
}

avm1::Object* ScriptRuntime::registeredClass(const Clip& clip) {
    // A button exported under a registered name stays a Button: its class is never called.
    if (clip.button()) return nullptr;
    const DisplayObject* shown = clip.displayObject();
    const Character* character = shown ? shown->character() : nullptr;
    if (!character) return nullptr;
    // The linkage name is the one the clip's own movie exports (a loaded movie numbers its
    // characters apart); Object.registerClass of that movie's kind of globals maps it.
    const std::string* name = nullptr;
    if (&clip.movie() == &movie_) {
        name = exportName(character->id);
    } else {
        for (const auto& [linkage, id] : clip.movie().exports)
            if (id == character->id) name = &linkage;
    }
    if (!name) return nullptr;
    avm1::SwfVersionScope version(*vm_, clip.movie().version);
    avm1::Property* p = vm_->builtins().registeredClasses->findOwn(*name, vm_->names());
    avm1::Object* cls = p ? p->value.asObject() : nullptr;
    return cls && cls->asFunction() ? cls : nullptr;
}

// A function called from outside any script: what it throws ends it as an uncaught exception
// ends a frame script, and a limit it hits aborts it.
void ScriptRuntime::callFromHost(const avm1::Value& fn, const avm1::Value& self, const avm1::Arguments& args) {
    try {
        vm_->call(fn, self, args);
    } catch (const avm1::ScriptAbort& abort) {
        vm_->warn("script aborted: " + abort.reason);
    } catch (const avm1::ScriptThrow& thrown) {
        vm_->trace("Warning: Uncaught exception, " + vm_->toString(thrown.value));
    }
}

void ScriptRuntime::callHandler(avm1::Object* self, const char* method) {
    avm1::Value fn = vm_->getMember(self, method);
    avm1::Object* f = fn.asObject();
    if (f && f->asFunction()) callFromHost(fn, avm1::Value::object(self), avm1::Arguments());
}

ClipObject* ScriptRuntime::constructByScript(Clip& clip, avm1::Object* initObject) {
    ClipObject* self = objectFor(clip);
    if (initObject) {
        // Oldest property first, the reverse of for..in: in {setter3: .., _x: 5, setter1: ..}
        // setter3's setter runs before _x is set and setter1's after it.
        const std::vector<std::string> names = vm_->enumerate(initObject);
        for (auto it = names.rbegin(); it != names.rend(); ++it) vm_->setMember(self, *it, vm_->getMember(initObject, *it));
    }
    clip.constructedByScript = true;
    dispatchEvent(clip, kClipInitialize);
    dispatchEvent(clip, kClipConstruct);
    return self;
}

void ScriptRuntime::broadcast(const char* object, const char* message) {
    avm1::Value target = vm_->getMember(vm_->global(), object);
    if (!target.asObject()) return;
    avm1::Value args[] = {vm_->newString(message)};
    callFromHost(vm_->getMember(target, "broadcastMessage"), target, avm1::Arguments(args, 1));
}

void ScriptRuntime::runEvent(Clip& clip, uint32_t event) {
    if ((event == kClipInitialize || event == kClipConstruct) && clip.constructedByScript) return;
    dispatchEvent(clip, event);
}

void ScriptRuntime::dispatchEvent(Clip& clip, uint32_t event) {
    if (vm_->interpreter().scriptsDisabled()) return;
    const char* method = clipEventMethod(event);
    avm1::Object* cls = nullptr;
    if (event == kClipConstruct && clip.parent()) {
        cls = registeredClass(clip);
    }
    if (!clip.clipActions && !cls && !method) return;
    ClipObject* self = objectFor(clip);
    if (clip.clipActions) {
        for (const ClipEventHandler& h : *clip.clipActions)
            if (h.events & event) vm_->interpreter().runScript(h.actions, self);
    }
    if (cls) {
        // The instance knows its class as `new` would have told it (this.__constructor__).
        self->define("__constructor__", avm1::Value::object(cls), avm1::kDontEnum);
        callFromHost(avm1::Value::object(cls), avm1::Value::object(self), avm1::Arguments());
    }
    if (method) callHandler(self, method);
}

}  // namespace swf
