// Timeline actions on the current target clip: frame control, targets, clip properties by
// index, duplicating and removing clips, drag, target paths.
#include <cmath>

#include "action_handlers.h"
#include "script_clip.h"

namespace swf::avm1 {
namespace {

using C = ActionCode;

// Under an unknown tellTarget the timeline actions act on the root: tellTarget("missing")
// { gotoAndPlay(2); } moves _root; they do nothing in a script whose own clip is gone.
ScriptClip* targetClip(Interpreter& in, Activation& act) {
    if (!act.target && in.baseClipRemoved(act)) return nullptr;
    Object* target = act.target ? act.target : in.rootOf(act.originalTarget);
    auto* c = dynamic_cast<ScriptClip*>(target);
    return c && c->alive() ? c : nullptr;
}

bool isFrameNumber(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

void nextFrame(Interpreter& in, Activation& act, const Action&) {
    if (ScriptClip* c = targetClip(in, act)) {
        c->gotoFrame(c->currentFrame() + 1, false);
        c->stop();
    }
}

void previousFrame(Interpreter& in, Activation& act, const Action&) {
    if (ScriptClip* c = targetClip(in, act)) {
        if (c->currentFrame() > 0) c->gotoFrame(c->currentFrame() - 1, false);
        c->stop();
    }
}

void play(Interpreter& in, Activation& act, const Action&) {
    if (ScriptClip* c = targetClip(in, act)) c->play();
}

void stop(Interpreter& in, Activation& act, const Action&) {
    if (ScriptClip* c = targetClip(in, act)) c->stop();
}

// GotoFrame and GotoLabel (to a label that exists) stop the clip: authoring tools write gotoAndStop(4) as GotoFrame 3
// alone and gotoAndPlay(2) as GotoFrame 1 followed by Play.
void gotoFrame(Interpreter& in, Activation& act, const Action& a) {
    ScriptClip* c = targetClip(in, act);
    if (!c) return;
    c->gotoFrame(int(a.frame), false);
    c->stop();
}

void gotoLabel(Interpreter& in, Activation& act, const Action& a) {
    ScriptClip* c = targetClip(in, act);
    if (c && c->gotoLabel(a.text, false)) c->stop();  // an unknown label changes nothing
}

}  // namespace

// "label", "12" or "path:frame"; numbers count from 1.
void gotoFrameValue(Interpreter& in, ScriptClip* clip, const Value& frame, bool andPlay, int bias) {
    if (!clip) return;
    Vm& vm = in.vm();
    // Only whole numbers are frame numbers: a fraction ("4.123"), undefined or false names a
    // label (a frame labelled "undefined" is where gotoAndStop(undefined) goes).
    const bool number = frame.isNumber() && !(std::isfinite(frame.asNumber()) && frame.asNumber() != std::trunc(frame.asNumber()));
    if (number) {
        // The 0-based frame is ToInt32(n) - 1 in wrapping 32-bit arithmetic: 0 and negative
        // numbers go nowhere, 4294967298 is frame 2, 2147483648 wraps past the end.
        int32_t index = int32_t(uint32_t(vm.toInt32(frame)) - 1u);
        if (index < 0) return;
        clip->gotoFrame(std::min(index, 1000000) + bias, andPlay);
        if (!andPlay) clip->stop();
        return;
    }
    std::string text = vm.toString(frame);
    size_t colon = text.rfind(':');
    if (colon != std::string::npos) {
        clip = dynamic_cast<ScriptClip*>(in.resolvePath(clip, text.substr(0, colon)).asObject());
        text = text.substr(colon + 1);
        if (!clip || !clip->alive()) return;
    }
    if (isFrameNumber(text)) {
        clip->gotoFrame(int(std::min(std::strtod(text.c_str(), nullptr), 1e6)) - 1 + bias, andPlay);
    } else if (!clip->gotoLabel(text, andPlay, bias)) {
        return;
    }
    if (!andPlay) clip->stop();
}

namespace {

// An object frame is read as text (toString), as a label or "path:frame" could be.
void gotoFrame2(Interpreter& in, Activation& act, const Action& a) {
    Value frame = in.pop();
    if (frame.isObject()) frame = in.vm().newString(in.vm().toString(frame));
    gotoFrameValue(in, targetClip(in, act), frame, a.play, a.sceneBias);
}

// call(frame): runs the scripts of a frame of the target ("label", "3", "/path:frame") at
// once, as a subroutine; the clip stays where it is.
void callFrame(Interpreter& in, Activation& act, const Action&) {
    Value frame = in.pop();
    // Under a tellTarget that found nothing, the script's own clip is called on; when the
    // target is gone, the clip its variables went to.
    ScriptClip* clip = targetClip(in, act);
    if (!clip) clip = dynamic_cast<ScriptClip*>(act.target ? in.targetOrBase(act) : act.originalTarget);
    if (!clip || !clip->alive()) return;
    int index = -1;
    if (frame.isString() || frame.isObject()) {
        std::string text = in.vm().toString(frame);
        size_t colon = text.rfind(':');
        if (colon != std::string::npos) {
            clip = dynamic_cast<ScriptClip*>(in.resolvePath(clip, text.substr(0, colon)).asObject());
            text = text.substr(colon + 1);
            if (!clip || !clip->alive()) return;
        }
        index = isFrameNumber(text) ? int(std::min(std::strtod(text.c_str(), nullptr), 1e6)) - 1 : clip->findLabel(text);
    } else {
        // Numbers wrap as 32-bit integers, as for gotoAndPlay: 4294967299 is frame 3.
        index = int32_t(uint32_t(in.vm().toInt32(frame)) - 1u);
    }
    if (index < 0) return;
    // A frame that calls itself ends at the recursion limit.
    for (const ActionListPtr& script : clip->frameScripts(index)) in.runCalledScript(script, clip);
    in.endIfBaseClipRemoved(act);
}

// No path names anything from a script whose own clip was removed, not even "_root".
void setTargetTo(Interpreter& in, Activation& act, const std::string& path) {
    Object* target = path.empty() ? act.originalTarget : in.baseClipRemoved(act) ? nullptr : in.resolveTarget(path);
    if (!target && !path.empty()) in.vm().warn("Target not found: Target=\"" + path + "\" Base=\"?\"");
    act.target = target;
    act.targetMissing = !target && !path.empty();
    // Variables follow the target (tellTarget); under an unknown target they are the root's.
    Object* root = target ? nullptr : in.rootOf(act.originalTarget);
    Object* values = target ? target : root ? root : act.originalTarget;
    if (!act.isFunction && act.targetScope) {
        act.targetScope = in.vm().heap().make<Scope>(act.targetScope->parent, values, Scope::Kind::Target);
        act.scope = act.targetScope;
        act.withs.clear();
    }
}

void setTarget(Interpreter& in, Activation& act, const Action& a) { setTargetTo(in, act, a.text); }

// A clip is aimed at by its target path, as a reference to it is resolved: with two clips
// named "a", tellTarget(secondA) reaches the first.
void setTarget2(Interpreter& in, Activation& act, const Action&) {
    Value v = in.pop();
    auto* clip = dynamic_cast<ScriptClip*>(v.asObject());
    setTargetTo(in, act, clip ? clip->targetPath() : in.vm().toString(v));
}

ScriptClip* clipAt(Interpreter& in, Activation& act, const Value& path) {
    if (auto* clip = dynamic_cast<ScriptClip*>(path.asObject())) return clip->resolved();
    std::string text = in.vm().toString(path);
    // "" is the current target; under a tellTarget that named no clip there is none.
    if (text.empty() && act.targetMissing) return nullptr;
    Object* base = in.targetOrBase(act);
    // A path names clips from the target only: a variable of that name elsewhere in scope
    // (_global.clip3 = mc3) is not looked at.
    auto* clip = dynamic_cast<ScriptClip*>(text.empty() ? base : in.resolvePath(base, text, false).asObject());
    return clip && clip->alive() ? clip : nullptr;
}

// The clip actions convert each operand as they pop it (valueOf / toString calls of object
// operands show the order): the property index before the target, the depth before the names.
void getProperty(Interpreter& in, Activation& act, const Action&) {
    // An index that is no number ("11ABC") names no property; -0.8 is _x.
    const double n = in.vm().toNumber(in.pop());  // once: valueOf may have effects
    ScriptClip* clip = clipAt(in, act, in.pop());
    const bool named = std::isfinite(n) && std::fabs(n) < 1e9;
    in.push(clip && named ? clip->propertyByIndex(in.vm(), int(std::trunc(n))) : Value());
}

// The value setProperty stores, converted by the property's kind after the target: _name and
// _quality take text, the read-only texts (_target, _droptarget, _url) nothing, others numbers.
// Undefined and null change no number, in SWF 5 and 6 too, where they would convert to 0.
// _focusrect takes an object as it is (it turns the rectangle off unasked) and, unlike an
// assignment, ignores what converts to NaN ("abc" keeps the setting).
// From SWF 7 a NaN given as a name names the clip "0" (setProperty(mc, _name, 0/0)).
Value propertyValue(Vm& vm, int index, const Value& value) {
    switch (index) {
        case 13:
            if (vm.swfVersion() >= 7 && value.isNumber() && std::isnan(value.asNumber())) return vm.newString("0");
            return vm.newString(vm.toString(value));
        case 19: return vm.newString(vm.toString(value));
        case 11: case 14: case 15: return value;
        case 17: {
            if (value.isNullish() || value.asObject()) return value;
            const double n = vm.toNumber(value);
            return std::isnan(n) ? Value() : Value::number(n);
        }
        default: return value.isNullish() ? value : Value::number(vm.toNumber(value));
    }
}

void setProperty(Interpreter& in, Activation& act, const Action&) {
    Value value = in.pop();
    const int index = int(in.vm().toInteger(in.pop()));
    ScriptClip* clip = clipAt(in, act, in.pop());
    Value converted = propertyValue(in.vm(), index, value);
    if (clip) clip->setPropertyByIndex(in.vm(), index, converted);
}

// A text field is copied too (duplicateMovieClip(field, "copy", 5)), named as a clip would be.
void cloneSprite(Interpreter& in, Activation& act, const Action&) {
    const int depth = int(in.vm().toInteger(in.pop()));
    const std::string name = in.vm().toString(in.pop());
    const Value target = in.pop();
    if (ScriptClip* clip = clipAt(in, act, target)) {
        clip->duplicate(in.vm(), name, depth - 16384);
        return;
    }
    if (!in.duplicateDisplayObject) return;
    Object* object = target.asObject();
    if (!object && !(target.isString() && act.targetMissing)) {
        const std::string text = in.vm().toString(target);
        if (!text.empty()) object = in.resolvePath(in.targetOrBase(act), text, false).asObject();
    }
    if (object) in.duplicateDisplayObject(object, name, depth - 16384);
}

// A text field goes too (removeMovieClip(field)).
void removeSprite(Interpreter& in, Activation& act, const Action&) {
    Value target = in.pop();
    if (ScriptClip* clip = clipAt(in, act, target)) clip->removeClip(in.vm());
    else if (target.isObject() && in.removeDisplayObject) in.removeDisplayObject(target.asObject());
}

// The flags are integers to startDrag (an object's valueOf runs), read after the target, and
// only 1 sets one: a constraint flag of 7 takes no rectangle from the stack.
bool flagOf(Vm& vm, const Value& v) { return vm.toInt32(v) == 1; }

void startDrag(Interpreter& in, Activation& act, const Action&) {
    ScriptClip* clip = clipAt(in, act, in.pop());
    bool lockCenter = flagOf(in.vm(), in.pop());
    double bounds[4];
    bool constrained = flagOf(in.vm(), in.pop());
    if (constrained)
        for (int i = 3; i >= 0; --i) bounds[i] = in.vm().toNumber(in.pop());  // y2, x2, y1, x1 from the top
    if (clip) clip->startDrag(lockCenter, constrained ? bounds : nullptr);
}

void endDrag(Interpreter& in, Activation& act, const Action&) {
    if (auto* clip = dynamic_cast<ScriptClip*>(act.target)) clip->stopDrag();
    (void)in;
}

void stopSounds(Interpreter& in, Activation&, const Action&) {
    if (in.stopAllSounds) in.stopAllSounds();
}

// Of a clip or a text field; undefined for anything else (a string naming a clip included).
void targetPath(Interpreter& in, Activation&, const Action&) {
    Value v = in.pop();
    auto* clip = dynamic_cast<ScriptClip*>(v.asObject());
    if (clip) {
        in.push(in.vm().newString(clip->targetPath()));
        return;
    }
    std::string path = v.isObject() && in.displayPathOf ? in.displayPathOf(v.asObject()) : std::string();
    in.push(path.empty() ? Value() : in.vm().newString(path));
}

}  // namespace

void addClipActions(HandlerTable& t) {
    t[uint8_t(C::Call)] = callFrame;
    t[uint8_t(C::NextFrame)] = nextFrame;
    t[uint8_t(C::PreviousFrame)] = previousFrame;
    t[uint8_t(C::Play)] = play;
    t[uint8_t(C::Stop)] = stop;
    t[uint8_t(C::GotoFrame)] = gotoFrame;
    t[uint8_t(C::GotoLabel)] = gotoLabel;
    t[uint8_t(C::GotoFrame2)] = gotoFrame2;
    t[uint8_t(C::SetTarget)] = setTarget;
    t[uint8_t(C::SetTarget2)] = setTarget2;
    t[uint8_t(C::GetProperty)] = getProperty;
    t[uint8_t(C::SetProperty)] = setProperty;
    t[uint8_t(C::CloneSprite)] = cloneSprite;
    t[uint8_t(C::RemoveSprite)] = removeSprite;
    t[uint8_t(C::StartDrag)] = startDrag;
    t[uint8_t(C::EndDrag)] = endDrag;
    t[uint8_t(C::TargetPath)] = targetPath;
    t[uint8_t(C::StopSounds)] = stopSounds;
}

}  // namespace swf::avm1
