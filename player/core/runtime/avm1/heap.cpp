#include "heap.h"

#include "function.h"
#include "scope.h"

namespace swf::avm1 {

void Marker::drain() {
    while (!pending_.empty()) {
        Object* o = pending_.back();
        pending_.pop_back();
        mark(o->proto());
        for (const auto& e : o->entries_) {
            if (!e.live) continue;
            mark(e.property.value);
            mark(e.property.getter);
            mark(e.property.setter);
        }
        for (const auto& w : o->watches_) {
            mark(w.callback);
            mark(w.userData);
        }
        for (Object* i : o->interfaces_) mark(i);
        mark(o->nativePart_);
        o->traceReferences(*this);
    }
}

Heap::~Heap() {
    // Destroy in one go: destructors never touch other script objects.
    objects_.clear();
}

size_t Heap::sweep() {
    size_t kept = 0;
    for (size_t i = 0; i < objects_.size(); ++i) {
        if (objects_[i]->marked) {
            objects_[i]->marked = false;
            if (kept != i) objects_[kept] = std::move(objects_[i]);
            ++kept;
        }
    }
    size_t freed = objects_.size() - kept;
    objects_.resize(kept);
    sinceCollect_ = 0;
    return freed;
}

void ScriptFunction::traceReferences(Marker& marker) {
    marker.mark(scope);
    marker.mark(targetClip);
}

void Scope::traceReferences(Marker& marker) {
    marker.mark(parent);
    marker.mark(values);
}

}  // namespace swf::avm1
