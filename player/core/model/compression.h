// How a movie file's body was stored (the container's signature).
#pragma once

#include <cstdint>

namespace swf {

enum class Compression : uint8_t { None, Zlib, Lzma };

}  // namespace swf
