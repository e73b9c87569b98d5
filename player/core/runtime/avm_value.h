// An AVM1 stack value with the conversions frame scripts need.
#pragma once

#include <string>

namespace swf {

struct AvmValue {
    enum class Type : unsigned char { Undefined, Null, Bool, Number, String };
    Type type = Type::Undefined;
    double number = 0;  // Number, Bool
    std::string string;

    static AvmValue fromNumber(double n) { return {Type::Number, n, {}}; }
    static AvmValue fromBool(bool b) { return {Type::Bool, b ? 1.0 : 0.0, {}}; }
    static AvmValue fromString(std::string s) { return {Type::String, 0, std::move(s)}; }

    double toNumber() const;       // strings parse as numbers, anything unreadable is NaN
    std::string toString() const;  // "undefined", "true", integers without a fraction
    bool toBool() const;
};

}  // namespace swf
