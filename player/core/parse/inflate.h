// zlib decompression that never trusts a size read from the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf {

// Inflates at most `limit` bytes into `out`, keeping whatever came out before a damaged or cut
// stream ended. Returns false only when zlib could not start.
bool inflateUpTo(const uint8_t* src, size_t srcSize, size_t limit, std::vector<uint8_t>& out);

}  // namespace swf
