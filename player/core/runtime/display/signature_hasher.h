// FNV-1a over the bytes of plain values: the signatures the dirty-area cache compares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace swf {

struct SignatureHasher {
    uint64_t h = 1469598103934665603ull;
    void bytes(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    }
    template <typename T>
    void add(const T& v) { bytes(&v, sizeof v); }
    void add(const std::string& s) {
        add(s.size());
        bytes(s.data(), s.size());
    }
};

}  // namespace swf
