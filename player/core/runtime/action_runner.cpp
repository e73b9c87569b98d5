#include "action_runner.h"

#include <algorithm>
#include <cmath>

#include "../parse/limits.h"

namespace swf {
namespace {

constexpr size_t kMaxStack = 1u << 16;

bool isFrameNumber(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

int toFrameIndex(double number) {
    if (std::isnan(number)) return -1;
    double clamped = std::max(-1.0, std::min(number, 1e6));
    return int(clamped) - 1;  // scripts count frames from 1
}

}  // namespace

AvmValue ActionRunner::pop() {
    if (stack_.empty()) return {};
    AvmValue v = std::move(stack_.back());
    stack_.pop_back();
    return v;
}

void ActionRunner::push(AvmValue v) {
    if (stack_.size() < kMaxStack) stack_.push_back(std::move(v));
}

Clip* ActionRunner::resolveTarget(Clip& base, const std::string& path) const {
    Clip* clip = &base;
    size_t i = 0;
    if (!path.empty() && path[0] == '/') {
        clip = &root_;
        i = 1;
    }
    while (i < path.size() && clip) {
        size_t end = path.find_first_of("/.", i);
        // ".." is a segment of its own in slash paths.
        if (path.compare(i, 2, "..") == 0) end = i + 2;
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(i, end - i);
        i = end + 1;
        if (part.empty() || part == "this") continue;
        if (part == "_root" || part == "_level0") clip = &root_;
        else if (part == ".." || part == "_parent") clip = clip->parent();
        else clip = clip->childByName(part);
    }
    return clip;
}

void ActionRunner::gotoLabel(Clip* target, const std::string& label, bool play, bool stop) {
    if (!target || !target->timeline()) return;
    int frame = target->timeline()->findLabel(label);
    if (frame >= 0) target->gotoFrame(frame, play, stop);
}

void ActionRunner::gotoFrame2(Clip* target, const AvmValue& frame, bool play, int bias) {
    if (!target) return;
    if (frame.type != AvmValue::Type::String) {
        int index = toFrameIndex(frame.toNumber());
        if (index >= 0) target->gotoFrame(index + bias, play, !play);
        return;
    }
    // "label", "12" or "path:frame".
    std::string text = frame.string;
    size_t colon = text.rfind(':');
    if (colon != std::string::npos) {
        target = resolveTarget(*target, text.substr(0, colon));
        text = text.substr(colon + 1);
    }
    if (!target) return;
    if (isFrameNumber(text)) {
        int index = toFrameIndex(std::strtod(text.c_str(), nullptr));
        if (index >= 0) target->gotoFrame(index + bias, play, !play);
    } else {
        gotoLabel(target, text, play, !play);
    }
}

AvmValue ActionRunner::getVariable(Clip& origin, Clip* target, const std::string& name) {
    Clip* owner = target ? target : &origin;
    // A path to a clip ("mc", "_root.mc", "../mc", "this") reads as the clip itself.
    if (!name.empty() && !owner->variables.count(name))
        if (Clip* clip = resolveTarget(*owner, name)) return AvmValue::fromClip(clip->shared_from_this());
    std::string var = name;
    size_t split = name.find_last_of(":.");
    if (split != std::string::npos) {
        owner = resolveTarget(*owner, name.substr(0, split));
        var = name.substr(split + 1);
    }
    if (!owner) return {};
    if (var == "_currentframe") return AvmValue::fromNumber(owner->currentFrame() + 1);
    if (var == "_totalframes") return AvmValue::fromNumber(owner->frameCount());
    auto it = owner->variables.find(var);
    return it == owner->variables.end() ? AvmValue{} : it->second;
}

void ActionRunner::setVariable(Clip& origin, Clip* target, const std::string& name, AvmValue v) {
    Clip* owner = target ? target : &origin;
    std::string var = name;
    size_t split = name.find_last_of(":.");
    if (split != std::string::npos) {
        owner = resolveTarget(*owner, name.substr(0, split));
        var = name.substr(split + 1);
    }
    if (owner && owner->variables.size() < kMaxStack) owner->variables[var] = std::move(v);
}

AvmValue ActionRunner::getMember(const AvmValue& object, const std::string& name) {
    std::shared_ptr<Clip> clip = object.type == AvmValue::Type::MovieClip ? object.clip.lock() : nullptr;
    if (!clip) return {};
    if (name == "_currentframe") return AvmValue::fromNumber(clip->currentFrame() + 1);
    if (name == "_totalframes") return AvmValue::fromNumber(clip->frameCount());
    if (name == "_parent") return clip->parent() ? AvmValue::fromClip(clip->parent()->shared_from_this()) : AvmValue{};
    auto it = clip->variables.find(name);
    if (it != clip->variables.end()) return it->second;
    if (Clip* child = clip->childByName(name)) return AvmValue::fromClip(child->shared_from_this());
    return {};
}

std::vector<AvmValue> ActionRunner::popArguments() {
    double count = pop().toNumber();
    size_t n = std::isnan(count) || count < 0 ? 0 : size_t(std::min(count, double(stack_.size())));
    std::vector<AvmValue> args;
    for (size_t i = 0; i < n; ++i) args.push_back(pop());
    return args;
}

void ActionRunner::callClipMethod(Clip* clip, const std::string& method, const std::vector<AvmValue>& args) {
    if (!clip) return;
    AvmValue frame = args.empty() ? AvmValue{} : args[0];
    if (method == "play") clip->play();
    else if (method == "stop") clip->stop();
    else if (method == "nextFrame") clip->gotoFrame(clip->currentFrame() + 1, false, true);
    else if (method == "prevFrame") {
        if (clip->currentFrame() > 0) clip->gotoFrame(clip->currentFrame() - 1, false, true);
    } else if (method == "gotoAndPlay" && !args.empty()) gotoFrame2(clip, frame, true, 0);
    else if (method == "gotoAndStop" && !args.empty()) gotoFrame2(clip, frame, false, 0);
}

void ActionRunner::run(Clip& origin, const ActionList& actions) {
    // Scripts can remove their own clip (a goto on the parent); keep every clip used alive.
    std::shared_ptr<Clip> keepOrigin = origin.shared_from_this();
    std::shared_ptr<Clip> keepTarget;
    Clip* target = &origin;
    stack_.clear();
    pool_.clear();
    size_t i = 0;
    while (i < actions.size() && budget_ > 0) {
        --budget_;
        const Action& a = actions[i++];
        switch (ActionCode(a.code)) {
            case ActionCode::Play: if (target) target->play(); break;
            case ActionCode::Stop: if (target) target->stop(); break;
            case ActionCode::NextFrame: if (target) target->gotoFrame(target->currentFrame() + 1, false, true); break;
            case ActionCode::PreviousFrame:
                if (target && target->currentFrame() > 0) target->gotoFrame(target->currentFrame() - 1, false, true);
                break;
            case ActionCode::GotoFrame: if (target) target->gotoFrame(int(a.frame), false, false); break;
            case ActionCode::GotoLabel: gotoLabel(target, a.text, false, false); break;
            case ActionCode::GotoFrame2: gotoFrame2(target, pop(), a.play, a.sceneBias); break;
            case ActionCode::SetTarget:
            case ActionCode::SetTarget2: {
                std::string path = ActionCode(a.code) == ActionCode::SetTarget ? a.text : pop().toString();
                target = path.empty() ? &origin : resolveTarget(origin, path);
                keepTarget = target ? target->shared_from_this() : nullptr;
                break;
            }
            case ActionCode::ConstantPool: pool_ = a.pool; break;
            case ActionCode::Push:
                for (const PushValue& v : a.values) {
                    switch (v.type) {
                        case PushValue::Type::String: push(AvmValue::fromString(v.string)); break;
                        case PushValue::Type::Number: push(AvmValue::fromNumber(v.number)); break;
                        case PushValue::Type::Bool: push(AvmValue::fromBool(v.number != 0)); break;
                        case PushValue::Type::Null: push(AvmValue{AvmValue::Type::Null, 0, {}, {}}); break;
                        case PushValue::Type::Constant: {
                            size_t index = size_t(v.number);
                            push(index < pool_.size() ? AvmValue::fromString(pool_[index]) : AvmValue{});
                            break;
                        }
                        default: push(AvmValue{}); break;  // registers exist only in functions
                    }
                }
                break;
            case ActionCode::Pop: pop(); break;
            case ActionCode::PushDuplicate: {
                AvmValue v = pop();
                push(v);
                push(std::move(v));
                break;
            }
            case ActionCode::StackSwap: {
                AvmValue a1 = pop();
                AvmValue a2 = pop();
                push(std::move(a1));
                push(std::move(a2));
                break;
            }
            case ActionCode::Trace: {
                std::string line = pop().toString();
                if (traces_.size() < kMaxTraces) traces_.push_back(std::move(line));  // a screen saver runs for hours
                break;
            }
            case ActionCode::Add:
            case ActionCode::Subtract:
            case ActionCode::Multiply:
            case ActionCode::Divide: {
                double b = pop().toNumber();
                double x = pop().toNumber();
                double r = a.code == 0x0a ? x + b : a.code == 0x0b ? x - b : a.code == 0x0c ? x * b : x / b;
                push(AvmValue::fromNumber(r));
                break;
            }
            case ActionCode::Add2: {
                AvmValue b = pop();
                AvmValue x = pop();
                if (x.type == AvmValue::Type::String || b.type == AvmValue::Type::String)
                    push(AvmValue::fromString(x.toString() + b.toString()));
                else
                    push(AvmValue::fromNumber(x.toNumber() + b.toNumber()));
                break;
            }
            case ActionCode::Increment: push(AvmValue::fromNumber(pop().toNumber() + 1)); break;
            case ActionCode::Decrement: push(AvmValue::fromNumber(pop().toNumber() - 1)); break;
            case ActionCode::Equals: {
                double b = pop().toNumber();
                push(AvmValue::fromBool(pop().toNumber() == b));
                break;
            }
            case ActionCode::Equals2: {
                AvmValue b = pop();
                AvmValue x = pop();
                bool eq = (x.type == AvmValue::Type::String && b.type == AvmValue::Type::String)
                              ? x.string == b.string
                              : x.type == b.type && (x.type == AvmValue::Type::Undefined || x.type == AvmValue::Type::Null)
                                    ? true
                                    : x.toNumber() == b.toNumber();
                push(AvmValue::fromBool(eq));
                break;
            }
            case ActionCode::Less:
            case ActionCode::Less2: {
                AvmValue b = pop();
                AvmValue x = pop();
                bool less = (a.code == 0x48 && x.type == AvmValue::Type::String && b.type == AvmValue::Type::String)
                                ? x.string < b.string
                                : x.toNumber() < b.toNumber();
                push(AvmValue::fromBool(less));
                break;
            }
            case ActionCode::And: {
                bool b = pop().toBool();
                push(AvmValue::fromBool(pop().toBool() && b));
                break;
            }
            case ActionCode::Or: {
                bool b = pop().toBool();
                push(AvmValue::fromBool(pop().toBool() || b));
                break;
            }
            case ActionCode::Not: push(AvmValue::fromBool(!pop().toBool())); break;
            case ActionCode::GetVariable: push(getVariable(origin, target, pop().toString())); break;
            case ActionCode::SetVariable: {
                AvmValue v = pop();
                setVariable(origin, target, pop().toString(), std::move(v));
                break;
            }
            case ActionCode::GetMember: {
                std::string name = pop().toString();
                push(getMember(pop(), name));
                break;
            }
            case ActionCode::SetMember: {
                AvmValue v = pop();
                std::string name = pop().toString();
                AvmValue object = pop();
                std::shared_ptr<Clip> clip = object.type == AvmValue::Type::MovieClip ? object.clip.lock() : nullptr;
                if (clip && clip->variables.size() < kMaxStack) clip->variables[name] = std::move(v);
                break;
            }
            case ActionCode::CallMethod: {
                std::string method = pop().toString();
                AvmValue object = pop();
                std::vector<AvmValue> args = popArguments();
                std::shared_ptr<Clip> clip = object.type == AvmValue::Type::MovieClip ? object.clip.lock() : nullptr;
                callClipMethod(clip.get(), method, args);
                push(AvmValue{});  // the result: scripts usually pop it
                break;
            }
            case ActionCode::CallFunction: {
                std::string name = pop().toString();
                std::vector<AvmValue> args = popArguments();
                callClipMethod(target, name, args);  // play() and the like on the current timeline
                push(AvmValue{});
                break;
            }
            case ActionCode::Jump: i = a.next; break;
            case ActionCode::If: if (pop().toBool()) i = a.next; break;
            case ActionCode::DefineFunction:
            case ActionCode::DefineFunction2: i = a.next; break;  // functions are not run
            default: break;
        }
    }
}

}  // namespace swf
