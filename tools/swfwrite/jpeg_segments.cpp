#include "jpeg_segments.h"

#include <stdexcept>

namespace swfw {
namespace {

using Bytes = std::vector<uint8_t>;

size_t segmentLength(const Bytes& jpeg, size_t at) { return size_t(jpeg[at + 2]) << 8 | jpeg[at + 3]; }

void append(Bytes& to, const Bytes& from, size_t begin, size_t end) {
    to.insert(to.end(), from.begin() + long(begin), from.begin() + long(end));
}

}  // namespace

JpegParts splitJpegTables(const Bytes& jpeg) {
    JpegParts parts;
    parts.tables = {0xff, 0xd8};
    parts.image = {0xff, 0xd8};
    size_t i = 2;
    while (i + 4 <= jpeg.size() && jpeg[i] == 0xff && jpeg[i + 1] != 0xda) {
        size_t end = i + 2 + segmentLength(jpeg, i);
        append(jpeg[i + 1] == 0xdb || jpeg[i + 1] == 0xc4 ? parts.tables : parts.image, jpeg, i, end);
        i = end;
    }
    append(parts.image, jpeg, i, jpeg.size());
    parts.tables.insert(parts.tables.end(), {0xff, 0xd9});
    return parts;
}

Bytes withOverfullHuffmanTable(const Bytes& jpeg) {
    Bytes counts(16, 0);
    counts[14] = 45;
    counts[15] = 255;
    size_t codes = 300;
    size_t length = 2 + 1 + counts.size() + codes;
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), {0xff, 0xc4, uint8_t(length >> 8), uint8_t(length), 0x10});
    out.insert(out.end(), counts.begin(), counts.end());
    for (size_t k = 0; k < codes; ++k) out.push_back(uint8_t(k));
    append(out, jpeg, 2, jpeg.size());
    return out;
}

Bytes withSegmentPayload(const Bytes& jpeg, uint8_t marker, const Bytes& payload) {
    size_t i = 2;
    while (i + 4 <= jpeg.size() && jpeg[i] == 0xff) {
        size_t end = i + 2 + segmentLength(jpeg, i);
        if (jpeg[i + 1] == marker) {
            size_t length = 2 + payload.size();
            Bytes out(jpeg.begin(), jpeg.begin() + long(i + 2));
            out.insert(out.end(), {uint8_t(length >> 8), uint8_t(length)});
            out.insert(out.end(), payload.begin(), payload.end());
            append(out, jpeg, end, jpeg.size());
            return out;
        }
        if (jpeg[i + 1] == 0xda) break;
        i = end;
    }
    throw std::invalid_argument("no such segment before the scan");
}

}  // namespace swfw
