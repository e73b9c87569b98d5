// Optional system services bound at run time, loaded by full path from the system directory for
// the length of one operation. A null function pointer means "not available here".
#pragma once

#include <windows.h>

#include <string>

#include "scoped_win.h"

namespace kestoral {

// The system directory with one trailing backslash, followed by `name`; the bare name when the
// system directory cannot be read.
std::string SystemLibraryPath(const char* name);

class SystemLibrary {
public:
    explicit SystemLibrary(const char* name) : module_(::LoadLibraryA(SystemLibraryPath(name).c_str())) {}
    bool loaded() const { return module_.valid(); }

    template <class Function>
    Function Find(const char* exportName) const {
        if (!module_) return nullptr;
        return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module_.get(), exportName)));
    }

private:
    Library module_;
};

// The two screen-saver password services of the Windows 95 family.
using PwdChangePasswordAFunction = DWORD(WINAPI*)(LPCSTR provider, HWND owner, DWORD, DWORD);
using VerifyScreenSavePwdFunction = BOOL(WINAPI*)(HWND owner);

constexpr char kChangeLibrary[] = "MPR.DLL";
constexpr char kChangeFunction[] = "PwdChangePasswordA";
constexpr char kVerifyLibrary[] = "PASSWORD.CPL";
constexpr char kVerifyFunction[] = "VerifyScreenSavePwd";

}  // namespace kestoral
