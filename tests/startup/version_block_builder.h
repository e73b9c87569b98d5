// Builds version blocks laid out the way the resource compiler lays them out, so the reader can be
// fed blocks with other texts than the program's own.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kestoral_test {

struct VersionTexts {
    uint16_t major = 1, minor = 5, release = 1500, build = 0;
    std::string langCodePage = "040904E4";
    // Key and value of each string entry, in block order.
    std::vector<std::pair<std::string, std::string>> entries;
};

std::vector<uint8_t> BuildVersionBlock(const VersionTexts& texts);

}  // namespace kestoral_test
