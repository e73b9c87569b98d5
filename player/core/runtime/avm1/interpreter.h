// Runs action lists: one small handler per action code, found through a table. Frame scripts
// and function calls each get an Activation; the operand stack is shared, each activation
// seeing only its own part.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "activation.h"
#include "arguments.h"
#include "vm.h"

namespace swf::avm1 {

// A script-level exception (ActionThrow) on its way to a Try block.
struct ScriptThrow {
    Value value;
};

class ScriptFunction;

class Interpreter {
public:
    explicit Interpreter(Vm& vm);

    // Runs a frame script (or a clip event) with `clip` as target and `this`. Aborts by the
    // limits are caught here and reported as warnings.
    void runScript(const ActionListPtr& code, Object* clip);
    // Runs a frame's script from inside a running one (the call() action): the caller waits,
    // limits and exceptions pass through it.
    void runCalledScript(const ActionListPtr& code, Object* clip);
    int versionOfTimeline(Object* clip) const;
    // Calls a script function; used by Vm::call. `base`: the prototype the function was found
    // on, which `super` starts from (null: self's __proto__).
    Value callScript(ScriptFunction& fn, const Value& self, const Arguments& args, Object* base, bool constructing = false);
    // Calls any function value with an explicit `super` base (CallMethod, super calls).
    Value callWithSuper(const Value& function, const Value& self, const Arguments& args, Object* base);

    // The frame's script time starts now (the limit counts all scripts of one frame).
    void startFrameBudget();
    bool scriptsDisabled() const { return disabled_; }
    // Actions run since the Vm started (for benchmarks).
    uint64_t actionsExecuted() const { return executed_; }
    // Brings the next check of the frame's time closer by what a native call may cost.
    void countNativeCall();

    // ---- used by the action handlers
    Vm& vm() { return vm_; }
    Value pop();
    void push(const Value& v);
    void push(Value&& v);  // temporaries move in (no reference count traffic for strings)
    const Value& peek();
    size_t stackDepth() const;
    Activation& current() { return *current_; }
    std::vector<Activation*>& activations() { return live_; }
    // Register r of `act`; past a function's own registers, the frame script's four (a
    // function with 3 registers reads and writes the timeline's register 3). Null if none.
    Value* registerSlot(Activation& act, size_t r);
    std::vector<Value>& stack() { return stack_; }

    // Variables and paths.
    Value getVariable(const std::string& name);
    void setVariable(const std::string& name, const Value& value);
    // The `with` object or function locals a plain name is found on, or null when it is
    // found elsewhere first (a function called as `f()` inside `with (o)` runs with `this` o
    // when o holds it; one kept in a local variable, with `this` the caller's locals).
    Object* withObjectHolding(const std::string& name);
    // A path to a clip or object ("/a/b", "_root.a.b", "../x", "_parent", "this", "_level0").
    // `scopeFallback`: a first name not found on `start` is looked up as a variable.
    Value resolvePath(Object* start, const std::string& path, bool scopeFallback = true);
    Value resolveSlashPath(Object* start, const std::string& path);
    // The object a dotted path ("a.b") names: tried from each level of the scope chain in
    // turn (locals, with objects, the timeline, _global), the first that reaches an object.
    Value resolvePathInScopes(const std::string& path);
    Object* resolveTarget(const std::string& path);
    Object* rootOf(Object* clip);
    Object* globalScopeValues();
    Object* liveTimeline(Object* values);
    // The current target, or where its variables and paths went once it was removed.
    Object* targetOrBase(const Activation& act);
    // The clip whose script or function runs was taken off the display list.
    bool baseClipRemoved(const Activation& act);
    // After a call: a script whose own clip was removed meanwhile (by the call or before it)
    // ends there, as in the original (this.removeMovieClip(); trace("never")).
    void endIfBaseClipRemoved(Activation& act);
    // Version-dependent boolean push: SWF 4 scripts get 1 / 0.
    void pushBool(bool b);

    // The root clip of _levelN (set by the player); null for levels not loaded.
    std::function<Object*(int level)> levelRoot;
    // GetURL / GetURL2 aimed at a level or a clip: loadMovie, loadMovieNum, unloadMovie,
    // loadVariables and their kin (set by the player). `flags` are GetURL2's (0 for GetURL);
    // false when the call is not a load, which then opens nothing in a screen saver.
    std::function<bool(const std::string& url, const std::string& target, uint8_t flags)> loadIntoTarget;
    // TargetPath and RemoveSprite of the display objects that are no clips (text fields), set
    // by the player: the object's target path ("" for anything else), its removal.
    std::function<std::string(Object*)> displayPathOf;
    std::function<void(Object*)> removeDisplayObject;
    // CloneSprite of such an object: a copy named `name` at a script's `depth` (0 and up).
    std::function<void(Object*, const std::string& name, int depth)> duplicateDisplayObject;
    // StopSounds (stopAllSounds()): silences the movie (set by the player).
    std::function<void()> stopAllSounds;

    void run(Activation& act);

private:
    void startFrameScript(Activation& act, const ActionListPtr& code, Object* clip);
    Value getSwf4Variable(const std::string& name);
    Value getPathVariable(const std::string& name);
    Value getScopeVariable(const std::string& name);
    Object* baseClipOfCall(ScriptFunction& fn, const Value& self);
    bool checkLimits();
    bool namesArguments(ScriptFunction& fn);
    bool namesSuper(ScriptFunction& fn);
    void unwind(Activation& act, ScriptThrow& thrown);

    Vm& vm_;
    std::vector<Value> stack_;
    Activation* current_ = nullptr;
    std::vector<Activation*> live_;
    std::chrono::steady_clock::time_point frameStart_;
    uint32_t sinceCheck_ = 0;
    uint64_t executed_ = 0;
    bool disabled_ = false;
    bool budgetSpent_ = false;  // the frame's script time ran out; set until the next frame
};

}  // namespace swf::avm1
