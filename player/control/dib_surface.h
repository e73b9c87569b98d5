// A 32-bit top-down DIB section selected into a memory DC: the control's back buffer, in the
// very layout the player's canvas uses, so a changed area is a row-by-row copy and one BitBlt.
#pragma once

#include <windows.h>

#include <bitmap.h>
#include <renderer.h>

#include "scoped_win.h"

namespace swfctl {

class DibSurface {
public:
    DibSurface() = default;
    ~DibSurface() { reset(); }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    // A surface of this size, compatible with `reference`; false when the system has no memory
    // for it (the surface is then empty).
    bool resize(HDC reference, int width, int height);
    void reset();

    // Copies `area` of `canvas` (of the surface's size) into the DIB.
    void copyFrom(const swf::Canvas& canvas, const swf::IntRect& area);
    void blit(HDC target, const RECT& area) const;

    bool empty() const { return bits_ == nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    kestoral::MemoryDC dc_;
    kestoral::GdiObject bitmap_;
    HGDIOBJ previous_ = nullptr;  // the DC's own bitmap, put back before the DC goes
    uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// A BITMAPINFO header for a top-down 32-bit DIB of the canvas layout.
BITMAPINFO TopDownInfo(int width, int height);

}  // namespace swfctl
