// Stands in for the shell's taskbar: a visible top-level window of class "Shell_TrayWnd" along
// the bottom of the screen. Prints "ready <hwnd>" once shown, then "visible 0" or "visible 1" each
// time its visibility changes (polled every 20 ms), so a test sees every hide and restore.
// Ends on WM_CLOSE or when killed.
#include <windows.h>

#include <cstdio>

namespace {

const UINT_PTR kPollTimer = 1;
int g_lastVisible = -1;

LRESULT CALLBACK TaskbarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER: {
        int visible = IsWindowVisible(hwnd) ? 1 : 0;
        if (visible != g_lastVisible) {
            g_lastVisible = visible;
            std::printf("visible %d\n", visible);
            std::fflush(stdout);
        }
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

int main()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TaskbarProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = CreateSolidBrush(RGB(0, 64, 160));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "Shell_TrayWnd";
    if (!RegisterClassA(&wc))
        return 1;
    const int height = 30;
    int width = GetSystemMetrics(SM_CXSCREEN);
    int top = GetSystemMetrics(SM_CYSCREEN) - height;
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "",
                                WS_POPUP | WS_VISIBLE, 0, top, width, height,
                                nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd)
        return 1;
    std::printf("ready %lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hwnd)));
    std::fflush(stdout);
    SetTimer(hwnd, kPollTimer, 20, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
