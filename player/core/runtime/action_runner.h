// Runs AVM1 frame scripts: frame control (stop, play, goto by number or label), targets,
// the stack with push and constant pool, simple arithmetic and comparisons, branches,
// variables, trace, and the frame-control methods of clips (mc.gotoAndPlay(2) and the like).
// Other actions are skipped.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "../model/actions.h"
#include "avm_value.h"
#include "clip.h"

namespace swf {

class ActionRunner {
public:
    // `budget` counts actions left for this frame across all scripts; it is decremented here.
    ActionRunner(Clip& root, std::vector<std::string>& traces, size_t& budget)
        : root_(root), traces_(traces), budget_(budget) {}

    void run(Clip& origin, const ActionList& actions);

    // Resolves "/a/b", "_root.a.b", "../x", "_parent", "this" relative to `base`; null if absent.
    Clip* resolveTarget(Clip& base, const std::string& path) const;

private:
    AvmValue pop();
    void push(AvmValue v);
    void gotoFrame2(Clip* target, const AvmValue& frame, bool play, int bias);
    void gotoLabel(Clip* target, const std::string& label, bool play, bool stop);
    AvmValue getVariable(Clip& origin, Clip* target, const std::string& name);
    void setVariable(Clip& origin, Clip* target, const std::string& name, AvmValue v);
    AvmValue getMember(const AvmValue& object, const std::string& name);
    std::vector<AvmValue> popArguments();
    // play, stop, nextFrame, prevFrame, gotoAndPlay, gotoAndStop on a clip; others are ignored.
    void callClipMethod(Clip* clip, const std::string& method, const std::vector<AvmValue>& args);

    Clip& root_;
    std::vector<std::string>& traces_;
    size_t& budget_;
    std::vector<AvmValue> stack_;
    std::vector<std::string> pool_;
};

}  // namespace swf
