// A minimal WAV writer: 16-bit PCM, interleaved channels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swfaudio {

std::vector<uint8_t> encodeWav(const std::vector<int16_t>& samples, int rate, int channels);
bool writeWav(const std::string& path, const std::vector<int16_t>& samples, int rate, int channels);

}  // namespace swfaudio
