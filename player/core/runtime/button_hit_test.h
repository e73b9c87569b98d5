// Which button the pointer is over: buttons are hit by the shapes of their hit state, in the
// button's own coordinates, the topmost first.
#pragma once

#include <functional>
#include <memory>

#include "clip.h"

namespace swf {

// `local`: twips in the button's coordinates.
bool buttonContains(const Movie& movie, const ButtonCharacter& button, Point local);

// The topmost button under `stage` (stage twips) for which `enabled` holds; null for none.
std::shared_ptr<Clip> buttonUnder(Clip& root, Point stage, const std::function<bool(Clip&)>& enabled);

// Every button in the display list, in depth order (for key presses).
void forEachButton(Clip& root, const std::function<void(Clip&)>& visit);

}  // namespace swf
