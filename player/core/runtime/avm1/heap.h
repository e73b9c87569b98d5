// The arena of script objects and its mark-and-sweep collector. Objects are allocated with
// make<T>() and reclaimed by collect(): everything not reachable from the roots the Vm marks
// (_global, the display list, live activations, intervals, listeners) is destroyed.
//
// Collection runs only at safe points chosen by the Vm (between scripts, and at a backward
// jump when no native function is on the C++ stack), so natives may keep `Object*` in local
// variables for the length of their call.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "object.h"

namespace swf::avm1 {

// Thrown when a script must stop: time limit, recursion limit, a memory cap. The Vm catches
// it where the script started; natives let it pass.
struct ScriptAbort {
    std::string reason;
};

class Marker {
public:
    void mark(Object* o) {
        if (o && !o->marked) {
            o->marked = true;
            pending_.push_back(o);
        }
    }
    void mark(const Value& v) { mark(v.asObject()); }
    void drain();

private:
    std::vector<Object*> pending_;
};

class Heap {
public:
    explicit Heap(size_t maxObjects) : maxObjects_(maxObjects) {}
    ~Heap();
    Heap(const Heap&) = delete;
    Heap& operator=(const Heap&) = delete;

    // Throws ScriptAbort past the object cap (a clear warning, never bad_alloc).
    template <class T, class... A>
    T* make(A&&... args) {
        if (objects_.size() >= maxObjects_) throw ScriptAbort{"too many script objects"};
        auto owned = std::make_unique<T>(std::forward<A>(args)...);
        T* raw = owned.get();
        objects_.push_back(std::move(owned));
        ++sinceCollect_;
        return raw;
    }

    // Marks from the roots `markRoots` gives, then destroys the unmarked objects.
    template <class MarkRoots>
    size_t collect(MarkRoots&& markRoots) {
        Marker marker;
        markRoots(marker);
        marker.drain();
        return sweep();
    }

    size_t size() const { return objects_.size(); }
    size_t allocatedSinceCollect() const { return sinceCollect_; }

private:
    size_t sweep();

    std::vector<std::unique_ptr<Object>> objects_;
    size_t maxObjects_;
    size_t sinceCollect_ = 0;
};

}  // namespace swf::avm1
