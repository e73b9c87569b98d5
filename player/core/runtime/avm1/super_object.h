// The value of `super` inside a method: calling it runs the base constructor on the same
// `this`; its methods are looked up from the base prototype and also run on that `this`.
#pragma once

#include "heap.h"
#include "object.h"

namespace swf::avm1 {

class SuperObject final : public Object {
public:
    SuperObject(Object* self, Object* baseProto) : Object(baseProto), self(self), baseProto(baseProto) {}
    void traceReferences(Marker& marker) override {
        marker.mark(self);
        marker.mark(baseProto);
    }

    Object* self;
    Object* baseProto;
};

}  // namespace swf::avm1
