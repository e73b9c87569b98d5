// Math: the functions and constants; random draws from the Vm's host-seeded generator.
#include <cmath>
#include <limits>

#include "library_classes.h"
#include "native_class.h"

namespace swf::avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The one-argument functions convert the first two arguments (valueOf runs for both, as in the
// original) and use the first.
double firstOfAll(Vm& vm, const Arguments& args) {
    if (args.empty()) return kNaN;
    const double first = vm.toNumber(args[0]);
    if (args.size() > 1) vm.toNumber(args[1]);
    return first;
}

// A missing argument is NaN in every version; an undefined one that was passed converts by
// the movie's version (0 in SWF 6). So Math.pow() is NaN even in SWF 6.
double argumentNumber(Vm& vm, const Arguments& args, size_t i) {
    return i < args.size() ? vm.toNumber(args[i]) : kNaN;
}

template <double (*F)(double)>
Value unary(Vm& vm, const Value&, const Arguments& args) {
    return Value::number(F(firstOfAll(vm, args)));
}

double absolute(double x) { return std::fabs(x); }
double roundHalfUp(double x) { return std::floor(x + 0.5); }

Value mathAtan2(Vm& vm, const Value&, const Arguments& args) {
    const double y = argumentNumber(vm, args, 0);
    const double x = argumentNumber(vm, args, 1);
    return Value::number(std::atan2(y, x));
}

// C's pow, not the ECMA one: Math.pow(true) is 1^NaN, which is 1.
Value mathPow(Vm& vm, const Value&, const Arguments& args) {
    const double base = argumentNumber(vm, args, 0);
    const double exponent = argumentNumber(vm, args, 1);
    return Value::number(std::pow(base, exponent));
}

// min/max take exactly two arguments: none gives the identity, a single one is compared with
// the missing second, which is NaN in every version (Math.min(1) is NaN), a third is ignored.
Value extreme(Vm& vm, const Arguments& args, bool wantMax) {
    if (args.empty()) return Value::number(wantMax ? -kInf : kInf);
    const double a = argumentNumber(vm, args, 0);
    const double b = argumentNumber(vm, args, 1);
    if (std::isnan(a) || std::isnan(b)) return Value::number(kNaN);
    return Value::number(wantMax ? std::max(a, b) : std::min(a, b));
}

Value mathMax(Vm& vm, const Value&, const Arguments& args) { return extreme(vm, args, true); }
Value mathMin(Vm& vm, const Value&, const Arguments& args) { return extreme(vm, args, false); }
Value mathRandom(Vm& vm, const Value&, const Arguments& args) {
    firstOfAll(vm, args);  // converted and unused, as in the original
    return Value::number(vm.random());
}

}  // namespace

void registerMathObject(Vm& vm) {
    Object* math = vm.newObject();
    vm.global()->define("Math", Value::object(math), kDontEnum);
    defineMethod(vm, math, "abs", unary<absolute>);
    defineMethod(vm, math, "acos", unary<std::acos>);
    defineMethod(vm, math, "asin", unary<std::asin>);
    defineMethod(vm, math, "atan", unary<std::atan>);
    defineMethod(vm, math, "ceil", unary<std::ceil>);
    defineMethod(vm, math, "cos", unary<std::cos>);
    defineMethod(vm, math, "exp", unary<std::exp>);
    defineMethod(vm, math, "floor", unary<std::floor>);
    defineMethod(vm, math, "log", unary<std::log>);
    defineMethod(vm, math, "round", unary<roundHalfUp>);
    defineMethod(vm, math, "sin", unary<std::sin>);
    defineMethod(vm, math, "sqrt", unary<std::sqrt>);
    defineMethod(vm, math, "tan", unary<std::tan>);
    defineMethod(vm, math, "atan2", mathAtan2);
    defineMethod(vm, math, "pow", mathPow);
    defineMethod(vm, math, "max", mathMax);
    defineMethod(vm, math, "min", mathMin);
    defineMethod(vm, math, "random", mathRandom);
    defineValue(math, "E", Value::number(2.718281828459045));
    defineValue(math, "LN10", Value::number(2.302585092994046));
    defineValue(math, "LN2", Value::number(0.6931471805599453));
    defineValue(math, "LOG10E", Value::number(0.4342944819032518));
    defineValue(math, "LOG2E", Value::number(1.4426950408889634));
    defineValue(math, "PI", Value::number(3.141592653589793));
    defineValue(math, "SQRT1_2", Value::number(0.7071067811865476));
    defineValue(math, "SQRT2", Value::number(1.4142135623730951));
}

}  // namespace swf::avm1
