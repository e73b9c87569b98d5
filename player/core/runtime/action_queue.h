// The scripts a tick runs, by phase: every queued init action runs before any clip's
// initialize event, those before construct events, those before frame scripts and the other
// events. Within a phase, in the order queued. A script that
// queues more (a goto, a new clip) has them run in the same tick, by the same rule.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <memory>

#include "../model/actions.h"

namespace swf {

class Clip;

enum class ActionPhase : uint8_t { InitActions, Initialize, Construct, Normal, Count };

struct PendingActions {
    PendingActions() = default;
    PendingActions(std::weak_ptr<Clip> c, ActionListPtr a, ActionPhase p = ActionPhase::Normal, uint32_t e = 0,
                   std::shared_ptr<Clip> keep = nullptr)
        : clip(std::move(c)), actions(std::move(a)), phase(p), event(e), keepAlive(std::move(keep)) {}

    std::weak_ptr<Clip> clip;
    ActionListPtr actions;  // null for an event
    ActionPhase phase = ActionPhase::Normal;
    uint32_t event = 0;     // a ClipEventBits value: the clip's handlers and method for it
    // Unload events keep the removed clip alive until its handlers ran.
    std::shared_ptr<Clip> keepAlive;
};

class ActionQueue {
public:
    void push_back(PendingActions p) { phases_[size_t(p.phase)].push_back(std::move(p)); }
    // The first script of the earliest phase that has one; false when none is left.
    bool pop(PendingActions& out) {
        for (auto& q : phases_) {
            if (q.empty()) continue;
            out = std::move(q.front());
            q.pop_front();
            return true;
        }
        return false;
    }
    bool empty() const {
        for (const auto& q : phases_)
            if (!q.empty()) return false;
        return true;
    }
    void clear() {
        for (auto& q : phases_) q.clear();
    }
    // How far each phase is filled now, for promoteSince.
    using Mark = std::array<size_t, size_t(ActionPhase::Count)>;
    Mark mark() const {
        Mark m{};
        for (size_t i = 0; i < m.size(); ++i) m[i] = phases_[i].size();
        return m;
    }
    // What was queued since `m` runs first within its phase.
    void promoteSince(const Mark& m) {
        for (size_t i = 0; i < m.size(); ++i)
            if (m[i] <= phases_[i].size())
                std::rotate(phases_[i].begin(), phases_[i].begin() + std::ptrdiff_t(m[i]), phases_[i].end());
    }

private:
    std::array<std::deque<PendingActions>, size_t(ActionPhase::Count)> phases_;
};

}  // namespace swf
