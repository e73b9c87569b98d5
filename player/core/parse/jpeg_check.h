// Structural check of a JPEG stream before it reaches the decoder, which trusts its tables: a
// Huffman table whose counts add up past 256 codes makes it write past its 257-entry arrays,
// and a scan that names a table never defined makes it index with uninitialised offsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace swf {

// Walks the stream as the decoder reads it: header segments up to the frame header, then each
// scan (its entropy-coded data skipped) and the segments between scans, up to EOI. Checks
// every DQT and DHT table (at most 256 codes per Huffman table, code lengths that fit the
// code space), one SOF0/1/2 frame of 8-bit samples within the bitmap caps with sane sampling
// factors and distinct components, and each SOS: components of the frame, tables defined
// before it, spectral and approximation values of its coding process. Returns an empty
// string when the stream may be decoded, else what is wrong.
std::string findJpegDefect(const uint8_t* data, size_t size);

}  // namespace swf
