#include "image_decode.h"

#include <cstring>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_MAX_DIMENSIONS 8192
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#include "../geometry.h"

namespace swf {

ImageFormat sniffImageFormat(const uint8_t* d, size_t n) {
    if (n >= 8 && std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0) return ImageFormat::Png;
    if (n >= 6 && (std::memcmp(d, "GIF87a", 6) == 0 || std::memcmp(d, "GIF89a", 6) == 0))
        return ImageFormat::Gif;
    if (n >= 2 && d[0] == 0xff && (d[1] == 0xd8 || d[1] == 0xd9)) return ImageFormat::Jpeg;
    return ImageFormat::Unknown;
}

bool decodeImage(const uint8_t* data, size_t size, Bitmap& out) {
    if (size == 0 || size > 0x7fffffff) return false;
    int w = 0, h = 0, comp = 0;
    if (!stbi_info_from_memory(data, int(size), &w, &h, &comp)) return false;
    if (w <= 0 || h <= 0 || w > kMaxBitmapSide || h > kMaxBitmapSide || int64_t(w) * h > kMaxBitmapPixels)
        return false;
    stbi_uc* pixels = stbi_load_from_memory(data, int(size), &w, &h, &comp, 4);
    if (!pixels) return false;
    Bitmap bmp(w, h);
    for (size_t i = 0; i < bmp.pixels.size(); ++i) {
        const stbi_uc* p = pixels + i * 4;
        bmp.pixels[i] = premultiply(Rgba{p[0], p[1], p[2], p[3]});
    }
    stbi_image_free(pixels);
    out = std::move(bmp);
    return true;
}

std::vector<uint8_t> repairJpeg(const uint8_t* d, size_t n) {
    std::vector<uint8_t> out;
    out.reserve(n);
    size_t i = 0;
    // Leading EOI+SOI pairs before the real SOI.
    while (i + 4 <= n && d[i] == 0xff && d[i + 1] == 0xd9 && d[i + 2] == 0xff && d[i + 3] == 0xd8) i += 4;
    // Walk the header segments up to the scan; SOI and EOI markers among them are dropped.
    if (i + 2 <= n && d[i] == 0xff && d[i + 1] == 0xd8) {
        out.insert(out.end(), d + i, d + i + 2);
        i += 2;
        while (i + 4 <= n && d[i] == 0xff) {
            uint8_t marker = d[i + 1];
            if (marker == 0xd8 || marker == 0xd9) {  // stray SOI or EOI before the scan
                i += 2;
                continue;
            }
            if (marker == 0xda || (marker >= 0xd0 && marker <= 0xd7)) break;
            size_t len = size_t(d[i + 2]) << 8 | d[i + 3];
            if (len < 2 || i + 2 + len > n) break;
            out.insert(out.end(), d + i, d + i + 2 + len);
            i += 2 + len;
        }
    }
    out.insert(out.end(), d + i, d + n);
    return out;
}

}  // namespace swf
