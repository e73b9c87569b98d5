// Harness test program that never ends by itself. With --child it first starts a second copy,
// so a test can check that a timeout removes the whole process tree of the prefix.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0) {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof self);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(self, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return 2;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    const char* prefix = std::getenv("WINEPREFIX");
    std::printf("prefix %s\nhanging\n", prefix ? prefix : "");
    std::fflush(stdout);
    for (;;)
        Sleep(1000);
}
