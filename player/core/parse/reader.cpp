#include "reader.h"

#include <cstring>

namespace swf {

float Reader::f32() {
    uint32_t bits = u32();
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

double Reader::f64() {
    uint64_t high = u32();
    uint64_t low = u32();
    uint64_t bits = high << 32 | low;
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

uint32_t Reader::encodedU32() {
    uint32_t value = 0;
    for (int i = 0; i < 5; ++i) {
        uint8_t b = u8();
        value |= uint32_t(b & 0x7f) << (7 * i);
        if (!(b & 0x80)) break;
    }
    return value;
}

std::string Reader::cstring() {
    align();
    const uint8_t* start = data_ + pos_;
    size_t len = 0;
    while (pos_ + len < size_ && start[len] != 0) ++len;
    std::string s(reinterpret_cast<const char*>(start), len);
    pos_ += len;
    if (pos_ < size_) ++pos_;  // the terminator
    return s;
}

uint32_t Reader::ubits(int n) {
    if (n < 0 || n > 32) fail("bit field wider than 32 bits");
    uint32_t value = 0;
    for (int i = 0; i < n; ++i) {
        if (bitCount_ == 0) {
            need(1);
            bitBuffer_ = data_[pos_++];
            bitCount_ = 8;
        }
        --bitCount_;
        value = value << 1 | ((bitBuffer_ >> bitCount_) & 1u);
    }
    return value;
}

int32_t Reader::sbits(int n) {
    if (n == 0) return 0;
    uint32_t v = ubits(n);
    if (n < 32 && (v & (1u << (n - 1)))) v |= ~0u << n;  // sign-extend
    return int32_t(v);
}

}  // namespace swf
