#include "canvas_blit.h"

#include <algorithm>

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

bool PaintCanvasArea(HDC target, const swf::Canvas& canvas, const RECT& area) {
    if (canvas.pixels.size() < size_t(canvas.width) * size_t(canvas.height)) return false;
    const int x0 = std::max<int>(area.left, 0), x1 = std::min<int>(area.right, canvas.width);
    const int y0 = std::max<int>(area.top, 0), y1 = std::min<int>(area.bottom, canvas.height);
    if (x1 <= x0 || y1 <= y0) return false;
    // The area's rows alone, as a DIB of their own that the call takes in full height: a source
    // origin or height inside a top-down DIB is read differently by different systems.
    const int rows = y1 - y0;
    const BITMAPINFO info = TopDownInfo(canvas.width, rows);
    return ::SetDIBitsToDevice(target, x0, y0, DWORD(x1 - x0), DWORD(rows), x0, 0, 0, UINT(rows), canvas.row(y0),
                               &info, DIB_RGB_COLORS) > 0;
}

}  // namespace swfctl
