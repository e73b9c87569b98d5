// The arguments of a call as native functions see them: reading past the end gives undefined.
#pragma once

#include <cstddef>
#include <vector>

#include "value.h"

namespace swf::avm1 {

class Arguments {
public:
    Arguments() = default;
    Arguments(const Value* data, size_t count) : data_(data), count_(count) {}
    explicit Arguments(const std::vector<Value>& values) : data_(values.data()), count_(values.size()) {}

    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    const Value& operator[](size_t i) const { return i < count_ ? data_[i] : undefined_; }
    const Value* begin() const { return data_; }
    const Value* end() const { return data_ + count_; }

private:
    const Value* data_ = nullptr;
    size_t count_ = 0;
    static inline const Value undefined_{};
};

}  // namespace swf::avm1
