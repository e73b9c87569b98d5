#include "movie_window.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "module.h"
#include "scoped_win.h"

namespace swfctl {
namespace {

const wchar_t kClassName[] = L"KestoralSwfPlayer";
const UINT_PTR kFrameTimer = 1;
const UINT kMinTimerMs = 10;  // the system's own floor for SetTimer
const DWORD kMaxPaintRects = 64;  // more pieces than that: one blit of their bounding box
enum MenuCommand : UINT { kMenuPlay = 1, kMenuLoop, kMenuRewind };

}  // namespace

void MovieWindow::UnregisterClass() { ::UnregisterClassW(kClassName, ModuleHandle()); }

bool MovieWindow::create(HWND parent, const RECT& bounds) {
    destroy();
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExW(ModuleHandle(), kClassName, &wc)) {
        wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &MovieWindow::WindowProc;
        wc.hInstance = ModuleHandle();
        wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = kClassName;
        if (!::RegisterClassExW(&wc)) return false;
    }
    hwnd_ = ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPSIBLINGS, bounds.left, bounds.top,
                              bounds.right - bounds.left, bounds.bottom - bounds.top, parent, nullptr, ModuleHandle(),
                              this);
    if (!hwnd_) return false;
    RECT client = {};
    ::GetClientRect(hwnd_, &client);
    onSize(client.right, client.bottom);
    startTimer();
    return true;
}

void MovieWindow::destroy() {
    sound_.stop();
    if (!hwnd_) return;
    const HWND hwnd = hwnd_;
    ::KillTimer(hwnd, kFrameTimer);
    ::DestroyWindow(hwnd);  // WM_NCDESTROY lets go of hwnd_
    hwnd_ = nullptr;
    sized_ = false;
}

void MovieWindow::move(const RECT& bounds) {
    if (!hwnd_) return;
    ::MoveWindow(hwnd_, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
}

void MovieWindow::show(bool visible) {
    if (hwnd_) ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
    updateSound();
}

void MovieWindow::movieChanged() {
    updateSound();
    if (!hwnd_) return;
    startTimer();
    drawChanges();
}

// Sound goes with the picture: on while the window shows a movie, silent at once otherwise.
void MovieWindow::updateSound() {
    if (hwnd_ && ::IsWindowVisible(hwnd_) && playback_.hasMovie()) {
        sound_.start();
    } else {
        sound_.stop();
    }
}

void MovieWindow::startTimer() {
    ::QueryPerformanceCounter(&lastTick_);
    // Ticks at half the frame interval: a frame falls due at most half a frame late, however the
    // system rounds the timer.
    const double interval = playback_.frameInterval() / 2.0;
    ::SetTimer(hwnd_, kFrameTimer, std::max(kMinTimerMs, UINT(std::lround(interval))), nullptr);
}

double MovieWindow::elapsedMs() {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    const double ms = double(now.QuadPart - lastTick_.QuadPart) * 1000.0 / double(frequency.QuadPart);
    lastTick_ = now;
    return ms;
}

LRESULT CALLBACK MovieWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<MovieWindow*>(create->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<MovieWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (self && self->hwnd_ == hwnd) self->hwnd_ = nullptr;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    try {
        return self->handleMessage(message, wParam, lParam);
    } catch (...) {
        // An exception must not cross into the host's message loop: the frame is skipped.
        return 0;
    }
}

LRESULT MovieWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            onSize(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_TIMER:
            if (wParam == kFrameTimer) {
                onTimer();
                return 0;
            }
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            onPaint();
            return 0;
        case WM_CONTEXTMENU:
            // Answered here: the default would pass it on to the parent.
            if (menu_) onContextMenu(lParam);
            return 0;
        case WM_MOUSEWHEEL:
        case 0x020E:  // WM_MOUSEHWHEEL; also passed to the parent by default
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void MovieWindow::onSize(int width, int height) {
    width = std::clamp(width, 0, swf::kMaxBitmapSide);
    height = std::clamp(height, 0, swf::kMaxBitmapSide);
    sized_ = width > 0 && height > 0;
    if (!sized_) return;
    if (canvas_.width != width || canvas_.height != height) canvas_ = swf::Canvas(width, height);
    // The player redraws a canvas of a new size in full; one of the old size keeps its pixels.
    playback_.renderChanges(canvas_);
    ++drawnUpdates_;
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void MovieWindow::onTimer() {
    if (playback_.advance(elapsedMs())) drawChanges();
}

void MovieWindow::drawChanges() {
    if (!sized_) return;
    const std::vector<swf::IntRect> areas = playback_.renderChanges(canvas_);
    if (areas.empty()) return;  // nothing changed: nothing is painted
    // The canvas keeps the picture until the next frame is drawn into it, and WM_PAINT comes
    // before the next timer tick: the areas are painted from it then.
    for (const swf::IntRect& area : areas) {
        const RECT dirty = {area.x0, area.y0, area.x1, area.y1};
        ::InvalidateRect(hwnd_, &dirty, FALSE);
    }
    ++drawnUpdates_;
}

namespace {

// The rectangles of the update region, or none when it is one rectangle or too many pieces
// (then rcPaint is blitted).
std::vector<RECT> UpdateRects(HWND hwnd) {
    kestoral::GdiObject region(::CreateRectRgn(0, 0, 0, 0));
    if (!region || ::GetUpdateRgn(hwnd, static_cast<HRGN>(region.get()), FALSE) != COMPLEXREGION) return {};
    const DWORD bytes = ::GetRegionData(static_cast<HRGN>(region.get()), 0, nullptr);
    if (bytes < sizeof(RGNDATAHEADER)) return {};
    std::vector<DWORD> buffer((bytes + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (::GetRegionData(static_cast<HRGN>(region.get()), bytes, data) == 0) return {};
    if (data->rdh.nCount > kMaxPaintRects) return {};
    const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
    return std::vector<RECT>(rects, rects + data->rdh.nCount);
}

}  // namespace

void MovieWindow::onPaint() {
    // Several changed areas: each is sent to the screen alone, not their bounding box.
    const std::vector<RECT> pieces = sized_ ? UpdateRects(hwnd_) : std::vector<RECT>{};
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd_, &paint);
    if (dc) {
        if (!sized_) {
            ::FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        } else if (!pieces.empty()) {
            for (const RECT& piece : pieces) PaintCanvasArea(dc, canvas_, piece);
        } else {
            PaintCanvasArea(dc, canvas_, paint.rcPaint);
        }
    }
    ::EndPaint(hwnd_, &paint);
}

void MovieWindow::onContextMenu(LPARAM position) {
    if (!playback_.hasMovie()) return;
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return;
    ::AppendMenuW(menu, MF_STRING | (playback_.playing() ? MF_CHECKED : 0), kMenuPlay, L"&Play");
    ::AppendMenuW(menu, MF_STRING | (playback_.loop() ? MF_CHECKED : 0), kMenuLoop, L"&Loop");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kMenuRewind, L"&Rewind");
    POINT at = {short(LOWORD(position)), short(HIWORD(position))};
    if (position == LPARAM(-1)) {  // from the keyboard: at the window's corner
        at = {0, 0};
        ::ClientToScreen(hwnd_, &at);
    }
    const UINT command =
        UINT(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, hwnd_, nullptr));
    ::DestroyMenu(menu);
    switch (command) {
        case kMenuPlay:
            playback_.setPlaying(!playback_.playing());
            break;
        case kMenuLoop:
            playback_.setLoop(!playback_.loop());
            break;
        case kMenuRewind:
            playback_.gotoFrame(1);
            playback_.setPlaying(false);
            drawChanges();
            break;
        default:
            break;
    }
}

}  // namespace swfctl
