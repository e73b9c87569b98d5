#include "image_decode.h"

#include <cstring>

#include "../geometry.h"
#include "jpeg_check.h"
#include "png_chunks.h"
#include "stb_image_unit.h"

namespace swf {

ImageFormat sniffImageFormat(const uint8_t* d, size_t n) {
    if (n >= 8 && std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0) return ImageFormat::Png;
    if (n >= 6 && (std::memcmp(d, "GIF87a", 6) == 0 || std::memcmp(d, "GIF89a", 6) == 0))
        return ImageFormat::Gif;
    if (n >= 2 && d[0] == 0xff && (d[1] == 0xd8 || d[1] == 0xd9)) return ImageFormat::Jpeg;
    return ImageFormat::Unknown;
}

bool probeImage(const uint8_t* data, size_t size, int& width, int& height, std::string& problem) {
    ImageFormat format = sniffImageFormat(data, size);
    // The decoder would also try its own guess at anything else (FF FF D8 is a JPEG to it),
    // past the JPEG check.
    if (format == ImageFormat::Unknown) {
        problem = "not a JPEG, PNG or GIF image";
        return false;
    }
    if (format == ImageFormat::Jpeg) {
        std::string defect = findJpegDefect(data, size);
        if (!defect.empty()) {
            problem = "malformed JPEG: " + defect;
            return false;
        }
    }
    int w = 0, h = 0;
    if (!stb::imageSize(data, size, w, h)) {
        problem = "unreadable image header";
        return false;
    }
    if (w <= 0 || h <= 0 || w > kMaxBitmapSide || h > kMaxBitmapSide || int64_t(w) * h > kMaxBitmapPixels) {
        problem = "image of " + std::to_string(w) + " x " + std::to_string(h) + " pixels is too large";
        return false;
    }
    width = w;
    height = h;
    return true;
}

bool decodeImage(const uint8_t* data, size_t size, Bitmap& out, std::string& problem) {
    int w = 0, h = 0;
    if (!probeImage(data, size, w, h, problem)) return false;
    std::vector<uint8_t> prepared;
    if (sniffImageFormat(data, size) == ImageFormat::Png) {
        prepared = preparePngChunks(data, size);
        data = prepared.data();
        size = prepared.size();
    }
    int loadedW = 0, loadedH = 0;
    stb::Pixels pixels = stb::loadRgba(data, size, loadedW, loadedH);
    if (!pixels) {
        problem = "undecodable image";
        return false;
    }
    if (loadedW != w || loadedH != h) {  // the buffer is sized by the decoded size, not the probed one
        problem = "image size changed while decoding";
        return false;
    }
    Bitmap bmp(w, h);
    for (size_t i = 0; i < bmp.pixels.size(); ++i) {
        const uint8_t* p = pixels.get() + i * 4;
        bmp.pixels[i] = premultiply(Rgba{p[0], p[1], p[2], p[3]});
    }
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
