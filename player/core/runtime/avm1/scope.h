// One link of a scope chain: the object whose properties are variables at that level (a
// function's locals, a `with` object, a clip's timeline, _global), and the enclosing link.
// Links are heap objects so closures keep their defining chain alive.
#pragma once

#include "object.h"

namespace swf::avm1 {

class Scope final : public Object {
public:
    Scope(Scope* parent, Object* values) : Object(nullptr), parent(parent), values(values) {}
    void traceReferences(Marker& marker) override;

    Scope* parent;
    Object* values;
};

}  // namespace swf::avm1
