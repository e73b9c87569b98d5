// What the PNG decoder trusts in a file's chunks, made safe before it reads them:
// - paletted pixels indexing past the PLTE chunk: the decoder keeps the palette in an
//   uninitialised 256-entry stack array, so such pixels would show whatever the stack held;
// - an empty IDAT chunk before any image data: the decoder copies its zero bytes to a null
//   buffer (memcpy with a null pointer, undefined behaviour);
// - a chunk length past the end of the file: the decoder allocates the stated length first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf {

// The PNG with every PLTE chunk padded to 256 entries of opaque black (with its CRC), so an
// index past the palette draws black, as common PNG readers draw it, and without empty IDAT
// chunks, and a chunk cut by the end of the file shortened to what it holds. Other chunks, and
// anything after IEND, are copied unchanged.
std::vector<uint8_t> preparePngChunks(const uint8_t* png, size_t size);

}  // namespace swf
