// The SWF container: signature, version and file length, then the (possibly compressed) body.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../model/compression.h"

namespace swf {

// Largest uncompressed movie we accept; the header's file length can claim up to 4 GiB, and a
// small CWS file can inflate to this size, so everything built from it is budgeted as well.
constexpr uint32_t kMaxMovieBytes = 64u * 1024 * 1024;

struct Container {
    Compression compression = Compression::None;
    uint8_t version = 0;
    uint32_t declaredLength = 0;  // FileLength from the header, header included
    bool truncated = false;       // the body ended before declaredLength
    std::vector<uint8_t> body;    // everything after the 8-byte header
};

// Unpacks FWS and CWS. On failure returns false with a reason; ZWS is refused.
bool openContainer(const uint8_t* data, size_t size, Container& out, std::string& error);

}  // namespace swf
