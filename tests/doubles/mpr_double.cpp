// Test double of the screen-saver password change (MPR.DLL). Wine has a built-in MPR.DLL, so
// this one is loaded only with the override mpr=n,b. Logs
// "PwdChangePasswordA provider=<text> owner=<hwnd> arg3=<n> arg4=<n>" and returns the value
// from KESTORAL_CHANGE_RESULT (default 0).
#include "double_log.h"

#include <windows.h>

#include <cstdio>

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD arg3, DWORD arg4)
{
    int call = CountCalls("PwdChangePasswordA");
    DWORD result = static_cast<DWORD>(ResultForCall("KESTORAL_CHANGE_RESULT", call, 0));
    char line[512];
    std::snprintf(line, sizeof line, "PwdChangePasswordA provider=%s owner=%lu arg3=%lu arg4=%lu",
                  provider ? provider : "(null)",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(owner)),
                  static_cast<unsigned long>(arg3), static_cast<unsigned long>(arg4));
    AppendCall(line);
    return result;
}
