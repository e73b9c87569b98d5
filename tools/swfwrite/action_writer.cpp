#include "action_writer.h"

#include "bit_writer.h"

namespace swfw {

ActionWriter& ActionWriter::raw(uint8_t code, const std::vector<uint8_t>& payload) {
    BitWriter w;
    w.u8(code);
    w.u16(uint32_t(payload.size()));
    w.bytes(payload);
    std::vector<uint8_t> b = w.take();
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
}

ActionWriter& ActionWriter::gotoFrame(uint16_t frame) {
    BitWriter w;
    w.u16(frame);
    return raw(0x81, w.take());
}

ActionWriter& ActionWriter::gotoLabel(const std::string& label) {
    BitWriter w;
    w.cstring(label);
    return raw(0x8c, w.take());
}

ActionWriter& ActionWriter::gotoFrame2(bool play) { return raw(0x9f, {uint8_t(play ? 1 : 0)}); }

ActionWriter& ActionWriter::setTarget(const std::string& path) {
    BitWriter w;
    w.cstring(path);
    return raw(0x8b, w.take());
}

ActionWriter& ActionWriter::constantPool(const std::vector<std::string>& pool) {
    BitWriter w;
    w.u16(uint32_t(pool.size()));
    for (const auto& s : pool) w.cstring(s);
    return raw(0x88, w.take());
}

ActionWriter& ActionWriter::pushString(const std::string& s) {
    BitWriter w;
    w.u8(0);
    w.cstring(s);
    return raw(0x96, w.take());
}

ActionWriter& ActionWriter::pushNumber(double d) {
    BitWriter w;
    w.u8(6);
    w.f64(d);
    return raw(0x96, w.take());
}

ActionWriter& ActionWriter::pushInt(int32_t i) {
    BitWriter w;
    w.u8(7);
    w.u32(uint32_t(i));
    return raw(0x96, w.take());
}

ActionWriter& ActionWriter::pushConstant(uint8_t index) { return raw(0x96, {8, index}); }

ActionWriter& ActionWriter::jump(int16_t offset) {
    BitWriter w;
    w.s16(offset);
    return raw(0x99, w.take());
}

ActionWriter& ActionWriter::branchIf(int16_t offset) {
    BitWriter w;
    w.s16(offset);
    return raw(0x9d, w.take());
}

std::vector<uint8_t> ActionWriter::build() const {
    std::vector<uint8_t> out = bytes_;
    out.push_back(0);
    return out;
}

}  // namespace swfw
