#include "version_block_builder.h"

namespace kestoral_test {
namespace {

using Bytes = std::vector<uint8_t>;

void PutWord(Bytes& out, uint16_t w) {
    out.push_back(uint8_t(w & 0xFF));
    out.push_back(uint8_t(w >> 8));
}
void PutDword(Bytes& out, uint32_t d) {
    PutWord(out, uint16_t(d & 0xFFFF));
    PutWord(out, uint16_t(d >> 16));
}
void PutText(Bytes& out, const std::string& text) {
    for (unsigned char c : text) PutWord(out, c);
    PutWord(out, 0);
}
void Align(Bytes& out) {
    while (out.size() % 4) out.push_back(0);
}

// One node: header (length, value length, type), key, padding, value, padding, children.
Bytes Node(const std::string& key, const Bytes& value, uint16_t valueLength, uint16_t type, const Bytes& children) {
    Bytes out;
    PutWord(out, 0);  // length, patched below
    PutWord(out, valueLength);
    PutWord(out, type);
    PutText(out, key);
    Align(out);
    out.insert(out.end(), value.begin(), value.end());
    if (!children.empty()) {
        Align(out);
        out.insert(out.end(), children.begin(), children.end());
    }
    out[0] = uint8_t(out.size() & 0xFF);
    out[1] = uint8_t(out.size() >> 8);
    return out;
}

}  // namespace

Bytes BuildVersionBlock(const VersionTexts& t) {
    Bytes strings;
    for (const auto& [key, value] : t.entries) {
        Bytes text;
        PutText(text, value);
        Align(strings);
        const Bytes node = Node(key, text, uint16_t(value.size() + 1), 1, {});
        strings.insert(strings.end(), node.begin(), node.end());
    }
    const Bytes table = Node(t.langCodePage, {}, 0, 1, strings);
    const Bytes stringFileInfo = Node("StringFileInfo", {}, 0, 1, table);

    Bytes translation;
    PutWord(translation, 0x0409);
    PutWord(translation, 1252);
    const Bytes var = Node("Translation", translation, 4, 0, {});
    const Bytes varFileInfo = Node("VarFileInfo", {}, 0, 1, var);

    Bytes fixed;
    PutDword(fixed, 0xFEEF04BD);
    PutDword(fixed, 0x00010000);
    PutDword(fixed, uint32_t(t.major) << 16 | t.minor);
    PutDword(fixed, uint32_t(t.release) << 16 | t.build);
    PutDword(fixed, uint32_t(t.major) << 16 | t.minor);
    PutDword(fixed, uint32_t(t.release) << 16 | t.build);
    PutDword(fixed, 0x3F);
    PutDword(fixed, 0);
    PutDword(fixed, 4);  // VOS__WINDOWS32
    PutDword(fixed, 1);  // VFT_APP
    PutDword(fixed, 0);
    PutDword(fixed, 0);
    PutDword(fixed, 0);

    Bytes children = stringFileInfo;
    Align(children);
    children.insert(children.end(), varFileInfo.begin(), varFileInfo.end());
    return Node("VS_VERSION_INFO", fixed, 52, 0, children);
}

}  // namespace kestoral_test
