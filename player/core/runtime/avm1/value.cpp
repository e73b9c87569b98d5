#include "value.h"

namespace swf::avm1 {

Value Value::string(std::string s) {
    return string(std::make_shared<const std::string>(std::move(s)));
}

Value Value::string(SharedString s) {
    Value v;
    v.type_ = Type::String;
    v.s_ = s ? std::move(s) : std::make_shared<const std::string>();
    return v;
}

Value Value::object(Object* o) {
    if (!o) return null();
    Value v;
    v.type_ = Type::Object;
    v.o_ = o;
    return v;
}

bool Value::strictEquals(const Value& other) const {
    if (type_ != other.type_) return false;
    switch (type_) {
        case Type::Undefined:
        case Type::Null: return true;
        case Type::Boolean: return b_ == other.b_;
        case Type::Number: return n_ == other.n_;
        case Type::String: return s_ == other.s_ || *s_ == *other.s_;
        case Type::Object: return o_ == other.o_;
    }
    return false;
}

}  // namespace swf::avm1
