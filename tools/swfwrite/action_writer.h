// AVM1 bytecode for frame scripts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swfw {

class ActionWriter {
public:
    ActionWriter& stop() { return simple(0x07); }
    ActionWriter& play() { return simple(0x06); }
    ActionWriter& nextFrame() { return simple(0x04); }
    ActionWriter& previousFrame() { return simple(0x05); }
    ActionWriter& trace() { return simple(0x26); }
    ActionWriter& pop() { return simple(0x17); }
    ActionWriter& add2() { return simple(0x47); }
    ActionWriter& getVariable() { return simple(0x1c); }
    ActionWriter& setVariable() { return simple(0x1d); }
    ActionWriter& setTarget2() { return simple(0x20); }
    ActionWriter& getMember() { return simple(0x4e); }
    ActionWriter& setMember() { return simple(0x4f); }
    ActionWriter& callMethod() { return simple(0x52); }
    ActionWriter& callFunction() { return simple(0x3d); }
    ActionWriter& simple(uint8_t code) { bytes_.push_back(code); return *this; }
    ActionWriter& gotoFrame(uint16_t zeroBasedFrame);
    ActionWriter& gotoLabel(const std::string& label);
    ActionWriter& gotoFrame2(bool play);
    ActionWriter& setTarget(const std::string& path);
    ActionWriter& constantPool(const std::vector<std::string>& pool);
    ActionWriter& pushString(const std::string& s);
    ActionWriter& pushNumber(double d);
    ActionWriter& pushInt(int32_t i);
    ActionWriter& pushConstant(uint8_t index);
    ActionWriter& jump(int16_t offset);
    ActionWriter& branchIf(int16_t offset);
    // Bytes of whole actions (the assembler's output).
    ActionWriter& append(const std::vector<uint8_t>& actions) {
        bytes_.insert(bytes_.end(), actions.begin(), actions.end());
        return *this;
    }
    // Any action with a payload, for hostile or unusual cases.
    ActionWriter& raw(uint8_t code, const std::vector<uint8_t>& payload);

    // The DoAction tag body: the actions and the closing End action.
    std::vector<uint8_t> build() const;
    size_t size() const { return bytes_.size(); }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace swfw
