// One link of a scope chain: the object whose properties are variables at that level (a
// function's locals, a `with` object, a clip's timeline, _global), and the enclosing link.
// Links are heap objects so closures keep their defining chain alive.
#pragma once

#include "object.h"

namespace swf::avm1 {

class Scope final : public Object {
public:
    // Assignments to undeclared names go to the innermost Target level (the timeline),
    // never into a function's locals or a `with` object.
    enum class Kind : uint8_t { Local, With, Target, Global };
    Scope(Scope* parent, Object* values, Kind kind) : Object(nullptr), parent(parent), values(values), kind(kind) {}
    void traceReferences(Marker& marker) override;

    Scope* parent;
    Object* values;
    Kind kind;
};

}  // namespace swf::avm1
