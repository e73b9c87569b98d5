// Test double of the screen-saver password verification (PASSWORD.CPL). Logs
// "VerifyScreenSavePwd owner=<hwnd> result=<r>" and answers from KESTORAL_VERIFY_RESULT
// (default 1, accepted).
#include "double_log.h"

#include <windows.h>

#include <cstdio>

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND owner)
{
    int call = CountCalls("VerifyScreenSavePwd");
    BOOL result = static_cast<BOOL>(ResultForCall("KESTORAL_VERIFY_RESULT", call, 1));
    char line[128];
    std::snprintf(line, sizeof line, "VerifyScreenSavePwd owner=%lu result=%d",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(owner)), result);
    AppendCall(line);
    return result;
}
