// Prints what a test needs to know about the windows of the desktop, one JSON object a line,
// so a test script in the same Wine prefix can check classes, styles, placement and visibility.
//   winlist            every top-level window
//   winlist --children every top-level window, then each child window
//   winlist --cursor   the pointer: position, shape handle and whether it is shown
// Output is flushed and the program exits 0; it never changes any window.
#include "json_line.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {

std::int64_t Handle(HWND hwnd) { return static_cast<std::int64_t>(reinterpret_cast<UINT_PTR>(hwnd)); }

std::map<DWORD, std::string> ProcessNames()
{
    std::map<DWORD, std::string> names;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return names;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry))
        names[entry.th32ProcessID] = entry.szExeFile;
    CloseHandle(snapshot);
    return names;
}

struct Walk {
    std::map<DWORD, std::string> processes;
    bool children = false;
};

void PrintWindow(HWND hwnd, const Walk& walk, bool topLevel)
{
    char className[256] = "";
    char title[512] = "";
    GetClassNameA(hwnd, className, sizeof className);
    GetWindowTextA(hwnd, title, sizeof title);
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    DWORD pid = 0;
    DWORD tid = GetWindowThreadProcessId(hwnd, &pid);
    auto process = walk.processes.find(pid);
    JsonLine line;
    line.Add("hwnd", Handle(hwnd))
        .Add("top_level", topLevel)
        .Add("class", className)
        .Add("title", title)
        .Add("style", static_cast<std::int64_t>(static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE))))
        .Add("exstyle", static_cast<std::int64_t>(static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE))))
        .Add("rect", std::vector<std::int64_t>{rect.left, rect.top, rect.right, rect.bottom})
        .Add("visible", IsWindowVisible(hwnd) != FALSE)
        .Add("enabled", IsWindowEnabled(hwnd) != FALSE)
        .Add("owner", Handle(GetWindow(hwnd, GW_OWNER)))
        .Add("parent", Handle(GetAncestor(hwnd, GA_PARENT)))
        .Add("pid", static_cast<std::int64_t>(pid))
        .Add("tid", static_cast<std::int64_t>(tid))
        .Add("process", process == walk.processes.end() ? std::string() : process->second);
    std::printf("%s\n", line.Str().c_str());
}

BOOL CALLBACK OnChild(HWND hwnd, LPARAM context)
{
    PrintWindow(hwnd, *reinterpret_cast<Walk*>(context), false);
    return TRUE;
}

BOOL CALLBACK OnTopLevel(HWND hwnd, LPARAM context)
{
    const Walk& walk = *reinterpret_cast<Walk*>(context);
    PrintWindow(hwnd, walk, true);
    if (walk.children)
        EnumChildWindows(hwnd, OnChild, context);
    return TRUE;
}

void PrintCursor()
{
    CURSORINFO info = {};
    info.cbSize = sizeof info;
    bool ok = GetCursorInfo(&info) != FALSE;
    JsonLine line;
    line.Add("cursor_info_ok", ok)
        .Add("showing", ok && (info.flags & CURSOR_SHOWING) != 0)
        .Add("cursor", static_cast<std::int64_t>(reinterpret_cast<UINT_PTR>(info.hCursor)))
        .Add("x", static_cast<std::int64_t>(info.ptScreenPos.x))
        .Add("y", static_cast<std::int64_t>(info.ptScreenPos.y))
        .Add("foreground", Handle(GetForegroundWindow()));
    std::printf("%s\n", line.Str().c_str());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--cursor") == 0) {
        PrintCursor();
    } else {
        Walk walk;
        walk.processes = ProcessNames();
        walk.children = argc > 1 && std::strcmp(argv[1], "--children") == 0;
        EnumWindows(OnTopLevel, reinterpret_cast<LPARAM>(&walk));
    }
    std::fflush(stdout);
    return 0;
}
