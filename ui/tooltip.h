// The tooltips of a form's controls: one system tooltip window that shows each control's hint
// while the pointer rests on it.
#pragma once

#include <windows.h>

#include <string>

#include "scoped_win.h"

namespace kestoral {

class TToolTip {
public:
    // Creates the tooltip window for `form`. False when the system has no tooltips.
    bool Create(HWND form);

    // Sets the hint of `control`. A hint is "short|long": the part before the bar is the
    // tooltip, the part after it (a status-bar text) is not shown.
    void SetHint(HWND control, const std::string& hint);

    HWND Handle() const { return window_.get(); }

    // Destroys the tooltip window; its owner form calls this before destroying itself.
    void Destroy() { window_.reset(); }

private:
    HWND form_ = nullptr;
    WindowHandle window_;
};

// The part of a hint before its first "|" (all of it when there is none).
std::string ShortHint(const std::string& hint);

}  // namespace kestoral
