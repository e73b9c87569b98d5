#include "inflate.h"

#include <zlib.h>

#include <algorithm>

namespace swf {

bool inflateUpTo(const uint8_t* src, size_t srcSize, size_t limit, std::vector<uint8_t>& out) {
    out.clear();
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return false;
    zs.next_in = const_cast<Bytef*>(src);
    zs.avail_in = uInt(std::min<size_t>(srcSize, 0xffffffffu));
    // Grow in steps: a hostile header can claim far more than the stream holds.
    constexpr size_t kStep = 256 * 1024;
    int rc = Z_OK;
    while (rc == Z_OK && out.size() < limit) {
        size_t done = out.size();
        size_t step = std::min(kStep, limit - done);
        out.resize(done + step);
        zs.next_out = out.data() + done;
        zs.avail_out = uInt(step);
        rc = inflate(&zs, Z_SYNC_FLUSH);
        out.resize(done + step - zs.avail_out);
    }
    inflateEnd(&zs);
    return true;
}

}  // namespace swf
