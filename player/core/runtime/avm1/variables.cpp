// Variable lookup through the scope chain, and paths to clips and objects.
#include <cstdlib>

#include "interpreter.h"
#include "script_clip.h"
#include "super_object.h"

namespace swf::avm1 {
namespace {

bool hasPathSyntax(const std::string& name) {
    return name.find_first_of("/:.") != std::string::npos;
}

// The level a name such as "_level3" or "_flash0a" names; -1 for other names and negative levels.
int levelNumber(const std::string& name, NameRule rule) {
    int32_t level = -1;
    return parseLevelName(name, rule, level) && level >= 0 ? level : -1;
}

}  // namespace

Object* Interpreter::rootOf(Object* clip) {
    auto* c = dynamic_cast<ScriptClip*>(clip);
    if (c) return c->rootClip();
    return levelRoot ? levelRoot(0) : nullptr;
}

Object* Interpreter::globalScopeValues() { return vm_.global(); }

// A timeline removed from the display list while its script runs gives way to the clip the
// script belongs to, or to the root when that one is gone too: its variables are gone to the
// script (tellTarget(a) { removeMovieClip(a); trace(x) } reads the script's own x;
// removeMovieClip(this); trace(x) reads _root.x).
Object* Interpreter::liveTimeline(Object* values) {
    auto* clip = dynamic_cast<ScriptClip*>(values);
    if (!clip || clip->alive()) return values;
    auto* base = current_ ? dynamic_cast<ScriptClip*>(current_->originalTarget) : nullptr;
    return base && base->alive() ? base : rootOf(clip);
}

Object* Interpreter::targetOrBase(const Activation& act) {
    return liveTimeline(act.target ? act.target : act.originalTarget);
}

bool Interpreter::baseClipRemoved(const Activation& act) {
    auto* base = dynamic_cast<ScriptClip*>(act.originalTarget);
    return base && !base->alive();
}

// SWF 4 paths know slashes only: "a:b" and "a.b" are names, "_root" and "this" are none,
// a level can only come first ("_level0:junk" is _level0, the digits read as always).
Value Interpreter::resolveSlashPath(Object* start, const std::string& path) {
    NameRule rule = vm_.names();
    Object* cur = start;
    size_t i = 0;
    if (!path.empty() && path[0] == '/') {
        cur = rootOf(start);
        i = 1;
    }
    for (bool first = i == 0; i < path.size(); first = false) {
        size_t end = std::min(path.find('/', i), path.size());
        std::string part = path.substr(i, end - i);
        i = end + 1;
        auto* clip = dynamic_cast<ScriptClip*>(cur);
        if (part.empty()) {
            if (end < path.size()) return Value();  // "a//b"
            continue;
        }
        int level = first ? levelNumber(part, rule) : -1;
        if (level >= 0) {
            cur = levelRoot ? levelRoot(level) : nullptr;
        } else if (part == "..") {
            cur = clip ? clip->parentClip() : nullptr;
        } else {
            ScriptClip* child = clip ? clip->childClip(part, rule) : nullptr;
            cur = child != clip ? child : nullptr;  // a named shape is no clip
        }
        if (!cur) return Value();
    }
    return Value::object(cur);
}

Value Interpreter::resolvePath(Object* start, const std::string& path, bool scopeFallback) {
    NameRule rule = vm_.names();
    if (path.empty()) return Value::object(start);
    if (vm_.swfVersion() < 5) return resolveSlashPath(start, path);
    Value cur = Value::object(start);
    size_t i = 0;
    if (path[0] == '/') {
        cur = Value::object(rootOf(start));
        i = 1;
    }
    bool first = i == 0;
    // Once a slash has separated names, dots no longer do: "a/b.c" asks for a clip named "b.c".
    bool slashSyntax = i == 1;
    const size_t n = path.size();
    while (i < n) {
        // Colons before a name are skipped ("a/:::b" is a/b); colons ending the path after a
        // name's own (a::) name nothing.
        const size_t colons = i;
        while (i < n && path[i] == ':') ++i;
        if (i == n) {
            if (i > colons) return Value();
            break;
        }
        // ".." is the parent when a separator or the end follows ("..." and "..a" are names).
        const bool parent = path.compare(i, 2, "..") == 0 && (i + 2 == n || path[i + 2] == '/' || path[i + 2] == ':');
        size_t end = parent ? i + 2 : std::min(path.find_first_of(slashSyntax ? "/:" : "/.:", i), n);
        if (end < n && path[end] == '/') slashSyntax = true;
        std::string part = path.substr(i, end - i);
        i = end + 1;
        if (part.empty()) return Value();  // "a//b", "a..b"; "a/" ends the path
        Object* o = cur.asObject();
        auto* clip = dynamic_cast<ScriptClip*>(o);
        int level = levelNumber(part, rule);
        if (part == "..") {
            cur = Value::object(clip ? clip->parentClip() : nullptr);
        } else if (sameName(part, "this", rule)) {
            if (first && current_) cur = current_->thisValue;
        } else if (sameName(part, "_root", rule)) {
            cur = Value::object(rootOf(o ? o : start));
        } else if (sameName(part, "_global", rule)) {
            const bool named = vm_.swfVersion() >= 6 || (vm_.swfVersion() == 5 && current_ && current_->isFunction);
            cur = named ? Value::object(vm_.global()) : Value();
        } else if (level >= 0) {
            Object* found = levelRoot ? levelRoot(level) : nullptr;
            cur = found ? Value::object(found) : Value();
        } else if (sameName(part, "_parent", rule) && clip) {
            cur = Value::object(clip->parentClip());
        } else {
            Value next = clip ? Value::object(clip->childClip(part, rule)) : Value();
            if (!next.isObject()) next = vm_.getMember(cur, part);
            if (first && scopeFallback && next.isUndefined() && current_) next = getVariable(part);
            cur = next;
        }
        first = false;
        if (!cur.isObject()) return Value();
    }
    return cur;
}

Value Interpreter::resolvePathInScopes(const std::string& path) {
    Activation& act = *current_;
    Object* base = targetOrBase(act);
    if (path.empty() || path[0] == '/') return resolvePath(base, path);
    for (Scope* s = act.scope; s; s = s->parent) {
        if (!s->values) continue;
        Value found = resolvePath(s->values, path, false);
        if (found.isObject()) return found;
    }
    return resolvePath(base, path);
}

Object* Interpreter::resolveTarget(const std::string& path) {
    // Target paths know no `this`: tellTarget("this.a") and tellTarget("this/a") name nothing
    // (expressions such as eval("this.a") do know it).
    const size_t first = path.find_first_of("/.:");
    if (first != std::string::npos && sameName(path.substr(0, first), "this", vm_.names())) return nullptr;
    Object* base = current_ ? current_->originalTarget : nullptr;
    return resolvePath(base, path).asObject();
}

// In SWF 4 clips are no values: a variable or path naming one reads as undefined, and only
// a colon separates the variable from its clip's path ("/a:x"; ":x" names nothing).
Value Interpreter::getSwf4Variable(const std::string& name) {
    Value v;
    size_t colon = name.rfind(':');
    if (colon == std::string::npos) {
        v = name.find('/') != std::string::npos ? resolvePath(targetOrBase(*current_), name) : getScopeVariable(name);
    } else if (colon > 0) {
        Value owner = resolvePath(targetOrBase(*current_), name.substr(0, colon));
        if (owner.isObject()) v = vm_.getMember(owner, name.substr(colon + 1));
    }
    return dynamic_cast<ScriptClip*>(v.asObject()) ? Value() : v;
}

Value Interpreter::getVariable(const std::string& name) {
    if (vm_.swfVersion() < 5) return getSwf4Variable(name);
    if (hasPathSyntax(name)) return getPathVariable(name);
    return getScopeVariable(name);
}

Value Interpreter::getPathVariable(const std::string& name) {
    Activation& act = *current_;
    {
        size_t split = name.find_last_of(":.");
        if (split == std::string::npos) {
            // A slash path alone names a clip, or else is the name of a variable ("a/b" = 1
            // stores one so named); `this` does not begin such a path.
            const bool fromThis = sameName(name.substr(0, name.find('/')), "this", vm_.names());
            Value found = fromThis ? Value() : resolvePath(targetOrBase(act), name);
            return found.isObject() ? found : getScopeVariable(name);
        }
        std::string member = name.substr(split + 1);
        if (split == 0) return vm_.getMember(Value::object(act.target), member);
        std::string prefix = name.substr(0, split);
        if (prefix[0] != '/') {
            // Each level of the scope chain in turn, until one gives a value: with
            // this.a.b = {} and _global.a.b = {c: 1}, "a.b.c" reads 1.
            for (Scope* s = act.scope; s; s = s->parent) {
                if (!s->values) continue;
                Value owner = resolvePath(s->values, prefix, false);
                if (!owner.isObject()) continue;
                Value v = vm_.getMember(owner, member);
                if (!v.isUndefined()) return v;
            }
        }
        Value owner = resolvePath(targetOrBase(act), prefix);
        if (!owner.isObject()) return Value();
        return vm_.getMember(owner, member);
    }
    return Value();
}

Value Interpreter::getScopeVariable(const std::string& name) {
    Activation& act = *current_;
    NameRule rule = vm_.names();
    if (sameName(name, "this", rule)) {
        if (act.thisIsLocal) return act.thisValue;
        return vm_.swfVersion() >= 6 ? Value::object(act.target ? act.target : act.originalTarget) : Value();
    }
    // SWF 4 scripts outside functions see no globals: NaN, Infinity and _global are
    // undefined variables there (so 0 == NaN holds).
    const bool globalsVisible = vm_.swfVersion() >= 5;
    for (Scope* s = act.scope; s; s = s->parent) {
        Object* values = s->kind == Scope::Kind::Target ? liveTimeline(s->values) : s->values;
        if (!values || (s->kind == Scope::Kind::Global && !globalsVisible)) continue;
        Value special;
        if (values->getSpecial(vm_, name, special)) return special;
        if (vm_.findProperty(values, name)) return vm_.getMember(values, name);
        if (s->kind == Scope::Kind::Target) {
            if (auto* clip = dynamic_cast<ScriptClip*>(values))
                if (ScriptClip* child = clip->childClip(name, rule)) return Value::object(child);
        }
    }
    // The name `_global` came with SWF 6: a SWF 5 timeline reads it as undefined, a SWF 5
    // function (which sees the globals through its scope) as the object.
    const bool globalNamed = vm_.swfVersion() >= 6 || (vm_.swfVersion() == 5 && act.isFunction);
    if (globalNamed && sameName(name, "_global", rule)) return Value::object(vm_.global());
    if (sameName(name, "_root", rule)) return Value::object(rootOf(act.target ? act.target : act.originalTarget));
    int level = levelNumber(name, rule);
    // A level nothing was loaded into is undefined, as an unknown variable is.
    if (Object* found = level >= 0 && levelRoot ? levelRoot(level) : nullptr) return Value::object(found);
    return Value();
}

Object* Interpreter::withObjectHolding(const std::string& name) {
    if (!current_ || hasPathSyntax(name)) return nullptr;
    for (Scope* s = current_->scope; s; s = s->parent) {
        Object* values = s->values;
        if (!values) continue;
        Value special;
        if (values->getSpecial(vm_, name, special) || vm_.findProperty(values, name))
            return s->kind == Scope::Kind::With || s->kind == Scope::Kind::Local ? values : nullptr;
    }
    return nullptr;
}

void Interpreter::setVariable(const std::string& name, const Value& value) {
    Activation& act = *current_;
    if (hasPathSyntax(name) && name.find_first_of(":.") != std::string::npos) {
        size_t split = name.find_last_of(":.");
        Value owner = split == 0 ? Value::object(act.target) : resolvePathInScopes(name.substr(0, split));
        if (owner.isObject()) vm_.setMember(owner.asObject(), name.substr(split + 1), value);
        return;
    }
    // `this` is a variable of the running script: assigning it changes what later reads see.
    if (act.thisIsLocal && sameName(name, "this", vm_.names())) {
        act.thisValue = value;
        return;
    }
    Object* fallback = nullptr;
    for (Scope* s = act.scope; s; s = s->parent) {
        Object* values = s->kind == Scope::Kind::Target ? liveTimeline(s->values) : s->values;
        if (!values) continue;
        if (s->kind == Scope::Kind::Target && !fallback) fallback = values;
        Value special;
        if (s->kind != Scope::Kind::Global && (values->getSpecial(vm_, name, special) || vm_.findProperty(values, name))) {
            vm_.setMember(values, name, value);
            return;
        }
    }
    if (act.target && act.scope->kind != Scope::Kind::Local) fallback = liveTimeline(act.target);
    if (!fallback) fallback = act.target ? act.target : vm_.global();
    vm_.setMember(fallback, name, value);
}

Value Interpreter::callWithSuper(const Value& function, const Value& self, const Arguments& args, Object* base) {
    Object* o = function.asObject();
    FunctionObject* fn = o ? o->asFunction() : nullptr;
    if (fn && !fn->isNative()) return callScript(static_cast<ScriptFunction&>(*fn), self, args, base);
    return vm_.call(function, self, args);
}

}  // namespace swf::avm1
