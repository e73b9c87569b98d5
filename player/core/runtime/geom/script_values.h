// The ActionScript operators the geometry classes are written in: the original defines Point,
// Rectangle and Matrix as script, so their methods add, multiply and compare whatever a script
// stored in x or tx (a string concatenates, undefined gives NaN) in a fixed order that getters
// and valueOf can observe. These helpers apply the same rules to values.
#pragma once

#include <string>

#include "../avm1/vm.h"

namespace swf::geom {

using avm1::Object;
using avm1::Value;
using avm1::Vm;

// a + b: strings concatenate when either side is one after ToPrimitive (right side first).
Value plus(Vm& vm, const Value& a, const Value& b);
// a - b (right side converted first), a * b, a / b.
Value minus(Vm& vm, const Value& a, const Value& b);
Value times(Vm& vm, const Value& a, const Value& b);
Value divided(Vm& vm, const Value& a, const Value& b);
// a < b: false when either side is NaN. a <= b: true when either side is NaN (it is !(b < a)).
bool less(Vm& vm, const Value& a, const Value& b);
bool lessOrEqual(Vm& vm, const Value& a, const Value& b);
// a < b (or a <= b) as the comparison gives it to a script: undefined when either side is NaN.
Value compared(Vm& vm, const Value& a, const Value& b, bool orEqual);
// a == b (Equals2): "1" equals 1, null equals undefined, objects by identity.
bool looselyEqual(Vm& vm, const Value& a, const Value& b);

inline Value get(Vm& vm, const Value& object, const char* name) { return vm.getMember(object, name); }
inline void put(Vm& vm, const Value& object, const char* name, const Value& value) { vm.setMember(object, name, value); }

// _global.flash.<name>, made where missing (BitmapData's flash.display may already be there).
Object* flashPackage(Vm& vm, const char* name);
// new flash.geom.<className>(args) through the constructor a script sees now; a plain object
// with nothing set when a script removed the class.
Value constructGeom(Vm& vm, const char* className, const std::vector<Value>& args);

}  // namespace swf::geom
