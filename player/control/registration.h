// Self-registration under the Flash player class id. The class id belongs to whoever registered
// it first: an installed original control (or any other server) is never replaced or removed.
//
// RegisterServer():   S_OK             registered (again) with this DLL's path
//                     SELFREG_E_CLASS  another server holds the class id; nothing was written
//                     other failures   the registry refused a write
// UnregisterServer(): S_OK             our registration removed, or there was none
//                     S_FALSE          another server holds the class id; left intact
// Our own registration is recognised by the value kOwnerMarker on the class key, so a copy of
// this DLL registered from another folder is still ours to replace.
#pragma once

#include <windows.h>

namespace swfctl {

inline constexpr wchar_t kOwnerMarker[] = L"KestoralPlayerControl";

enum class ClassOwner { None, Ours, Foreign };
ClassOwner RegisteredOwner();

HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace swfctl
