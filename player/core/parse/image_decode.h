// Decoding of the compressed image payloads that bitmap tags carry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "../bitmap.h"

namespace swf {

enum class ImageFormat : uint8_t { Unknown, Jpeg, Png, Gif };

ImageFormat sniffImageFormat(const uint8_t* data, size_t size);

// Checks a JPEG, PNG or GIF payload and reads its size without decoding it, so that a movie's
// pixel budget can be charged first. False, with `problem` saying why, for an unknown format,
// a malformed JPEG (jpeg_check.h), a header the decoder refuses, or a size beyond
// kMaxBitmapSide / kMaxBitmapPixels.
bool probeImage(const uint8_t* data, size_t size, int& width, int& height, std::string& problem);

// Probes, then decodes to premultiplied BGRA (GIF: the first frame; PNG: through
// png_chunks.h, indices past the palette black). False, with `problem` set, for anything probeImage refuses or
// the decoder cannot read; `out` is then untouched.
bool decodeImage(const uint8_t* data, size_t size, Bitmap& out, std::string& problem);

// Old authoring tools wrote JPEG data that the original player accepted and strict decoders do
// not: an EOI+SOI pair (FF D9 FF D8) in front of the image, or between the tables and the image
// when DefineBits data is joined to JPEGTables. Returns the stream with one SOI at the start
// and no SOI or EOI markers between the header segments.
std::vector<uint8_t> repairJpeg(const uint8_t* data, size_t size);

}  // namespace swf
