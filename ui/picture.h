// A bitmap picture loaded at run time and drawn stretched to a control, like an image control
// whose picture comes from a file.
#pragma once

#include <windows.h>

#include <string>

#include "scoped_win.h"

namespace kestoral {

class TPicture {
public:
    // Loads a Windows bitmap file. On failure the picture is left empty.
    bool LoadFromFile(const std::string& path);
    void Clear() { bitmap_.reset(); }
    bool Empty() const { return !bitmap_; }
    SIZE Size() const;

    // Fills `area` with `background`, then draws the picture over all of it, aspect ratio not kept.
    void DrawStretched(HDC dc, const RECT& area, HBRUSH background) const;

private:
    GdiObject bitmap_;
};

}  // namespace kestoral
