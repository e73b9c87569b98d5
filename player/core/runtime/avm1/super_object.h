// The value of `super` inside a method found on prototype `base` (for a constructor, the
// instance's __proto__): calling it runs base.__constructor__ on the same `this`; its methods
// are looked up from base.__proto__ and also run on that `this`.
#pragma once

#include "heap.h"
#include "object.h"

namespace swf::avm1 {

class SuperObject final : public Object {
public:
    SuperObject(Object* self, Object* base) : Object(base->proto()), self(self), base(base) {}
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
};

}  // namespace swf::avm1
