// Branches, with, try/throw, return, WaitForFrame, trace and the web actions.
#include <cmath>

#include "action_handlers.h"

namespace swf::avm1 {
namespace {

using C = ActionCode;

// A loop that allocates collects as it goes, at its backward jump, when it is the only
// script running (no handler or native below it holds values outside the activation).
constexpr size_t kCollectAfterAllocations = 100000;

void jump(Interpreter& in, Activation& act, const Action& a) {
    if (a.next < act.pc && in.activations().size() == 1 &&
        in.vm().heap().allocatedSinceCollect() >= kCollectAfterAllocations)
        in.vm().collectGarbage();
    act.pc = a.next;
}

void branchIf(Interpreter& in, Activation& act, const Action& a) {
    if (in.vm().toBoolean(in.pop())) jump(in, act, a);
}

void with(Interpreter& in, Activation& act, const Action& a) {
    Value v = in.pop();
    Object* o = in.vm().toObject(v);
    if (!o) {  // with (undefined) { ... } skips its block
        act.pc = a.next;
        return;
    }
    act.withs.push_back(WithBlock{a.next, act.scope});
    act.scope = in.vm().heap().make<Scope>(act.scope, o, Scope::Kind::With);
}

void tryBlock(Interpreter& in, Activation& act, const Action& a) {
    TryFrame t;
    t.action = &a;
    t.withDepth = act.withs.size();
    t.stackHeight = in.stack().size();
    act.tries.push_back(t);
}

void throwValue(Interpreter& in, Activation&, const Action&) { throw ScriptThrow{in.pop()}; }

void returnValue(Interpreter& in, Activation& act, const Action&) {
    Value v = in.pop();
    // A return from a try or catch block runs the finally block first.
    for (auto it = act.tries.rbegin(); it != act.tries.rend(); ++it) {
        if (it->state != TryFrame::State::InFinally && (it->action->flags & 0x02)) {
            act.tries.erase(it.base(), act.tries.end());
            TryFrame& t = act.tries.back();
            t.state = TryFrame::State::InFinally;
            t.returning = true;
            t.rethrow = false;
            t.pending = v;
            act.pc = t.action->finallyStart;
            return;
        }
    }
    act.result = v;
    act.done = true;
}

// Every frame of a movie is loaded, but the original never counts a frame past 16000
// (0-based) as loaded, whatever the timeline's length: waiting for it skips the actions.
constexpr int64_t kLastLoadableFrame = 16000;

void waitForFrame(Interpreter&, Activation& act, const Action& a) {
    if (a.frame > kLastLoadableFrame) act.pc = a.next;
}

// The frame from the stack counts from 1 in wrapping 32-bit arithmetic (2147483649 is frame
// -2147483647, loaded); anything else is a label ("abc", 16002.5, undefined) and loaded. A
// label is still read as text, as the original does.
void waitForFrame2(Interpreter& in, Activation& act, const Action& a) {
    Value v = in.pop();
    if (!v.isNumber()) {
        in.vm().toString(v);
        return;
    }
    const double n = in.vm().toNumber(v);
    if (std::isfinite(n) && n != std::trunc(n)) return;
    const int32_t index = int32_t(uint32_t(in.vm().toInt32(v)) - 1u);
    if (index > kLastLoadableFrame) act.pc = a.next;
}

void trace(Interpreter& in, Activation&, const Action&) {
    Value v = in.pop();
    // The trace action prints undefined as "undefined" in every version.
    std::string text;
    try {
        text = v.isUndefined() ? std::string("undefined") : in.vm().toString(v);
    } catch (const ScriptThrow&) {
        // A toString that throws still leaves the line written; the throw goes on.
        in.vm().trace("[type Object]");
        throw;
    }
    in.vm().trace(text);
}

bool startsWith(const std::string& s, const char* prefix) {
    size_t n = std::char_traits<char>::length(prefix);
    if (s.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(uint8_t(s[i])) != std::tolower(uint8_t(prefix[i]))) return false;
    return true;
}

// `flags`: GetURL2's method and load bits (GetURL has none).
void openUrl(Interpreter& in, const std::string& url, const std::string& window, uint8_t flags) {
    Vm& vm = in.vm();
    if (in.loadIntoTarget && in.loadIntoTarget(url, window, flags)) return;
    if (startsWith(url, "fscommand:")) {
        std::string command = url.substr(10);
        vm.warn("fscommand(\"" + command + "\", \"" + window + "\") ignored in a screen saver");
        if (sameName(command, "quit", NameRule{false})) vm.quitRequested = true;
        return;
    }
    vm.warn("getURL(\"" + url + "\", \"" + window + "\") ignored in a screen saver");
}

void getUrl(Interpreter& in, Activation&, const Action& a) { openUrl(in, a.text, a.text2, 0); }

void getUrl2(Interpreter& in, Activation&, const Action& a) {
    Value target = in.pop();
    Value url = in.pop();
    openUrl(in, in.vm().toString(url), in.vm().toString(target), a.flags);
}

}  // namespace

bool tryBoundary(Interpreter& in, Activation& act) {
    (void)in;
    TryFrame& t = act.tries.back();
    const Action& a = *t.action;
    bool hasFinally = a.flags & 0x02;
    if (t.state == TryFrame::State::InTry && act.pc == a.catchStart) {
        // The try block ended normally: the catch block is skipped.
        t.state = TryFrame::State::InFinally;
        act.pc = hasFinally ? a.finallyStart : a.end;
        return true;
    }
    if (t.state == TryFrame::State::InCatch && act.pc == a.finallyStart) {
        t.state = TryFrame::State::InFinally;
        return true;
    }
    if (t.state == TryFrame::State::InFinally && act.pc == a.end) {
        bool rethrow = t.rethrow;
        bool returning = t.returning;
        Value pending = t.pending;
        act.tries.pop_back();
        if (rethrow) throw ScriptThrow{pending};
        if (returning) {
            act.result = pending;
            act.done = true;
        }
        return true;
    }
    return false;
}

void addControlActions(HandlerTable& t) {
    t[uint8_t(C::Jump)] = jump;
    t[uint8_t(C::If)] = branchIf;
    t[uint8_t(C::With)] = with;
    t[uint8_t(C::Try)] = tryBlock;
    t[uint8_t(C::Throw)] = throwValue;
    t[uint8_t(C::Return)] = returnValue;
    t[uint8_t(C::WaitForFrame)] = waitForFrame;
    t[uint8_t(C::WaitForFrame2)] = waitForFrame2;
    t[uint8_t(C::Trace)] = trace;
    t[uint8_t(C::GetURL)] = getUrl;
    t[uint8_t(C::GetURL2)] = getUrl2;
}

}  // namespace swf::avm1
