// Reshaping a JPEG file for the bitmap tags: splitting its tables off for JPEGTables, and the
// malformed tables that test how the player refuses them.
#pragma once

#include <cstdint>
#include <vector>

namespace swfw {

struct JpegParts {
    std::vector<uint8_t> tables;  // SOI, the DQT and DHT segments, EOI: a JPEGTables body
    std::vector<uint8_t> image;   // SOI and everything else: a DefineBits image
};
// Splits the segments before the first scan; the scan and what follows stay in the image.
JpegParts splitJpegTables(const std::vector<uint8_t>& jpeg);

// The JPEG with one more segment after its SOI: a DHT defining AC table 0 whose code counts
// (45 codes of 15 bits, 255 of 16) add up to 300, past the 256 a table may hold, though the
// code lengths alone would fit.
std::vector<uint8_t> withOverfullHuffmanTable(const std::vector<uint8_t>& jpeg);

// The JPEG with the payload of its first `marker` segment (after the length) replaced; for
// tables, frame and scan headers that claim what the data cannot hold.
std::vector<uint8_t> withSegmentPayload(const std::vector<uint8_t>& jpeg, uint8_t marker,
                                        const std::vector<uint8_t>& payload);

}  // namespace swfw
