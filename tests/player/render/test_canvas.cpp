#include "test_canvas.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"
#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

namespace swf::test {

Canvas whiteCanvas(int width, int height) { return Canvas(width, height, 0xffffffffu); }

uint32_t word(const Canvas& canvas, int x, int y) { return canvas.row(y)[x]; }

Rgba pixel(const Canvas& canvas, int x, int y) {
    uint32_t p = word(canvas, x, y);
    uint32_t a = p >> 24;
    if (a == 0) return {0, 0, 0, 0};
    auto unmul = [a](uint32_t c) { return uint8_t((c * 255 + a / 2) / a); };
    return {unmul((p >> 16) & 255u), unmul((p >> 8) & 255u), unmul(p & 255u), uint8_t(a)};
}

namespace {

std::vector<uint8_t> toRgba(const Canvas& canvas) {
    std::vector<uint8_t> bytes;
    bytes.reserve(canvas.pixels.size() * 4);
    for (uint32_t p : canvas.pixels) {
        // Stored as is (premultiplied): the comparison is of our bytes, not of a conversion.
        bytes.push_back(uint8_t(p >> 16));
        bytes.push_back(uint8_t(p >> 8));
        bytes.push_back(uint8_t(p));
        bytes.push_back(uint8_t(p >> 24));
    }
    return bytes;
}

}  // namespace

bool writePng(const Canvas& canvas, const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::vector<uint8_t> bytes = toRgba(canvas);
    return stbi_write_png(path.c_str(), canvas.width, canvas.height, 4, bytes.data(), canvas.width * 4) != 0;
}

std::string compareWithGolden(const Canvas& canvas, const std::string& name) {
    const std::string golden = std::string(RENDER_GOLDEN_DIR) + "/" + name + ".png";
    const std::string actual = std::string(RENDER_OUTPUT_DIR) + "/" + name + ".png";
    const char* update = std::getenv("RENDER_UPDATE_GOLDENS");
    if (update && std::string(update) == "1") {
        return writePng(canvas, golden) ? "" : "cannot write " + golden;
    }
    int w = 0, h = 0, channels = 0;
    uint8_t* data = stbi_load(golden.c_str(), &w, &h, &channels, 4);
    std::string problem;
    if (!data) {
        problem = "golden missing: " + golden;
    } else {
        std::vector<uint8_t> expected(data, data + size_t(w) * size_t(h) * 4);
        stbi_image_free(data);
        if (w != canvas.width || h != canvas.height) {
            problem = "size differs from " + golden;
        } else {
            std::vector<uint8_t> bytes = toRgba(canvas);
            size_t differing = 0;
            for (size_t i = 0; i < bytes.size(); i += 4) {
                if (std::memcmp(&bytes[i], &expected[i], 4) != 0) ++differing;
            }
            if (differing) problem = std::to_string(differing) + " pixels differ from " + golden;
        }
    }
    if (!problem.empty()) {
        writePng(canvas, actual);
        problem += "; actual image written to " + actual;
    }
    return problem;
}

}  // namespace swf::test
