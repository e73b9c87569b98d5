// The text a SharedObject's data is kept in between runs: undefined, null, booleans, numbers
// (bit-exact, NaN and the infinities included), strings, objects and arrays with their
// members in order. Reading checks every length and nesting depth, so a damaged or hostile
// file gives nothing rather than a crash.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace swf::avm1 {

struct StoredValue {
    enum class Kind { kUndefined, kNull, kBoolean, kNumber, kString, kObject, kArray };
    Kind kind = Kind::kUndefined;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<std::pair<std::string, StoredValue>> members;  // objects and arrays
};

std::string encodeStoredValue(const StoredValue& value);
std::optional<StoredValue> decodeStoredValue(std::string_view text, size_t maxDepth = 64);

}  // namespace swf::avm1
