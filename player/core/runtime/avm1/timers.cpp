#include "timers.h"

#include <algorithm>

#include "vm.h"

namespace swf::avm1 {
namespace {

constexpr size_t kMaxTimers = 10000;
constexpr int kMaxRounds = 100;

}  // namespace

int Timers::add(Timer timer, double nowMs) {
    if (timers_.size() >= kMaxTimers) return 0;
    timer.id = nextId_++;
    timer.intervalMs = std::max(timer.intervalMs, 0.0);
    timer.dueMs = nowMs + timer.intervalMs;
    timers_.push_back(std::move(timer));
    return timers_.back().id;
}

bool Timers::remove(int id) {
    auto it = std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
    if (it == timers_.end()) return false;
    timers_.erase(it);
    return true;
}

void Timers::runDue(Vm& vm, double nowMs, const std::function<void()>& afterEach) {
    // Rounds: each calls every timer due by then once, in the order they were set; a timer
    // whose interval is shorter than the frame comes due again in the next round. A timer
    // that fell further behind than kMaxRounds intervals (a stalled host) skips the rest.
    for (int round = 0; round < kMaxRounds; ++round) {
        std::vector<int> due;
        for (const Timer& t : timers_)
            if (t.dueMs <= nowMs) due.push_back(t.id);
        if (due.empty()) return;
        for (int id : due) {
            auto it = std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
            if (it == timers_.end()) continue;  // cleared by an earlier callback
            Timer t = *it;
            if (!t.repeat) timers_.erase(it);
            else if (round + 1 < kMaxRounds) it->dueMs += std::max(t.intervalMs, 1.0);
            else it->dueMs = nowMs + std::max(t.intervalMs, 1.0);
            Arguments args(t.args);
            try {
                if (t.object.isObject()) vm.callMethod(t.object, t.method, args);
                else vm.call(t.function, Value(), args);
            } catch (const ScriptAbort& abort) {
                vm.warn("script aborted: " + abort.reason);
            } catch (...) {
                // An exception thrown by the callback ends it, as an uncaught one ends a frame script.
            }
            if (afterEach) afterEach();
        }
    }
}

void Timers::mark(Marker& m) const {
    for (const Timer& t : timers_) {
        m.mark(t.function);
        m.mark(t.object);
        for (const Value& v : t.args) m.mark(v);
    }
}

}  // namespace swf::avm1
