#include "png_chunks.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace swf {
namespace {

constexpr size_t kSignature = 8;
constexpr size_t kFullPalette = 256 * 3;

uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

void putBe32(std::vector<uint8_t>& out, uint32_t v) {
    out.insert(out.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}

}  // namespace

std::vector<uint8_t> preparePngChunks(const uint8_t* png, size_t size) {
    std::vector<uint8_t> out;
    if (size < kSignature) return std::vector<uint8_t>(png, png + size);
    out.reserve(size + kFullPalette + 4);
    out.insert(out.end(), png, png + kSignature);
    size_t pos = kSignature;
    while (pos + 8 <= size) {
        // A chunk cut by the end of the file is passed on with the length of what is there:
        // the decoder sizes its buffer by the stated length, so a few bytes claiming a
        // gigabyte would allocate one. The decoder does not check CRCs; zero stands in.
        size_t length = std::min<size_t>(be32(png + pos), size - pos - 8);
        const bool cut = size - pos - 8 - length < 4;
        const uint8_t* type = png + pos + 4;
        const uint8_t* data = png + pos + 8;
        if (std::memcmp(type, "PLTE", 4) == 0 && length < kFullPalette && length % 3 == 0) {
            putBe32(out, uint32_t(kFullPalette));
            size_t start = out.size();
            out.insert(out.end(), type, data + length);
            out.resize(start + 4 + kFullPalette, 0);
            putBe32(out, uint32_t(crc32(0, out.data() + start, uInt(4 + kFullPalette))));
        } else if (length > 0 || std::memcmp(type, "IDAT", 4) != 0) {
            putBe32(out, uint32_t(length));
            out.insert(out.end(), type, data + length);
            if (cut)
                putBe32(out, 0);
            else
                out.insert(out.end(), data + length, data + length + 4);
        }
        if (cut) return out;
        pos += 12 + length;
        if (std::memcmp(type, "IEND", 4) == 0) break;
    }
    out.insert(out.end(), png + pos, png + size);
    return out;
}

}  // namespace swf
