// Little-endian byte and MSB-first bit writer, the inverse of swf::Reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swfw {

class BitWriter {
public:
    void u8(uint32_t v) { align(); data_.push_back(uint8_t(v)); }
    void u16(uint32_t v) { u8(v & 0xff); u8((v >> 8) & 0xff); }
    void u32(uint32_t v) { u16(v & 0xffff); u16(v >> 16); }
    void s16(int32_t v) { u16(uint32_t(v) & 0xffff); }
    void fixed8(float v) { s16(int32_t(v * 256)); }
    void f64(double v);  // AVM1 order: high word first
    void bytes(const std::vector<uint8_t>& b) { align(); data_.insert(data_.end(), b.begin(), b.end()); }
    void cstring(const std::string& s) { align(); data_.insert(data_.end(), s.begin(), s.end()); data_.push_back(0); }

    void ubits(uint32_t v, int n);
    void sbits(int32_t v, int n) { ubits(uint32_t(v) & (n >= 32 ? ~0u : (1u << n) - 1), n); }
    void bit(bool b) { ubits(b ? 1 : 0, 1); }
    void align() { bitCount_ = 0; }

    const std::vector<uint8_t>& data() const { return data_; }
    std::vector<uint8_t> take() { align(); return std::move(data_); }

    // Bits needed to store v as a signed / unsigned field.
    static int signedBits(int32_t v);
    static int unsignedBits(uint32_t v);

private:
    std::vector<uint8_t> data_;
    int bitCount_ = 0;  // bits used in the last byte, 0 when aligned
};

}  // namespace swfw
