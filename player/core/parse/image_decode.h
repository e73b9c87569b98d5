// Decoding of the compressed image payloads that bitmap tags carry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "../bitmap.h"

namespace swf {

enum class ImageFormat : uint8_t { Unknown, Jpeg, Png, Gif };

ImageFormat sniffImageFormat(const uint8_t* data, size_t size);

// JPEG, PNG or GIF (first frame) to premultiplied BGRA. False for anything unreadable or
// larger than kMaxBitmapSide / kMaxBitmapPixels; `out` is then left untouched.
bool decodeImage(const uint8_t* data, size_t size, Bitmap& out);

// Old authoring tools wrote JPEG data that the original player accepted and strict decoders do
// not: an EOI+SOI pair (FF D9 FF D8) in front of the image, or between the tables and the image
// when DefineBits data is joined to JPEGTables. Returns the stream with one SOI at the start
// and no SOI or EOI markers between the header segments.
std::vector<uint8_t> repairJpeg(const uint8_t* data, size_t size);

}  // namespace swf
