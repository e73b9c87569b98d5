#include "picture.h"

namespace kestoral {

bool TPicture::LoadFromFile(const std::string& path) {
    bitmap_.reset(::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    return !Empty();
}

SIZE TPicture::Size() const {
    BITMAP info = {};
    if (Empty() || !::GetObjectA(bitmap_.get(), sizeof info, &info)) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

void TPicture::DrawStretched(HDC dc, const RECT& area, HBRUSH background) const {
    ::FillRect(dc, &area, background);
    if (Empty()) return;
    const SIZE size = Size();
    MemoryDC source(::CreateCompatibleDC(dc));
    if (!source) return;
    HGDIOBJ previous = ::SelectObject(source.get(), bitmap_.get());
    // Halftone keeps a shrunken preview legible where plain stretching would drop whole rows.
    const int oldMode = ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source.get(), 0, 0,
                 size.cx, size.cy, SRCCOPY);
    ::SetStretchBltMode(dc, oldMode);
    // The bitmap must leave the memory DC before either is deleted.
    ::SelectObject(source.get(), previous);
}

}  // namespace kestoral
