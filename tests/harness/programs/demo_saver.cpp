// Stand-in screen saver for testing the harness and the show script before the real one exists:
// a black topmost full-screen window with coloured marks at known places, pointer and taskbar
// hidden while it runs, ended by a key, a button or a pointer movement of more than 50 pixels.
// Every input it sees is printed as a line ("key 65", "move 10 20", "button 1", "close").
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

POINT g_start;
HWND g_taskbar;

void Report(const char* format, int a = 0, int b = 0)
{
    std::printf(format, a, b);
    std::printf("\n");
    std::fflush(stdout);
}

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT marks[] = {{100, 100, 300, 300}, {400, 100, 600, 300}};
    COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0)};
    for (int i = 0; i < 2; ++i) {
        HBRUSH brush = CreateSolidBrush(colours[i]);
        FillRect(dc, &marks[i], brush);
        DeleteObject(brush);
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK SaverProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        Report("key %d", static_cast<int>(wParam));
        DestroyWindow(hwnd);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        Report("button %d", message == WM_LBUTTONDOWN ? 1 : message == WM_MBUTTONDOWN ? 2 : 3);
        DestroyWindow(hwnd);
        return 0;
    case WM_MOUSEMOVE: {
        int x = LOWORD(lParam), y = HIWORD(lParam);
        Report("move %d %d", x, y);
        if (std::abs(x - g_start.x) > 50 || std::abs(y - g_start.y) > 50)
            DestroyWindow(hwnd);
        return 0;
    }
    case WM_DESTROY:
        ShowCursor(TRUE);
        if (g_taskbar)
            ShowWindow(g_taskbar, SW_RESTORE);
        Report("close");
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

int main()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = SaverProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "KestoralDemoSaver";
    if (!RegisterClassA(&wc))
        return 1;
    GetCursorPos(&g_start);
    ShowCursor(FALSE);
    g_taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (g_taskbar)
        ShowWindow(g_taskbar, SW_HIDE);
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, "KestoralDemoSaver", "Demo saver", WS_POPUP, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd)
        return 1;
    Report("start %d %d", g_start.x, g_start.y);
    ShowWindow(hwnd, SW_SHOW);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
