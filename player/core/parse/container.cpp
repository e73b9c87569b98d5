#include "container.h"

#include "inflate.h"

#include <algorithm>

namespace swf {

bool openContainer(const uint8_t* data, size_t size, Container& out, std::string& error) {
    if (size < 8) {
        error = "file too short for a SWF header";
        return false;
    }
    if (data[1] != 'W' || data[2] != 'S') {
        error = "not a SWF file";
        return false;
    }
    switch (data[0]) {
        case 'F': out.compression = Compression::None; break;
        case 'C': out.compression = Compression::Zlib; break;
        case 'Z':
            out.compression = Compression::Lzma;
            error = "LZMA-compressed movies (ZWS) are not supported";
            return false;
        default: error = "not a SWF file"; return false;
    }
    out.version = data[3];
    out.declaredLength = uint32_t(data[4]) | uint32_t(data[5]) << 8 | uint32_t(data[6]) << 16 |
                         uint32_t(data[7]) << 24;
    if (out.declaredLength < 8) {
        error = "file length in the header is smaller than the header";
        return false;
    }
    size_t wanted = std::min<size_t>(out.declaredLength, kMaxMovieBytes) - 8;
    if (out.compression == Compression::None) {
        size_t available = std::min(wanted, size - 8);
        out.body.assign(data + 8, data + 8 + available);
    } else if (!inflateUpTo(data + 8, size - 8, wanted, out.body)) {
        error = "zlib initialisation failed";
        return false;
    }
    out.truncated = out.body.size() < out.declaredLength - 8;
    return true;
}

}  // namespace swf
