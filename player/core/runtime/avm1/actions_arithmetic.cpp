// Arithmetic, bitwise operations and the number conversions.
#include <cmath>

#include "action_handlers.h"

namespace swf::avm1 {
namespace {

using C = ActionCode;

template <class Op>
void binary(Interpreter& in, Op op) {
    Value b = in.pop();
    Value a = in.pop();
    Vm& vm = in.vm();
    double x = vm.toNumber(a);
    double y = vm.toNumber(b);
    in.push(Value::number(op(x, y)));
}

// Subtract and Divide convert their right operand first, Add and Multiply their left one.
template <class Op>
void binaryRightFirst(Interpreter& in, Op op) {
    Value b = in.pop();
    Value a = in.pop();
    Vm& vm = in.vm();
    double y = vm.toNumber(b);
    double x = vm.toNumber(a);
    in.push(Value::number(op(x, y)));
}

void add(Interpreter& in, Activation&, const Action&) { binary(in, [](double x, double y) { return x + y; }); }
void subtract(Interpreter& in, Activation&, const Action&) { binaryRightFirst(in, [](double x, double y) { return x - y; }); }
void multiply(Interpreter& in, Activation&, const Action&) { binary(in, [](double x, double y) { return x * y; }); }

void divide(Interpreter& in, Activation&, const Action&) {
    Value b = in.pop();
    Value a = in.pop();
    double y = in.vm().toNumber(b);
    double x = in.vm().toNumber(a);
    // SWF 4 players printed an error marker for a division by zero.
    if (y == 0 && in.vm().swfVersion() < 5) in.push(Value::string("#ERROR#"));
    else in.push(Value::number(x / y));
}

void modulo(Interpreter& in, Activation&, const Action&) { binary(in, [](double x, double y) { return std::fmod(x, y); }); }

void increment(Interpreter& in, Activation&, const Action&) { in.push(Value::number(in.vm().toNumber(in.pop()) + 1)); }
void decrement(Interpreter& in, Activation&, const Action&) { in.push(Value::number(in.vm().toNumber(in.pop()) - 1)); }

// ECMA addition: strings concatenate when either side is one after ToPrimitive.
void add2(Interpreter& in, Activation&, const Action&) {
    Vm& vm = in.vm();
    Value b = in.pop();
    Value a = in.pop();
    // The right operand converts first, as the original does (valueOf calls show it).
    Value pb = vm.toPrimitive(b);
    Value pa = vm.toPrimitive(a);
    if (pa.isString() || pb.isString()) {
        std::string s = vm.toString(pa);
        s += vm.toString(pb);
        in.push(vm.newString(std::move(s)));
    } else {
        in.push(Value::number(vm.toNumber(pa) + vm.toNumber(pb)));
    }
}

template <class Op>
void bitwise(Interpreter& in, Op op) {
    Value b = in.pop();
    Value a = in.pop();
    int32_t y = in.vm().toInt32(b);
    int32_t x = in.vm().toInt32(a);
    in.push(Value::number(op(x, y)));
}

void bitAnd(Interpreter& in, Activation&, const Action&) { bitwise(in, [](int32_t x, int32_t y) { return double(x & y); }); }
void bitOr(Interpreter& in, Activation&, const Action&) { bitwise(in, [](int32_t x, int32_t y) { return double(x | y); }); }
void bitXor(Interpreter& in, Activation&, const Action&) { bitwise(in, [](int32_t x, int32_t y) { return double(x ^ y); }); }
void shiftLeft(Interpreter& in, Activation&, const Action&) {
    bitwise(in, [](int32_t x, int32_t y) { return double(int32_t(uint32_t(x) << (y & 31))); });
}
void shiftRight(Interpreter& in, Activation&, const Action&) {
    bitwise(in, [](int32_t x, int32_t y) { return double(x >> (y & 31)); });
}
// The unsigned shift gives an unsigned number (-3 >>> 0 is 4294967293) from SWF 9 on;
// movies of SWF 8 and before get it back as a signed 32-bit number (-3).
void shiftRightUnsigned(Interpreter& in, Activation&, const Action&) {
    if (in.vm().swfVersion() >= 9) bitwise(in, [](int32_t x, int32_t y) { return double(uint32_t(x) >> (y & 31)); });
    else bitwise(in, [](int32_t x, int32_t y) { return double(int32_t(uint32_t(x) >> (y & 31))); });
}

// int() wraps to 32 bits: int(0xffffffff) is -1.
void toInteger(Interpreter& in, Activation&, const Action&) { in.push(Value::number(in.vm().toInt32(in.pop()))); }
void toNumber(Interpreter& in, Activation&, const Action&) { in.push(Value::number(in.vm().toNumber(in.pop()))); }
void toString(Interpreter& in, Activation&, const Action&) {
    Value v = in.pop();
    in.push(v.isString() ? v : in.vm().newString(in.vm().toString(v)));
}

void randomNumber(Interpreter& in, Activation&, const Action&) {
    double max = in.vm().toInteger(in.pop());
    if (!(max > 0)) {
        in.push(Value::number(0));
        return;
    }
    in.push(Value::number(std::floor(in.vm().random() * std::min(max, 4294967296.0))));
}

void getTime(Interpreter& in, Activation&, const Action&) {
    in.push(Value::number(std::floor(in.vm().host().movieMs())));
}

}  // namespace

void addArithmeticActions(HandlerTable& t) {
    t[uint8_t(C::Add)] = add;
    t[uint8_t(C::Subtract)] = subtract;
    t[uint8_t(C::Multiply)] = multiply;
    t[uint8_t(C::Divide)] = divide;
    t[uint8_t(C::Modulo)] = modulo;
    t[uint8_t(C::Increment)] = increment;
    t[uint8_t(C::Decrement)] = decrement;
    t[uint8_t(C::Add2)] = add2;
    t[uint8_t(C::BitAnd)] = bitAnd;
    t[uint8_t(C::BitOr)] = bitOr;
    t[uint8_t(C::BitXor)] = bitXor;
    t[uint8_t(C::BitLShift)] = shiftLeft;
    t[uint8_t(C::BitRShift)] = shiftRight;
    t[uint8_t(C::BitURShift)] = shiftRightUnsigned;
    t[uint8_t(C::ToInteger)] = toInteger;
    t[uint8_t(C::ToNumber)] = toNumber;
    t[uint8_t(C::ToString)] = toString;
    t[uint8_t(C::RandomNumber)] = randomNumber;
    t[uint8_t(C::GetTime)] = getTime;
}

}  // namespace swf::avm1
