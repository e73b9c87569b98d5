#include "password.h"

#include <windows.h>

#include "command_line.h"
#include "global.h"
#include "registry.h"
#include "str_to_int.h"
#include "system_library.h"

namespace kestoral {
namespace {

const char kDesktopKey[] = "Control Panel\\Desktop";
const char kUsePasswordValue[] = "ScreenSaveUsePassword";

// The password-use value; false when the key or the value is missing or the value is not a
// 32-bit integer (a string stored there counts as no password).
bool ReadUsePasswordValue(int32_t& value) {
    RegKey desktop;
    if (!OpenRegistryKey(HKEY_CURRENT_USER, kDesktopKey, desktop)) return false;
    DWORD stored = 0;
    if (ReadRegistryDword(desktop.get(), kUsePasswordValue, stored) != RegistryRead::Ok) return false;
    value = int32_t(stored);
    return true;
}

}  // namespace

void DetectWinNT() {
    bWinNT = false;
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;  // 148
    if (::GetVersionExA(&version)) bWinNT = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void ReadUsePassword() {
    bUsePassword = false;
    if (bWinNT) return;
    int32_t value = 0;
    if (ReadUsePasswordValue(value)) bUsePassword = value > 0;
}

void ChangePassword() {
    int32_t owner = 0;
    if (!TryStrToInt(ParamStr(2), owner)) owner = 0;
    SystemLibrary mpr(kChangeLibrary);
    if (!mpr.loaded()) return;
    if (auto change = mpr.Find<PwdChangePasswordAFunction>(kChangeFunction))
        change("SCRSAVE", reinterpret_cast<HWND>(static_cast<intptr_t>(owner)), 0, 0);
}

bool PasswordAllowsClose() {
    if (bWinNT) return true;
    if (!bUsePassword) return true;
    return VerifyPassword();
}

bool VerifyPassword() {
    HWND owner = ::GetForegroundWindow();

    // Only a show started with the letter S asks; the screen-saver machinery always uses it.
    std::string mode = ParamStr(1);
    for (char& c : mode)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    if (mode.size() < 2 || mode[1] != 'S') return true;

    // Read afresh: a password switched off while the show ran is no longer asked for.
    int32_t usePassword = 0;
    if (!ReadUsePasswordValue(usePassword) || usePassword == 0) return true;

    SystemLibrary passwordCpl(kVerifyLibrary);
    if (!passwordCpl.loaded()) return true;
    auto verify = passwordCpl.Find<VerifyScreenSavePwdFunction>(kVerifyFunction);
    if (!verify) return true;
    return verify(owner) != FALSE;
}

}  // namespace kestoral
