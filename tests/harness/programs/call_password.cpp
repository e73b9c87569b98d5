// Calls the screen-saver password services the way a screen saver binds them: the library by
// full path from the system directory, the function by name. Prints what happened.
//   call_password verify HWND   -> "verify <result>", or "missing library|function"
//   call_password change HWND   -> "change <result>", or "missing library|function"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

typedef BOOL(WINAPI* VerifyFn)(HWND);
typedef DWORD(WINAPI* ChangeFn)(LPCSTR, HWND, DWORD, DWORD);

std::string SystemPath(const char* library)
{
    char dir[MAX_PATH];
    UINT n = GetSystemDirectoryA(dir, MAX_PATH);
    std::string path(dir, n < MAX_PATH ? n : 0);
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    return path + library;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    bool verify = std::strcmp(argv[1], "verify") == 0;
    HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(argv[2], nullptr, 0)));
    HMODULE library = LoadLibraryA(SystemPath(verify ? "PASSWORD.CPL" : "MPR.DLL").c_str());
    if (!library) {
        std::printf("missing library\n");
        return 0;
    }
    // Through void*: FARPROC's own signature matches neither export (-Wcast-function-type).
    void* function = reinterpret_cast<void*>(GetProcAddress(library, verify ? "VerifyScreenSavePwd" : "PwdChangePasswordA"));
    if (!function)
        std::printf("missing function\n");
    else if (verify)
        std::printf("verify %d\n", reinterpret_cast<VerifyFn>(function)(owner));
    else
        std::printf("change %lu\n", reinterpret_cast<ChangeFn>(function)("SCRSAVE", owner, 0, 0));
    FreeLibrary(library);
    return 0;
}
