// Bounds-checked little-endian reader over a byte range. Every read past the end throws
// ParseError, so a hostile length can never make the parser look outside its tag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace swf {

class ParseError : public std::runtime_error {
public:
    ParseError(int tagCode, const std::string& what)
        : std::runtime_error(tagCode >= 0 ? "tag " + std::to_string(tagCode) + ": " + what : what),
          tagCode_(tagCode) {}
    int tagCode() const { return tagCode_; }

private:
    int tagCode_;
};

class Reader {
public:
    Reader() = default;
    Reader(const uint8_t* data, size_t size, int tagCode = -1) : data_(data), size_(size), tag_(tagCode) {}

    size_t position() const { return pos_; }
    size_t size() const { return size_; }
    size_t remaining() const { return size_ - pos_; }
    bool atEnd() const { return pos_ >= size_; }
    int tagCode() const { return tag_; }
    const uint8_t* data() const { return data_; }
    const uint8_t* current() const { return data_ + pos_; }

    [[noreturn]] void fail(const std::string& what) const { throw ParseError(tag_, what); }

    uint8_t u8() { align(); need(1); return data_[pos_++]; }
    uint16_t u16() { align(); need(2); uint16_t v = uint16_t(data_[pos_] | data_[pos_ + 1] << 8); pos_ += 2; return v; }
    uint32_t u32() {
        align();
        need(4);
        uint32_t v = uint32_t(data_[pos_]) | uint32_t(data_[pos_ + 1]) << 8 | uint32_t(data_[pos_ + 2]) << 16 |
                     uint32_t(data_[pos_ + 3]) << 24;
        pos_ += 4;
        return v;
    }
    int16_t s16() { return int16_t(u16()); }
    int32_t s32() { return int32_t(u32()); }
    float fixed8() { return s16() / 256.0f; }       // 8.8 signed
    float fixed16() { return s32() / 65536.0f; }    // 16.16 signed
    float f32();
    double f64();                                    // AVM1 double: two swapped 32-bit halves
    uint32_t encodedU32();

    // Raw bytes; the pointer stays valid while the underlying buffer lives.
    const uint8_t* bytes(size_t n) { align(); need(n); const uint8_t* p = data_ + pos_; pos_ += n; return p; }
    void skip(size_t n) { bytes(n); }
    // A reader over the next n bytes, which are consumed here.
    Reader sub(size_t n) { const uint8_t* p = bytes(n); return Reader(p, n, tag_); }
    // Null-terminated string; a missing terminator ends the string at the end of the data.
    std::string cstring();

    // Bit fields, most significant bit first; any byte read aligns again.
    uint32_t ubits(int n);
    int32_t sbits(int n);
    float fbits(int n) { return sbits(n) / 65536.0f; }
    bool bit() { return ubits(1) != 0; }
    void align() { bitCount_ = 0; }

private:
    void need(size_t n) const {
        if (n > size_ - pos_) fail("unexpected end of data");
    }

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    int tag_ = -1;
    uint8_t bitBuffer_ = 0;
    int bitCount_ = 0;  // bits left in bitBuffer_
};

}  // namespace swf
