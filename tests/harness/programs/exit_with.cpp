// Harness test program: prints what it sees of its surroundings (Wine prefix, X display, the
// platform id GetVersionExA reports) and exits with the code given in argument 1.
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
    std::printf("prefix %s\ndisplay %s\nplatform %lu\n", prefix ? prefix : "",
                display ? display : "", version.dwPlatformId);
    std::fflush(stdout);
    return argc > 1 ? std::atoi(argv[1]) : 0;
}
