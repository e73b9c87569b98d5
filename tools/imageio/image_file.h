// Writing canvases as PNG or 24-bit BMP files, and reading PNGs back (golden images).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <bitmap.h>

namespace swfimg {

std::vector<uint8_t> encodePng(const swf::Canvas& canvas);
// Baseline JPEG of the canvas colours (alpha dropped); quality 1 to 100.
std::vector<uint8_t> encodeJpeg(const swf::Canvas& canvas, int quality);
// A plain bottom-up 24-bit BMP with a BITMAPINFOHEADER, what LoadImage reads.
std::vector<uint8_t> encodeBmp24(const swf::Canvas& canvas);

bool readFile(const std::string& path, std::vector<uint8_t>& out);
bool writeFile(const std::string& path, const std::vector<uint8_t>& data);
// Writes PNG or BMP by the file's extension (.png, .bmp); false on any other or on failure.
bool saveImage(const std::string& path, const swf::Canvas& canvas);
bool loadPng(const std::string& path, swf::Canvas& out);

}  // namespace swfimg
