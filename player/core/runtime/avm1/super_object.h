// The value of `super` inside a method found on prototype `base` (for a constructor, the
// instance's __proto__): calling it runs base.__constructor__ on the same `this`; its methods
// are looked up from base.__proto__ and also run on that `this`.
#pragma once

#include "heap.h"
#include "object.h"

namespace swf::avm1 {

class SuperObject final : public Object {
public:
    SuperObject(Object* self, Object* base) : Object(base->proto()), self(self), base(base) {
        for (Object* p = self; p && depth < 256; p = p->proto(), ++depth)
            if (p == base) return;
        depth = -1;
    }
    // The base as `this`'s chain has it now: a method that gives `this` another __proto__
    // before calling super() reaches the new prototype's __constructor__.
    Object* currentBase() const {
        if (depth < 0) return base;
        Object* p = self;
        for (int i = 0; p && i < depth; ++i) p = p->proto();
        return p;
    }
    // super.__proto__ is the base prototype's own __proto__.
    bool getSpecial(Vm&, const std::string& name, Value& out) override {
        if (!sameName(name, "__proto__", NameRule{false})) return false;
        out = proto() ? Value::object(proto()->proto()) : Value();
        if (out.isNull()) out = Value();
        return true;
    }
    void traceReferences(Marker& marker) override {
        marker.mark(self);
        marker.mark(base);
    }

    Object* self;
    Object* base;
    int depth = 0;  // of base on self's chain; -1: not on it
};

}  // namespace swf::avm1
