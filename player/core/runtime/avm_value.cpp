#include "avm_value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace swf {

double AvmValue::toNumber() const {
    switch (type) {
        case Type::Number:
        case Type::Bool: return number;
        case Type::String: {
            if (string.empty()) return std::numeric_limits<double>::quiet_NaN();
            char* end = nullptr;
            double d = std::strtod(string.c_str(), &end);
            while (end && (*end == ' ' || *end == '\t')) ++end;
            return end && *end == '\0' ? d : std::numeric_limits<double>::quiet_NaN();
        }
        default: return std::numeric_limits<double>::quiet_NaN();
    }
}

std::string AvmValue::toString() const {
    switch (type) {
        case Type::Undefined: return "undefined";
        case Type::Null: return "null";
        case Type::Bool: return number != 0 ? "true" : "false";
        case Type::String: return string;
        case Type::MovieClip: return "[movieclip]";
        case Type::Number: {
            if (std::isnan(number)) return "NaN";
            if (std::isinf(number)) return number > 0 ? "Infinity" : "-Infinity";
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.15g", number);
            return buf;
        }
    }
    return {};
}

bool AvmValue::toBool() const {
    switch (type) {
        case Type::Bool: return number != 0;
        case Type::MovieClip: return !clip.expired();
        case Type::Number: return number != 0 && !std::isnan(number);
        case Type::String: {
            double d = toNumber();  // SWF 6 and earlier: a string is true when it is a non-zero number
            return !std::isnan(d) && d != 0;
        }
        default: return false;
    }
}

}  // namespace swf
