// An AVM1 stack value with the conversions frame scripts need.
#pragma once

#include <memory>
#include <string>

namespace swf {

class Clip;

struct AvmValue {
    enum class Type : unsigned char { Undefined, Null, Bool, Number, String, MovieClip };
    Type type = Type::Undefined;
    double number = 0;  // Number, Bool
    std::string string;
    std::weak_ptr<Clip> clip;  // MovieClip: a reference that does not keep a removed clip alive

    static AvmValue fromNumber(double n) { return {Type::Number, n, {}, {}}; }
    static AvmValue fromBool(bool b) { return {Type::Bool, b ? 1.0 : 0.0, {}, {}}; }
    static AvmValue fromString(std::string s) { return {Type::String, 0, std::move(s), {}}; }
    static AvmValue fromClip(const std::shared_ptr<Clip>& c) { return {Type::MovieClip, 0, {}, c}; }

    double toNumber() const;       // strings parse as numbers, anything unreadable is NaN
    std::string toString() const;  // "undefined", "true", integers without a fraction
    bool toBool() const;
};

}  // namespace swf
