// Writes the seed corpus for the fuzz target: every test movie, plain and compressed.
#include <imageio/image_file.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "fixtures.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: swf_fuzz_seeds DIR\n");
        return 2;
    }
    std::filesystem::create_directories(argv[1]);
    const std::pair<const char*, std::function<std::vector<uint8_t>()>> movies[] = {
        {"shapes", fixtures::shapesMovie},       {"display_list", fixtures::displayListMovie},
        {"loop", fixtures::loopMovie},           {"sprite", fixtures::spriteMovie},
        {"morph", fixtures::morphMovie},         {"mask", fixtures::maskMovie},
        {"cxform", fixtures::colorTransformMovie}, {"text", fixtures::textMovie},
        {"font_info", fixtures::fontInfoTextMovie}, {"button", fixtures::buttonMovie},
        {"lossless", fixtures::losslessMovie},   {"jpeg", fixtures::jpegMovie},
        {"scale", fixtures::scaleMovie},         {"as3", fixtures::as3Movie},
    };
    for (const auto& [name, make] : movies) {
        std::vector<uint8_t> bytes = make();
        std::string base = std::string(argv[1]) + "/" + name;
        if (!swfimg::writeFile(base + ".swf", bytes)) return 1;
        // The compressed twin: the same body after a CWS header.
        std::vector<uint8_t> body(bytes.begin() + 8, bytes.end());
        std::vector<uint8_t> packed(bytes.begin(), bytes.begin() + 8);
        packed[0] = 'C';
        std::vector<uint8_t> z = swfw::deflateBytes(body);
        packed.insert(packed.end(), z.begin(), z.end());
        if (!swfimg::writeFile(base + "_cws.swf", packed)) return 1;
    }
    return 0;
}
