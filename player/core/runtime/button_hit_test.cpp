#include "button_hit_test.h"

#include "clip_bounds.h"
#include "clip_hit_test.h"

namespace swf {
namespace {

// A clip acting as a button is hit by its hitArea clip when it names one, else by itself.
bool hitAreaContains(Clip& clip, Point stage, const PointerRules& rules) {
    Clip* area = rules.hitArea ? rules.hitArea(clip) : nullptr;
    return clipHitsStagePoint(area ? *area : clip, stage, HitTestRules{});
}

std::shared_ptr<Clip> findIn(Clip& clip, const Matrix& m, Point stage, const PointerRules& rules) {
    const Clip::DisplayList& list = clip.displayList();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        const DisplayObject& obj = *it->second;
        Clip* child = obj.clip();
        // Masks and hidden objects are not hit.
        if (!child || obj.state().clipDepth > 0 || !obj.state().visible) continue;
        const Matrix full = m * obj.state().matrix;
        Matrix inverse;
        if (!invertMatrix(full, inverse)) continue;
        const Point local = inverse.apply(stage);
        if (child->button()) {
            if (clipContains(*child, local) && rules.enabled(*child)) return child->shared_from_this();
            continue;
        }
        if (rules.handlesPointer(*child)) {
            if (hitAreaContains(*child, stage, rules) && rules.enabled(*child)) return child->shared_from_this();
            continue;
        }
        if (auto found = findIn(*child, full, stage, rules)) return found;
    }
    return nullptr;
}

void visitButtons(Clip& clip, const std::function<void(Clip&)>& visit) {
    for (const auto& [depth, obj] : clip.displayList()) {
        Clip* child = obj->clip();
        if (!child) continue;
        if (child->button()) {
            visit(*child);
        } else {
            visitButtons(*child, visit);
        }
    }
}

}  // namespace

std::shared_ptr<Clip> buttonUnder(Clip& root, Point stage, const PointerRules& rules) {
    return findIn(root, clipToStage(root), stage, rules);
}

void forEachButton(Clip& root, const std::function<void(Clip&)>& visit) { visitButtons(root, visit); }

}  // namespace swf
