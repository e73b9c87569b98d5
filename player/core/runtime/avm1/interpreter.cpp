#include "interpreter.h"

#include <algorithm>

#include "action_handlers.h"
#include "function.h"
#include "script_clip.h"
#include "super_object.h"

namespace swf::avm1 {
namespace {

constexpr size_t kMaxStack = 1u << 16;
constexpr uint32_t kActionsBetweenClockChecks = 4096;
// A native call may do far more than an action (a bitmap operation over millions of pixels,
// a join of a long array): it counts as this many, so a loop of them sees the frame's time
// run out after a few dozen calls rather than thousands.
constexpr uint32_t kActionsPerNativeCall = 64;

}  // namespace

Interpreter::Interpreter(Vm& vm) : vm_(vm), frameStart_(std::chrono::steady_clock::now()) {}

void Interpreter::startFrameBudget() {
    // Values frame scripts left on the stack are seen by the next script of the same frame
    // only.
    if (!current_) stack_.clear();
    frameStart_ = std::chrono::steady_clock::now();
    sinceCheck_ = 0;
    budgetSpent_ = false;
}

Value Interpreter::pop() {
    size_t base = current_ ? current_->stackBase : 0;
    if (stack_.size() <= base) return Value();
    Value v = std::move(stack_.back());
    stack_.pop_back();
    return v;
}

void Interpreter::push(const Value& v) {
    if (stack_.size() >= kMaxStack) throw ScriptAbort{"operand stack overflow"};
    stack_.push_back(v);
}

void Interpreter::push(Value&& v) {
    if (stack_.size() >= kMaxStack) throw ScriptAbort{"operand stack overflow"};
    stack_.push_back(std::move(v));
}

const Value& Interpreter::peek() {
    static const Value undefined{};
    size_t base = current_ ? current_->stackBase : 0;
    return stack_.size() > base ? stack_.back() : undefined;
}

size_t Interpreter::stackDepth() const {
    size_t base = current_ ? current_->stackBase : 0;
    return stack_.size() - base;
}

void Interpreter::pushBool(bool b) {
    push(Value::boolean(b));  // SWF 4 too: its booleans print as 1 and 0
}

void Interpreter::countNativeCall() { sinceCheck_ += kActionsPerNativeCall; }

bool Interpreter::checkLimits() {
    ++executed_;
    if (++sinceCheck_ < kActionsBetweenClockChecks) return true;
    sinceCheck_ = 0;
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - frameStart_).count();
    if (seconds > vm_.limits().scriptSeconds) budgetSpent_ = true;
    return !budgetSpent_;
}

void Interpreter::runScript(const ActionListPtr& code, Object* clip) {
    if (!code || code->actions.empty() || disabled_) return;
    // The frame's time is spent: the scripts still queued for it (gotos queue thousands) do not
    // each run another stretch of actions before noticing.
    if (budgetSpent_) return;
    Activation act;
    // Scripts of one frame share the operand stack: what one leaves there, the next pops.
    const bool topLevel = current_ == nullptr;
    act.keepsStack = topLevel;
    act.stackBase = topLevel ? 0 : stack_.size();
    try {
        // A safe point: nothing runs, so a full heap may free room here.
        if (vm_.heap().size() + 64 >= vm_.limits().maxObjects) vm_.collectGarbage();
        SwfVersionScope version(vm_, versionOfTimeline(clip));
        startFrameScript(act, code, clip);
        run(act);
    } catch (const ScriptAbort& abort) {
        vm_.warn("script aborted: " + abort.reason);
        stack_.resize(act.stackBase);
    } catch (const ScriptThrow& thrown) {
        // The original's log notes it; the movie goes on.
        vm_.trace("Warning: Uncaught exception, " + vm_.toString(thrown.value));
    }
    if (!topLevel || stack_.size() > kMaxStack / 2) stack_.resize(act.stackBase);
    if (topLevel) {
        current_ = nullptr;
        live_.clear();
    }
}

void Interpreter::runCalledScript(const ActionListPtr& code, Object* clip) {
    if (!code || code->actions.empty() || disabled_) return;
    if (live_.size() >= size_t(vm_.limits().recursionDepth))
        throw ScriptAbort{std::to_string(vm_.limits().recursionDepth) + " levels of recursion were exceeded"};
    Activation act;
    act.stackBase = stack_.size();
    SwfVersionScope version(vm_, versionOfTimeline(clip));
    startFrameScript(act, code, clip);
    run(act);
    stack_.resize(act.stackBase);
}

// A timeline's scripts follow the version of the movie it came from.
int Interpreter::versionOfTimeline(Object* clip) const {
    auto* timeline = dynamic_cast<ScriptClip*>(clip);
    const int version = timeline ? timeline->movieVersion() : 0;
    return version ? version : vm_.movieVersion();
}

// A frame script's activation: `clip` is its target and `this`, below it only _global.
void Interpreter::startFrameScript(Activation& act, const ActionListPtr& code, Object* clip) {
    act.code = code;
    act.target = act.originalTarget = clip;
    act.thisValue = Value::object(clip);
    act.registers.resize(4);
    auto* globalScope = vm_.heap().make<Scope>(nullptr, vm_.global(), Scope::Kind::Global);
    act.scope = act.targetScope = vm_.heap().make<Scope>(globalScope, clip, Scope::Kind::Target);
}

void Interpreter::run(Activation& act) {
    Activation* saved = current_;
    act.caller = saved;
    current_ = &act;
    live_.push_back(&act);
    struct Restore {
        Interpreter& self;
        Activation* saved;
        ~Restore() {
            self.live_.pop_back();
            self.current_ = saved;
        }
    } restore{*this, saved};

    const ActionList& code = *act.code;
    const size_t count = code.actions.size();
    while (!act.done) {
        try {
            while (!act.done) {
                if (!act.withs.empty() && act.pc >= act.withs.back().end) {
                    act.scope = act.withs.back().saved;
                    act.withs.pop_back();
                    continue;
                }
                if (!act.tries.empty() && tryBoundary(*this, act)) continue;
                if (act.pc >= count) break;
                if (!checkLimits()) throw ScriptAbort{"script ran longer than " + std::to_string(int(vm_.limits().scriptSeconds)) + " seconds"};
                const Action& a = code.actions[act.pc++];
                kHandlers[a.code](*this, act, a);
            }
            act.done = true;
        } catch (ScriptThrow& thrown) {
            unwind(act, thrown);
        }
    }
    if (!act.keepsStack && stack_.size() > act.stackBase) stack_.resize(act.stackBase);
}

void Interpreter::unwind(Activation& act, ScriptThrow& thrown) {
    while (!act.tries.empty()) {
        TryFrame& t = act.tries.back();
        while (act.withs.size() > t.withDepth) {
            act.scope = act.withs.back().saved;
            act.withs.pop_back();
        }
        if (stack_.size() > t.stackHeight) stack_.resize(t.stackHeight);
        const Action& a = *t.action;
        bool hasCatch = a.flags & 0x01;
        bool hasFinally = a.flags & 0x02;
        if (t.state == TryFrame::State::InTry && hasCatch) {
            t.state = TryFrame::State::InCatch;
            if (a.flags & 0x04) {
                if (a.frame < act.registers.size()) act.registers[a.frame] = thrown.value;
            } else {
                setVariable(a.text, thrown.value);
            }
            act.pc = a.catchStart;
            return;
        }
        if (t.state != TryFrame::State::InFinally && hasFinally) {
            t.state = TryFrame::State::InFinally;
            t.rethrow = true;
            t.pending = thrown.value;
            act.pc = a.finallyStart;
            return;
        }
        act.tries.pop_back();
    }
    throw thrown;
}

namespace {

// Whether `name` appears as a pushed string or a constant of the pool in force anywhere in the
// actions (nested function bodies included).
bool actionsName(const ActionList& list, const std::vector<SharedText>* pool, const char* name, int depth) {
    if (depth > 64) return true;
    auto same = [&](const SharedText& t) { return t && sameName(*t, name, NameRule{false}); };
    for (const Action& a : list.actions) {
        for (const SharedText& t : a.pool)
            if (same(t)) return true;
        if (!a.pool.empty()) pool = &a.pool;
        for (const PushValue& v : a.values) {
            if (v.type == PushValue::Type::String && same(v.string)) return true;
            if (v.type == PushValue::Type::Constant && pool && size_t(v.number) < pool->size() && same((*pool)[size_t(v.number)]))
                return true;
        }
        if (a.function && a.function->body && actionsName(*a.function->body, pool, name, depth + 1)) return true;
    }
    return false;
}

bool bodyNames(ScriptFunction& fn, ScriptFunction::Mention& cached, const char* name) {
    if (cached == ScriptFunction::Mention::Unknown) {
        bool named = !fn.body->body || actionsName(*fn.body->body, fn.constants.get(), name, 0);
        cached = named ? ScriptFunction::Mention::Yes : ScriptFunction::Mention::No;
    }
    return cached == ScriptFunction::Mention::Yes;
}

}  // namespace

bool Interpreter::namesArguments(ScriptFunction& fn) { return bodyNames(fn, fn.namesArguments, "arguments"); }
bool Interpreter::namesSuper(ScriptFunction& fn) { return bodyNames(fn, fn.namesSuper, "super"); }

Value* Interpreter::registerSlot(Activation& act, size_t r) {
    if (r < act.registers.size()) return &act.registers[r];
    if (act.isFunction && !live_.empty() && !live_.front()->isFunction && r < live_.front()->registers.size())
        return &live_.front()->registers[r];
    return nullptr;
}

// A function runs on the clip that defined it, reached by its path as any kept clip
// reference is (so one made again under that name takes its place); with none there, on the
// clip it is called on, else on the caller's target.
Object* Interpreter::baseClipOfCall(ScriptFunction& fn, const Value& self) {
    auto* defining = dynamic_cast<ScriptClip*>(fn.targetClip);
    if (!defining) return fn.targetClip;
    if (ScriptClip* now = defining->resolved()) return now;
    auto* calledOn = dynamic_cast<ScriptClip*>(self.asObject());
    if (ScriptClip* on = calledOn ? calledOn->resolved() : nullptr) return on;
    if (current_) return targetOrBase(*current_);
    return levelRoot ? levelRoot(0) : fn.targetClip;
}

void Interpreter::endIfBaseClipRemoved(Activation& act) {
    if (!baseClipRemoved(act)) return;
    act.done = true;
    act.result = Value();
}

Value Interpreter::callScript(ScriptFunction& fn, const Value& self, const Arguments& args, Object* base, bool constructing) {
    if (live_.size() >= size_t(vm_.limits().recursionDepth))
        throw ScriptAbort{std::to_string(vm_.limits().recursionDepth) + " levels of recursion were exceeded"};
    if (disabled_) return Value();
    const FunctionBody& body = *fn.body;
    // Functions came with SWF 5: inside one, a SWF 4 movie's script converts and compares by
    // the SWF 5 rules (true prints "true", 4 / 0 is Infinity) and sees _global.
    // A function keeps the version of the movie that defined it, whoever calls it.
    SwfVersionScope functionVersion(vm_, std::max(fn.version ? fn.version : vm_.swfVersion(), 5));
    Activation act;
    act.code = body.body;
    act.isFunction = true;
    act.isConstructor = constructing;
    act.stackBase = stack_.size();
    act.thisValue = self;
    act.callee = &fn;
    act.target = act.originalTarget = baseClipOfCall(fn, self);
    act.pool = fn.constants;
    Object* locals = vm_.heap().make<Object>(nullptr);
    Scope* outer = fn.scope;
    if (vm_.swfVersion() < 6) {
        // SWF 5 functions close over nothing: below their locals come the timeline of the
        // clip they are called on (or the one that defined them) and _global.
        Scope* global = fn.scope;
        while (global && global->kind != Scope::Kind::Global) global = global->parent;
        auto* calledOn = dynamic_cast<ScriptClip*>(self.asObject());
        Object* clip = calledOn && calledOn->resolved() ? calledOn->resolved() : act.originalTarget;
        if (clip) {
            act.target = act.originalTarget = clip;
            outer = vm_.heap().make<Scope>(global, clip, Scope::Kind::Target);
        }
    }
    act.scope = vm_.heap().make<Scope>(outer, locals, Scope::Kind::Local);
    for (Scope* s = outer; s; s = s->parent)
        if (s->kind == Scope::Kind::Target) { act.targetScope = s; break; }
    act.registers.resize(body.isFunction2 ? std::max<size_t>(body.registerCount, 1) : 4);

    Object* thisObject = self.asObject();
    // `super` starts one level above the object the method was found on; a method found on
    // `this` itself (and a constructor) starts at this.__proto__.
    if (thisObject && (!base || base == thisObject)) base = thisObject->proto();
    // `super` and `arguments` are made only for a register that preloads them or for a body
    // that names them (most handlers, called every frame, do neither).
    Object* superObject = nullptr;
    bool wantSuper = (body.isFunction2 && (body.flags & FunctionBody::PreloadSuper)) ||
                     ((!body.isFunction2 || !(body.flags & FunctionBody::SuppressSuper)) && namesSuper(fn));
    if (wantSuper && thisObject && base) superObject = vm_.heap().make<SuperObject>(thisObject, base);
    bool wantArguments = (body.isFunction2 && (body.flags & FunctionBody::PreloadArguments)) ||
                         ((!body.isFunction2 || !(body.flags & FunctionBody::SuppressArguments)) && namesArguments(fn));
    if (wantArguments) {
        std::vector<Value> argValues(args.begin(), args.end());
        Object* arguments = vm_.newArray(argValues);
        arguments->define("callee", Value::object(&fn), kDontEnum);
        Object* caller = current_ && current_->callee ? current_->callee : nullptr;
        arguments->define("caller", Value::object(caller), kDontEnum);
        act.arguments = arguments;
    }
    act.superObject = superObject;

    if (body.isFunction2) {
        size_t reg = 1;
        auto preload = [&](uint16_t flag, const Value& v) {
            if ((body.flags & flag) && reg < act.registers.size()) act.registers[reg++] = v;
        };
        // A preloaded name is a register only, never also a local. Suppressing wins over
        // preloading for `this` and `super` (the register is taken, left undefined); the
        // arguments are preloaded even when suppressed.
        using F = FunctionBody;
        auto flagged = [&](uint16_t f) { return (body.flags & f) != 0; };
        preload(F::PreloadThis, flagged(F::SuppressThis) ? Value() : self);
        preload(F::PreloadArguments, Value::object(act.arguments));
        preload(F::PreloadSuper, flagged(F::SuppressSuper) ? Value() : Value::object(superObject));
        preload(F::PreloadRoot, Value::object(rootOf(act.target)));
        auto* clip = dynamic_cast<ScriptClip*>(act.target);
        // A clip without a parent (the root) takes no register: _global goes where _parent would.
        if (clip && clip->parentClip()) preload(F::PreloadParent, Value::object(clip->parentClip()));
        preload(F::PreloadGlobal, Value::object(vm_.global()));
        if (!flagged(F::SuppressThis | F::PreloadThis)) locals->define("this", self, kDontEnum);
        else act.thisIsLocal = false;
        if (!flagged(F::SuppressArguments | F::PreloadArguments) && act.arguments)
            locals->define("arguments", Value::object(act.arguments), kDontEnum);
        if (!flagged(F::SuppressSuper | F::PreloadSuper) && superObject)
            locals->define("super", Value::object(superObject), kDontEnum);
        for (size_t i = 0; i < body.params.size(); ++i) {
            uint8_t r = body.paramRegisters[i];
            if (r && r < act.registers.size()) act.registers[r] = args[i];
            else if (!r) locals->define(body.params[i], args[i]);
        }
    } else {
        locals->define("this", self, kDontEnum);
        if (act.arguments) locals->define("arguments", Value::object(act.arguments), kDontEnum);
        if (superObject) locals->define("super", Value::object(superObject), kDontEnum);
        for (size_t i = 0; i < body.params.size(); ++i) locals->define(body.params[i], args[i]);
    }
    run(act);
    return act.result;
}

}  // namespace swf::avm1
