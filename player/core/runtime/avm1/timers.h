// setInterval / setTimeout: due calls, run by the host once per frame from runDue().
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "heap.h"
#include "value.h"

namespace swf::avm1 {

class Vm;

class Timers {
public:
    struct Timer {
        int id = 0;
        Value function;        // a function, or
        Value object;          // an object and
        std::string method;    // the name of its method
        std::vector<Value> args;
        double intervalMs = 0;
        double dueMs = 0;
        bool repeat = true;
    };

    int add(Timer timer, double nowMs);
    bool remove(int id);
    // Calls every timer due by `nowMs`, as often as its interval fits in the time since it
    // was last called (a 1 ms interval runs many times in one frame), earliest round first.
    // `afterEach` runs after every call: the actions the call queued (a clip's onLoad) run
    // before the next call.
    void runDue(Vm& vm, double nowMs, const std::function<void()>& afterEach = {});
    void mark(Marker& m) const;
    size_t size() const { return timers_.size(); }

private:
    std::vector<Timer> timers_;
    int nextId_ = 1;
};

}  // namespace swf::avm1
