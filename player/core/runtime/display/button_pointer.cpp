#include "button_pointer.h"

#include <vector>

#include "../clip.h"
#include "hit_test.h"

namespace swf {
namespace {

struct PlacedButton {
    ButtonDisplay* button;
    Matrix toStage;
};

void collectButtons(const Clip& clip, const Matrix& toStage, std::vector<PlacedButton>& out) {
    for (const auto& [depth, obj] : clip.displayList()) {
        const DisplayState& s = obj->state();
        if (!s.visible || s.clipDepth > 0) continue;
        const Matrix m = toStage * s.matrix;
        if (auto* button = dynamic_cast<ButtonDisplay*>(obj.get())) {
            out.push_back({button, m});
        } else if (const Clip* child = obj->clip()) {
            collectButtons(*child, m, out);
        }
    }
}

}  // namespace

void routePointer(Clip& root, Point p, bool down, const std::function<void(ButtonDisplay&, ButtonTransition)>& report) {
    std::vector<PlacedButton> buttons;
    collectButtons(root, Matrix{}, buttons);
    const ButtonDisplay* top = nullptr;
    for (auto it = buttons.rbegin(); it != buttons.rend() && !top; ++it) {
        const std::optional<Matrix> toLocal = inverted(it->toStage);
        if (toLocal && it->button->hitTest(toLocal->apply(p))) top = it->button;
    }
    for (const PlacedButton& placed : buttons) {
        for (ButtonTransition t : placed.button->pointerChanged(placed.button == top, down))
            if (report) report(*placed.button, t);
    }
}

}  // namespace swf
