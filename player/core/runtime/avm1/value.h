// An AVM1 value: undefined, null, boolean, number, string or a reference to a heap object.
// Strings are shared and immutable, so pushing, storing and copying a value copies a pointer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace swf::avm1 {

class Object;

using SharedString = std::shared_ptr<const std::string>;

class Value {
public:
    enum class Type : uint8_t { Undefined, Null, Boolean, Number, String, Object };

    Value() = default;  // undefined
    static Value null() { Value v; v.type_ = Type::Null; return v; }
    static Value boolean(bool b) { Value v; v.type_ = Type::Boolean; v.b_ = b; return v; }
    static Value number(double n) { Value v; v.type_ = Type::Number; v.n_ = n; return v; }
    static Value string(std::string s);
    static Value string(SharedString s);
    // A null pointer gives null: natives can return a lookup's result directly.
    static Value object(Object* o);

    Type type() const { return type_; }
    bool isUndefined() const { return type_ == Type::Undefined; }
    bool isNull() const { return type_ == Type::Null; }
    bool isNullish() const { return type_ <= Type::Null; }
    bool isBoolean() const { return type_ == Type::Boolean; }
    bool isNumber() const { return type_ == Type::Number; }
    bool isString() const { return type_ == Type::String; }
    bool isObject() const { return type_ == Type::Object; }
    bool isPrimitive() const { return type_ != Type::Object; }

    // Raw access, valid only for the matching type (conversions are the Vm's: they depend on
    // the movie's version and may run script).
    bool asBoolean() const { return b_; }
    double asNumber() const { return n_; }
    const std::string& asString() const { return *s_; }
    const SharedString& sharedString() const { return s_; }
    Object* asObject() const { return type_ == Type::Object ? o_ : nullptr; }

    // Strict identity (ECMA ===): same type and same number, string or object.
    bool strictEquals(const Value& other) const;

private:
    Type type_ = Type::Undefined;
    union {
        bool b_;
        double n_ = 0;
        Object* o_;
    };
    SharedString s_;
};

}  // namespace swf::avm1
