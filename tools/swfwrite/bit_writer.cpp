#include "bit_writer.h"

#include <cstring>

namespace swfw {

void BitWriter::f64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    u32(uint32_t(bits >> 32));
    u32(uint32_t(bits));
}

void BitWriter::ubits(uint32_t v, int n) {
    for (int i = n - 1; i >= 0; --i) {
        if (bitCount_ == 0) data_.push_back(0);
        if ((v >> i) & 1) data_.back() |= uint8_t(0x80 >> bitCount_);
        bitCount_ = (bitCount_ + 1) % 8;
    }
}

int BitWriter::signedBits(int32_t v) {
    int n = 1;
    while (n < 32 && (v < -(int64_t(1) << (n - 1)) || v >= (int64_t(1) << (n - 1)))) ++n;
    return n;
}

int BitWriter::unsignedBits(uint32_t v) {
    int n = 0;
    while (n < 32 && (uint64_t(v) >> n) != 0) ++n;
    return n;
}

}  // namespace swfw
