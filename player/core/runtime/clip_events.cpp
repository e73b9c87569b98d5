#include "clip_events.h"

namespace swf {
namespace {

// On the stage: below the root or a level still in the host's list (a removed clip's parent
// pointer is cleared; an unloaded level left the list).
bool attached(const ClipHost& host, const Clip& clip, const Clip& root) {
    const Clip* top = &clip;
    for (int guard = 0; top->parent() && guard < 1024; ++guard) top = top->parent();
    if (top == &root) return true;
    auto level = host.levels.find(top->level);
    return level != host.levels.end() && level->second.get() == top;
}

}  // namespace

void startClip(ClipHost& host, const std::shared_ptr<Clip>& clip, bool byScript) {
    host.execList.push_back(clip);
    if (!byScript) {
        host.queue.push_back({clip, nullptr, ActionPhase::Initialize, kClipInitialize});
        host.queue.push_back({clip, nullptr, ActionPhase::Construct, kClipConstruct});
    }
    host.queue.push_back({clip, nullptr, ActionPhase::Normal, kClipLoad});
    clip->start();
}

void queueUnload(ClipHost& host, Clip& clip) {
    clip.removed = true;
    if (clip.unloadPending) return;  // its unload event waits in the queue already
    std::shared_ptr<Clip> keep = clip.shared_from_this();
    host.queue.push_back({keep, nullptr, ActionPhase::Normal, kClipUnload, keep});
}

void tickClips(ClipHost& host, Clip& root, bool loop) {
    // Clips their timelines removed last frame while they had an unload handler go now, their
    // unload events having run (see Clip::unloadPending).
    for (const std::weak_ptr<Clip>& entry : host.execList)
        if (std::shared_ptr<Clip> clip = entry.lock(); clip && clip->unloadPending) clip->finishPendingUnload();
    // Clips made during the walk are at the end and already showed their first frame.
    size_t live = 0;
    const size_t count = host.execList.size();
    for (size_t i = count; i-- > 0;) {
        std::shared_ptr<Clip> clip = host.execList[i].lock();
        if (!clip || !attached(host, *clip, root)) continue;
        host.queue.push_back({clip, nullptr, ActionPhase::Normal, kClipEnterFrame});
        clip->advance(clip.get() == &root ? loop : true);
    }
    // Drop the dead, keeping the order (and what was added during the walk).
    for (size_t i = 0; i < host.execList.size(); ++i) {
        if (host.execList[i].expired()) continue;
        if (live != i) host.execList[live] = std::move(host.execList[i]);
        ++live;
    }
    host.execList.resize(live);
}

void queueEventForAll(ClipHost& host, uint32_t event) {
    for (size_t i = host.execList.size(); i-- > 0;)
        if (auto clip = host.execList[i].lock()) host.queue.push_back({clip, nullptr, ActionPhase::Normal, event});
}

const char* clipEventMethod(uint32_t event) {
    switch (event) {
        case kClipLoad: return "onLoad";
        case kClipEnterFrame: return "onEnterFrame";
        case kClipUnload: return "onUnload";
        case kClipMouseMove: return "onMouseMove";
        case kClipMouseDown: return "onMouseDown";
        case kClipMouseUp: return "onMouseUp";
        case kClipKeyDown: return "onKeyDown";
        case kClipKeyUp: return "onKeyUp";
        case kClipData: return "onData";
        case kClipConstruct: return "onConstruct";
        default: return nullptr;
    }
}

}  // namespace swf
