// Reads a movie file whole, up to a size no screen-saver movie comes near.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swfctl {

constexpr uint64_t kMaxMovieBytes = 256u * 1024u * 1024u;

// False with the system's reason when the file cannot be read or is too large.
bool ReadMovieFile(const std::wstring& path, std::vector<uint8_t>& bytes, std::wstring& error);

}  // namespace swfctl
