#include "image_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#include <parse/image_decode.h>

namespace swfimg {
namespace {

// Canvas words are premultiplied BGRA; files want straight RGBA.
std::vector<uint8_t> straightRgba(const swf::Canvas& c) {
    std::vector<uint8_t> out(c.pixels.size() * 4);
    for (size_t i = 0; i < c.pixels.size(); ++i) {
        uint32_t p = c.pixels[i];
        uint32_t a = p >> 24;
        auto un = [a](uint32_t v) { return uint8_t(a == 0 ? 0 : std::min<uint32_t>(255, (v * 255 + a / 2) / a)); };
        out[4 * i] = un((p >> 16) & 0xff);
        out[4 * i + 1] = un((p >> 8) & 0xff);
        out[4 * i + 2] = un(p & 0xff);
        out[4 * i + 3] = uint8_t(a);
    }
    return out;
}

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    auto* bytes = static_cast<uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

void put16(std::vector<uint8_t>& v, uint32_t x) { v.push_back(uint8_t(x)); v.push_back(uint8_t(x >> 8)); }
void put32(std::vector<uint8_t>& v, uint32_t x) { put16(v, x & 0xffff); put16(v, x >> 16); }

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

}  // namespace

std::vector<uint8_t> encodePng(const swf::Canvas& canvas) {
    std::vector<uint8_t> rgba = straightRgba(canvas);
    std::vector<uint8_t> out;
    stbi_write_png_to_func(appendBytes, &out, canvas.width, canvas.height, 4, rgba.data(), canvas.width * 4);
    return out;
}

std::vector<uint8_t> encodeJpeg(const swf::Canvas& canvas, int quality) {
    std::vector<uint8_t> rgba = straightRgba(canvas);
    std::vector<uint8_t> out;
    stbi_write_jpg_to_func(appendBytes, &out, canvas.width, canvas.height, 4, rgba.data(), quality);
    return out;
}

std::vector<uint8_t> encodeBmp24(const swf::Canvas& canvas) {
    uint32_t stride = (uint32_t(canvas.width) * 3 + 3) & ~3u;
    uint32_t imageSize = stride * uint32_t(canvas.height);
    std::vector<uint8_t> v;
    v.push_back('B');
    v.push_back('M');
    put32(v, 54 + imageSize);
    put32(v, 0);
    put32(v, 54);
    put32(v, 40);
    put32(v, uint32_t(canvas.width));
    put32(v, uint32_t(canvas.height));  // positive: rows bottom-up
    put16(v, 1);
    put16(v, 24);
    put32(v, 0);  // BI_RGB
    put32(v, imageSize);
    put32(v, 2835);  // 72 dpi
    put32(v, 2835);
    put32(v, 0);
    put32(v, 0);
    std::vector<uint8_t> rgba = straightRgba(canvas);
    for (int y = canvas.height - 1; y >= 0; --y) {
        size_t rowStart = v.size();
        for (int x = 0; x < canvas.width; ++x) {
            const uint8_t* p = &rgba[(size_t(y) * size_t(canvas.width) + size_t(x)) * 4];
            v.push_back(p[2]);
            v.push_back(p[1]);
            v.push_back(p[0]);
        }
        while (v.size() - rowStart < stride) v.push_back(0);
    }
    return v;
}

bool readFile(const std::string& path, std::vector<uint8_t>& out) {
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) return false;
    std::vector<uint8_t> data;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) data.insert(data.end(), buf, buf + n);
    out = std::move(data);
    return true;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& data) {
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) return false;
    return std::fwrite(data.data(), 1, data.size(), f.get()) == data.size();
}

bool saveImage(const std::string& path, const swf::Canvas& canvas) {
    auto endsWith = [&](const char* ext) {
        std::string e(ext);
        if (path.size() < e.size()) return false;
        for (size_t i = 0; i < e.size(); ++i)
            if (std::tolower(uint8_t(path[path.size() - e.size() + i])) != e[i]) return false;
        return true;
    };
    if (endsWith(".png")) return writeFile(path, encodePng(canvas));
    if (endsWith(".bmp")) return writeFile(path, encodeBmp24(canvas));
    return false;
}

bool loadPng(const std::string& path, swf::Canvas& out) {
    std::vector<uint8_t> data;
    std::string problem;
    return readFile(path, data) && swf::decodeImage(data.data(), data.size(), out, problem);
}

}  // namespace swfimg
