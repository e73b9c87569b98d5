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

template <double (*F)(double)>
Value unary(Vm& vm, const Value&, const Arguments& args) {
    return Value::number(F(firstOfAll(vm, args)));
}

double absolute(double x) { return std::fabs(x); }
double roundHalfUp(double x) { return std::floor(x + 0.5); }

Value mathAtan2(Vm& vm, const Value&, const Arguments& args) {
    const double y = vm.toNumber(args[0]);
    const double x = vm.toNumber(args[1]);
    return Value::number(std::atan2(y, x));
}

Value mathPow(Vm& vm, const Value&, const Arguments& args) {
    const double base = vm.toNumber(args[0]);
    const double exponent = vm.toNumber(args[1]);
    if (std::isnan(exponent)) return Value::number(kNaN);
    return Value::number(std::pow(base, exponent));
}

// min/max: no argument gives the identity; a single one is compared with the missing second
// (undefined), which is NaN from SWF 7 on: Math.min(1) is NaN.
Value extreme(Vm& vm, const Arguments& args, bool wantMax) {
    if (args.empty()) return Value::number(wantMax ? -kInf : kInf);
    double result = vm.toNumber(args[0]);
    const size_t count = args.size() < 2 ? 2 : args.size();
    for (size_t i = 1; i < count; ++i) {
        const double n = vm.toNumber(args[i]);
        if (std::isnan(result) || std::isnan(n)) {
            result = kNaN;
        } else if (wantMax ? n > result : n < result) {
            result = n;
        }
    }
    return Value::number(result);
}

Value mathMax(Vm& vm, const Value&, const Arguments& args) { return extreme(vm, args, true); }
Value mathMin(Vm& vm, const Value&, const Arguments& args) { return extreme(vm, args, false); }
Value mathRandom(Vm& vm, const Value&, const Arguments&) { return Value::number(vm.random()); }

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
