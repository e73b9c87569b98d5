// Turns the bytes of a SWF file into a Movie.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "../model/movie.h"
#include "../text/layout_font.h"

namespace swf {

// Null with a reason when the file cannot be played at all. Damaged tags are skipped and noted
// in Movie::warnings; a truncated file yields the frames that were complete or begun.
// Edit fields in device fonts are laid out with `deviceFonts` (used only during the call);
// without one their text is not drawn.
std::shared_ptr<const Movie> loadMovie(const uint8_t* data, size_t size, std::string& error,
                                       FontProvider* deviceFonts = nullptr);

}  // namespace swf
