// Which button the pointer is over: buttons are hit by the shapes of their hit state, in the
// button's own coordinates, the topmost first.
#pragma once

#include <functional>
#include <memory>

#include "clip.h"

namespace swf {

// What makes an object answer the pointer, asked of the script side.
struct PointerRules {
    std::function<bool(Clip&)> enabled;         // a button or clip with `enabled` false is passed over
    std::function<bool(Clip&)> handlesPointer;  // a clip with onPress, onRollOver, ... acts as a button
    std::function<Clip*(Clip&)> hitArea;        // the clip its hitArea property names; null: none
};

// The topmost button under `stage` (stage twips), or clip acting as one (hit by what it draws;
// its children then get nothing), that is enabled; null for none.
std::shared_ptr<Clip> buttonUnder(Clip& root, Point stage, const PointerRules& rules);

// Every button in the display list, in depth order (for key presses).
void forEachButton(Clip& root, const std::function<void(Clip&)>& visit);

}  // namespace swf
