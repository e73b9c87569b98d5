// The string actions: byte forms (SWF 4) and multibyte forms; from SWF 6 text is UTF-8 and
// the byte forms count characters too.
#include <cmath>

#include "action_handlers.h"
#include "utf16_text.h"

namespace swf::avm1 {
namespace {

using C = ActionCode;

// Lengths count UTF-16 units as the original stores text: a character beyond the basic
// plane (four UTF-8 bytes) counts two.
size_t characterCount(const std::string& s, bool multibyte) {
    if (!multibyte) return s.size();
    size_t units = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        uint8_t b = uint8_t(s[i]);
        if ((b & 0xc0) != 0x80) units += b >= 0xf0 ? 2 : 1;
    }
    return units;
}

// Units [index, index + count) with index 1-based as the actions have it; both wrap to
// 32 bits first (substring(s, 4294967303, -4294967294) is substring(s, 7, 2)). Multibyte
// text is cut in UTF-16 units.
std::string extract(const std::string& s, int32_t index, int32_t count, bool multibyte) {
    std::u16string units;
    if (multibyte) units = toUtf16Units(s, true);
    size_t size = multibyte ? units.size() : s.size();
    size_t first = index < 1 ? 0 : std::min(size_t(index) - 1, size);
    size_t n = count < 0 ? size : std::min(size_t(count), size - first);
    if (!multibyte) return s.substr(first, n);
    return fromUtf16Units(units.substr(first, n), true);
}

std::string encodeUtf8(uint32_t c) {
    if (c >= 0xd800 && c <= 0xdfff) c = 0xfffd;  // a lone surrogate is no character
    std::string out;
    appendUtf8(out, c);
    return out;
}

// The first UTF-16 unit's value; characters beyond the basic plane read as U+FFFD, as the
// original's ord() gives them.
uint32_t decodeFirst(const std::string& s) {
    if (s.empty()) return 0;
    uint8_t b = uint8_t(s[0]);
    if (b >= 0xf0) return 0xfffd;
    int extra = b >= 0xe0 ? 2 : b >= 0xc0 ? 1 : 0;
    uint32_t c = extra ? b & (0x3f >> extra) : b;
    for (int i = 1; i <= extra && size_t(i) < s.size(); ++i) c = c << 6 | (uint8_t(s[size_t(i)]) & 0x3f);
    return c;
}

bool unicode(Interpreter& in) { return in.vm().swfVersion() >= 6; }

// The two-operand string actions convert their right operand first (toString calls show it).
struct StringOperands {
    std::string left, right;
};
StringOperands popStrings(Interpreter& in) {
    Value b = in.pop();
    Value a = in.pop();
    StringOperands ops;
    ops.right = in.vm().toString(b);
    ops.left = in.vm().toString(a);
    return ops;
}

void stringEquals(Interpreter& in, Activation&, const Action&) {
    StringOperands ops = popStrings(in);
    in.pushBool(ops.left == ops.right);
}

void stringLess(Interpreter& in, Activation&, const Action&) {
    StringOperands ops = popStrings(in);
    in.pushBool(ops.left < ops.right);
}

void stringGreater(Interpreter& in, Activation&, const Action&) {
    StringOperands ops = popStrings(in);
    in.pushBool(ops.left > ops.right);
}

void stringAdd(Interpreter& in, Activation&, const Action&) {
    StringOperands ops = popStrings(in);
    in.push(in.vm().newString(ops.left + ops.right));
}

void stringLength(Interpreter& in, Activation&, const Action&) {
    in.push(Value::number(double(characterCount(in.vm().toString(in.pop()), unicode(in)))));
}
void mbStringLength(Interpreter& in, Activation&, const Action&) {
    in.push(Value::number(double(characterCount(in.vm().toString(in.pop()), true))));
}

void extractWith(Interpreter& in, bool multibyte) {
    // Each operand is converted as it is popped: count, index, then the text.
    Vm& vm = in.vm();
    const int32_t count = vm.toInt32(in.pop());
    const int32_t index = vm.toInt32(in.pop());
    std::string s = vm.toString(in.pop());
    in.push(vm.newString(extract(s, index, count, multibyte)));
}
void stringExtract(Interpreter& in, Activation&, const Action&) { extractWith(in, unicode(in)); }
void mbStringExtract(Interpreter& in, Activation&, const Action&) { extractWith(in, true); }

void charToAscii(Interpreter& in, Activation&, const Action&) {
    std::string s = in.vm().toString(in.pop());
    if (s.empty()) in.push(Value::number(NAN));
    else in.push(Value::number(unicode(in) ? double(decodeFirst(s)) : double(uint8_t(s[0]))));
}
void mbCharToAscii(Interpreter& in, Activation&, const Action&) {
    std::string s = in.vm().toString(in.pop());
    in.push(Value::number(s.empty() ? NAN : double(decodeFirst(s))));
}

void asciiToChar(Interpreter& in, Activation&, const Action&) {
    uint32_t c = uint32_t(in.vm().toInt32(in.pop())) & (unicode(in) ? 0xffff : 0xff);
    if (c == 0) in.push(Value::string(std::string()));
    else in.push(Value::string(unicode(in) ? encodeUtf8(c) : std::string(1, char(c))));
}
void mbAsciiToChar(Interpreter& in, Activation&, const Action&) {
    uint32_t c = uint32_t(in.vm().toInt32(in.pop())) & 0xffff;
    in.push(Value::string(c ? encodeUtf8(c) : std::string()));
}

}  // namespace

void addStringActions(HandlerTable& t) {
    t[uint8_t(C::StringEquals)] = stringEquals;
    t[uint8_t(C::StringLess)] = stringLess;
    t[uint8_t(C::StringGreater)] = stringGreater;
    t[uint8_t(C::StringAdd)] = stringAdd;
    t[uint8_t(C::StringLength)] = stringLength;
    t[uint8_t(C::MBStringLength)] = mbStringLength;
    t[uint8_t(C::StringExtract)] = stringExtract;
    t[uint8_t(C::MBStringExtract)] = mbStringExtract;
    t[uint8_t(C::CharToAscii)] = charToAscii;
    t[uint8_t(C::MBCharToAscii)] = mbCharToAscii;
    t[uint8_t(C::AsciiToChar)] = asciiToChar;
    t[uint8_t(C::MBAsciiToChar)] = mbAsciiToChar;
}

}  // namespace swf::avm1
