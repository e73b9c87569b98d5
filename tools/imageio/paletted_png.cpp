#include "paletted_png.h"

#include <zlib.h>


namespace swfimg {
namespace {

void putBe32(std::vector<uint8_t>& out, uint32_t v) {
    out.insert(out.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}

void chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    putBe32(png, uint32_t(data.size()));
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    putBe32(png, uint32_t(crc32(0, png.data() + start, uInt(png.size() - start))));
}

}  // namespace

std::vector<uint8_t> encodePalettedPng(int width, int height, const std::vector<swf::Rgba>& palette,
                                       const std::vector<uint8_t>& indices) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> header;
    putBe32(header, uint32_t(width));
    putBe32(header, uint32_t(height));
    header.insert(header.end(), {8, 3, 0, 0, 0});  // 8-bit indices, no interlace
    chunk(png, "IHDR", header);
    std::vector<uint8_t> colours;
    for (const swf::Rgba& c : palette) colours.insert(colours.end(), {c.r, c.g, c.b});
    chunk(png, "PLTE", colours);
    std::vector<uint8_t> rows;
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);  // filter: none
        rows.insert(rows.end(), indices.begin() + long(y) * width, indices.begin() + long(y + 1) * width);
    }
    uLongf packedSize = compressBound(uLong(rows.size()));
    std::vector<uint8_t> packed(packedSize);
    compress(packed.data(), &packedSize, rows.data(), uLong(rows.size()));
    packed.resize(packedSize);
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", {});
    return png;
}

}  // namespace swfimg
