// Harness test program: prints what it sees of its surroundings (Wine prefix, X display, the
// platform id GetVersionExA reports, its own pointer width and whether it runs under WOW64) and
// exits with the code given in argument 1.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const char* prefix = std::getenv("WINEPREFIX");
    const char* display = std::getenv("DISPLAY");
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    std::printf("prefix %s\ndisplay %s\nplatform %lu\nbits %u\nwow64 %d\n", prefix ? prefix : "",
                display ? display : "", version.dwPlatformId, unsigned(sizeof(void*) * 8), int(wow64));
    std::fflush(stdout);
    return argc > 1 ? std::atoi(argv[1]) : 0;
}
