// A DefineEditText field's initial state as the layout's input.
#pragma once

#include "text_field_input.h"

namespace swf {

// The tag's format (font, height, colour, alignment, margins, indent, leading) is the base
// format; HTML fields apply their markup over it. Fields that use outlines draw with their
// embedded font; the others with the device font the font's name names (a DefineFont with no
// glyphs, often "_sans"), or the default serif face when the tag names no font.
// `swfVersion` picks the HTML rules of the movie (html_text.h).
TextFieldInput editTextInput(const EditTextCharacter& edit, int swfVersion = 8);

}  // namespace swf
