#include "stb_image_unit.h"

#include <climits>

#include "../bitmap.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_MAX_DIMENSIONS 8192
// GCC's -Wmaybe-uninitialized fires where the decoder is inlined into the functions below (the
// callback fields of a memory-only context), so the pragma spans the whole unit.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#endif
#include <stb_image.h>

namespace swf::stb {

static_assert(STBI_MAX_DIMENSIONS == kMaxBitmapSide, "the decoder's own cap follows the player's");

void FreePixels::operator()(uint8_t* pixels) const { stbi_image_free(pixels); }

bool imageSize(const uint8_t* data, size_t size, int& width, int& height) {
    if (size == 0 || size > size_t(INT_MAX)) return false;
    int comp = 0;
    return stbi_info_from_memory(data, int(size), &width, &height, &comp) != 0;
}

Pixels loadRgba(const uint8_t* data, size_t size, int& width, int& height) {
    if (size == 0 || size > size_t(INT_MAX)) return nullptr;
    int comp = 0;
    return Pixels(stbi_load_from_memory(data, int(size), &width, &height, &comp, 4));
}

}  // namespace swf::stb

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
