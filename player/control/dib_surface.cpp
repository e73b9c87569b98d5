#include "dib_surface.h"

#include <algorithm>
#include <cstring>

namespace swfctl {

BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: rows top to bottom, as in the canvas
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

bool DibSurface::resize(HDC reference, int width, int height) {
    reset();
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info = TopDownInfo(width, height);
    void* bits = nullptr;
    kestoral::GdiObject bitmap(::CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    kestoral::MemoryDC dc(::CreateCompatibleDC(reference));
    if (!bitmap || !dc || !bits) return false;
    previous_ = ::SelectObject(dc.get(), bitmap.get());
    dc_ = std::move(dc);
    bitmap_ = std::move(bitmap);
    bits_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    return true;
}

void DibSurface::reset() {
    if (dc_ && previous_) ::SelectObject(dc_.get(), previous_);
    previous_ = nullptr;
    dc_.reset();
    bitmap_.reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

void DibSurface::copyFrom(const swf::Canvas& canvas, const swf::IntRect& area) {
    if (!bits_ || canvas.width != width_ || canvas.height != height_) return;
    const int x0 = std::max(area.x0, 0), x1 = std::min(area.x1, width_);
    const int y0 = std::max(area.y0, 0), y1 = std::min(area.y1, height_);
    if (x1 <= x0 || y1 <= y0) return;
    ::GdiFlush();  // GDI may still be reading the DIB from an earlier BitBlt
    const size_t bytes = size_t(x1 - x0) * sizeof(uint32_t);
    for (int y = y0; y < y1; ++y) {
        std::memcpy(bits_ + size_t(y) * size_t(width_) + size_t(x0), canvas.row(y) + x0, bytes);
    }
}

void DibSurface::blit(HDC target, const RECT& area) const {
    if (!dc_) return;
    ::BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, dc_.get(), area.left,
             area.top, SRCCOPY);
}

}  // namespace swfctl
