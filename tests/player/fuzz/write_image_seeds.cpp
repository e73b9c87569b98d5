// Writes the seed corpus of swf_fuzz_images: one input per bitmap tag and payload kind, every
// image made here (the JPEG and PNG encoders of tools/imageio, the fixtures' GIF writer).
#include <imageio/image_file.h>
#include <imageio/paletted_png.h>
#include <jpeg_segments.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fixtures.h"
#include "image_input.h"

namespace {

using fixtures::Bytes;
using fixtures::rgb;

Bytes input(uint16_t tag, const Bytes& body, const Bytes& tables = {}) {
    size_t index = 0;
    while (fuzzing::kImageTags[index] != tag) ++index;
    Bytes out = {uint8_t(index)};
    if (tag == swf::kTagDefineBits) out.insert(out.end(), {uint8_t(tables.size()), uint8_t(tables.size() >> 8)});
    out.insert(out.end(), tables.begin(), tables.end());
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// Palette (or colours) then rows padded to four bytes, as DefineBitsLossless wants them.
Bytes losslessRaw(int format, int version, int w, int h) {
    Bytes raw;
    if (format == 3)
        for (int i = 0; i < 4; ++i) {
            raw.insert(raw.end(), {uint8_t(i * 80), uint8_t(255 - i * 60), uint8_t(i * 30)});
            if (version == 2) raw.push_back(uint8_t(255 - i * 50));
        }
    int bytesPerPixel = format == 3 ? 1 : format == 4 ? 2 : 4;
    for (int y = 0; y < h; ++y) {
        size_t rowStart = raw.size();
        for (int x = 0; x < w; ++x)
            for (int b = 0; b < bytesPerPixel; ++b) raw.push_back(uint8_t(format == 3 ? (x + y) % 4 : x * 20 + y * 7 + b * 50));
        while ((raw.size() - rowStart) % 4 != 0) raw.push_back(0);
    }
    return raw;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: swf_fuzz_image_seeds DIR\n");
        return 2;
    }
    std::filesystem::create_directories(argv[1]);
    swf::Canvas checker = fixtures::checkerCanvas(24, 16, rgb(250, 200, 0), rgb(0, 60, 160));
    Bytes jpeg444 = swfimg::encodeJpeg(checker, 90), jpeg420 = swfimg::encodeJpeg(checker, 40);
    Bytes png = swfimg::encodePng(fixtures::checkerCanvas(12, 10, rgb(0, 160, 0, 128), rgb(255, 255, 255)));
    std::vector<uint8_t> indices(20 * 12);
    for (size_t k = 0; k < indices.size(); ++k) indices[k] = uint8_t((k % 20) / 5);
    Bytes gif = fixtures::tinyGif(20, 12, {rgb(0, 0, 0), rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255)}, indices);
    Bytes alpha(24 * 16);
    for (size_t k = 0; k < alpha.size(); ++k) alpha[k] = uint8_t(k * 3);

    std::vector<std::pair<std::string, Bytes>> seeds;
    for (const auto& [name, jpeg] : {std::pair<std::string, Bytes>{"444", jpeg444}, {"420", jpeg420}}) {
        swfw::JpegParts parts = swfw::splitJpegTables(jpeg);
        Bytes quirky = {0xff, 0xd9};  // the EOI+SOI pair old tools put in front
        quirky.insert(quirky.end(), parts.image.begin(), parts.image.end());
        seeds.push_back({"bits_tables_" + name, input(swf::kTagDefineBits, swfw::defineBits(1, quirky).body, parts.tables)});
        seeds.push_back({"jpeg2_" + name, input(swf::kTagDefineBitsJpeg2, swfw::defineBitsJpeg2(1, jpeg).body)});
        Bytes jpeg3 = swfw::defineBitsJpeg3(1, jpeg, alpha).body;
        seeds.push_back({"jpeg3_" + name, input(swf::kTagDefineBitsJpeg3, jpeg3)});
        Bytes jpeg4 = jpeg3;
        jpeg4.insert(jpeg4.begin() + 6, {0x00, 0x01});  // deblocking strength after the alpha offset
        seeds.push_back({"jpeg4_" + name, input(swf::kTagDefineBitsJpeg4, jpeg4)});
    }
    seeds.push_back({"jpeg3_overfull_huffman",
                     input(swf::kTagDefineBitsJpeg3, swfw::defineBitsJpeg3(1, swfw::withOverfullHuffmanTable(jpeg444), alpha).body)});
    seeds.push_back({"jpeg2_png", input(swf::kTagDefineBitsJpeg2, swfw::defineBitsJpeg2(1, png).body)});
    Bytes palettedPng = swfimg::encodePalettedPng(5, 3, {rgb(255, 0, 0), rgb(0, 0, 255), rgb(0, 255, 0)},
                                                  {0, 1, 2, 3, 200, 2, 1, 0, 9, 1, 0, 0, 1, 2, 2});
    seeds.push_back({"jpeg2_png_paletted", input(swf::kTagDefineBitsJpeg2, swfw::defineBitsJpeg2(1, palettedPng).body)});
    seeds.push_back({"jpeg2_gif", input(swf::kTagDefineBitsJpeg2, swfw::defineBitsJpeg2(1, gif).body)});
    seeds.push_back({"jpeg3_png", input(swf::kTagDefineBitsJpeg3, swfw::defineBitsJpeg3(1, png, alpha).body)});
    for (int version : {1, 2})
        for (int format : {3, 4, 5}) {
            if (format == 4 && version == 2) continue;
            uint16_t tag = version == 1 ? swf::kTagDefineBitsLossless : swf::kTagDefineBitsLossless2;
            Bytes body = swfw::defineBitsLossless(1, version, format, 7, 5, 4, losslessRaw(format, version, 7, 5)).body;
            seeds.push_back({"lossless" + std::to_string(version) + "_format" + std::to_string(format), input(tag, body)});
        }
    for (const auto& [name, bytes] : seeds)
        if (!swfimg::writeFile(std::string(argv[1]) + "/" + name + ".bin", bytes)) return 1;
    return 0;
}
