// The host's pointer against the buttons on the stage.
#pragma once

#include <functional>

#include "../../geometry.h"
#include "button_display.h"

namespace swf {

class Clip;

// The pointer at `stageTwips`, its main button down or not. The topmost visible button whose
// hit area holds the point (the last in drawing order; shapes above do not block it) is over;
// every other button is not. `report` hears each transition of each button, in order.
void routePointer(Clip& root, Point stageTwips, bool down,
                  const std::function<void(ButtonDisplay&, ButtonTransition)>& report);

}  // namespace swf
