// The input layout of swf_fuzz_images, shared by the target and its seed writer: one byte
// picking the tag from this list, then the tag's body; for DefineBits, a 16-bit little-endian
// length and that many bytes of JPEGTables come before the body.
#pragma once

#include <parse/tag_codes.h>

#include <cstddef>
#include <cstdint>

namespace fuzzing {

inline constexpr uint16_t kImageTags[] = {swf::kTagDefineBits,      swf::kTagDefineBitsJpeg2,
                                          swf::kTagDefineBitsJpeg3, swf::kTagDefineBitsJpeg4,
                                          swf::kTagDefineBitsLossless, swf::kTagDefineBitsLossless2};
inline constexpr size_t kImageTagCount = sizeof kImageTags / sizeof kImageTags[0];

}  // namespace fuzzing
