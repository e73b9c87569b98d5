#include "registration.h"

#include <olectl.h>

#include <string>

#include "class_ids.h"
#include "module.h"
#include "scoped_win.h"

namespace swfctl {
namespace {

using kestoral::RegKey;

const std::wstring kClassKey = std::wstring(L"CLSID\\") + kPlayerClassIdText;
const wchar_t kDisplayName[] = L"Kestoral SWF player control";

bool HasSubkey(HKEY parent, const wchar_t* name) {
    RegKey key;
    return ::RegOpenKeyExW(parent, name, 0, KEY_READ, key.out()) == ERROR_SUCCESS;
}

LONG SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            DWORD((value.size() + 1) * sizeof(wchar_t)));
}

LONG CreateKey(HKEY parent, const std::wstring& name, RegKey& key) {
    return ::RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                             nullptr, key.out(), nullptr);
}

// RegDeleteTree arrived after the systems this DLL still runs on.
LONG DeleteTree(HKEY parent, const std::wstring& name) {
    {
        RegKey key;
        LONG rc = ::RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, key.out());
        if (rc == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
        if (rc != ERROR_SUCCESS) return rc;
        wchar_t child[256];
        for (;;) {
            DWORD length = DWORD(sizeof child / sizeof child[0]);
            rc = ::RegEnumKeyExW(key.get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc != ERROR_SUCCESS) return rc;
            rc = DeleteTree(key.get(), child);
            if (rc != ERROR_SUCCESS) return rc;
        }
    }
    return ::RegDeleteKeyW(parent, name.c_str());
}

HRESULT FromWin32(LONG rc) { return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc); }

}  // namespace

ClassOwner RegisteredOwner() {
    RegKey key;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, kClassKey.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS)
        return ClassOwner::None;
    if (::RegQueryValueExW(key.get(), kOwnerMarker, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
        return ClassOwner::Ours;
    // A class key without a server (left over by an uninstaller) registers nothing.
    for (const wchar_t* server : {L"InprocServer32", L"LocalServer32", L"InprocServer", L"LocalServer"}) {
        if (HasSubkey(key.get(), server)) return ClassOwner::Foreign;
    }
    return ClassOwner::None;
}

HRESULT RegisterServer() {
    if (RegisteredOwner() == ClassOwner::Foreign) return SELFREG_E_CLASS;
    wchar_t path[MAX_PATH];
    if (!ModulePath(path, MAX_PATH)) return HRESULT_FROM_WIN32(::GetLastError());

    RegKey classKey, serverKey, controlKey;
    LONG rc = CreateKey(HKEY_CLASSES_ROOT, kClassKey, classKey);
    if (rc == ERROR_SUCCESS) rc = SetString(classKey.get(), kOwnerMarker, L"1");
    if (rc == ERROR_SUCCESS) rc = SetString(classKey.get(), nullptr, kDisplayName);
    if (rc == ERROR_SUCCESS) rc = CreateKey(classKey.get(), L"InprocServer32", serverKey);
    if (rc == ERROR_SUCCESS) rc = SetString(serverKey.get(), nullptr, path);
    if (rc == ERROR_SUCCESS) rc = SetString(serverKey.get(), L"ThreadingModel", L"Apartment");
    if (rc == ERROR_SUCCESS) rc = CreateKey(classKey.get(), L"Control", controlKey);
    return FromWin32(rc);
}

HRESULT UnregisterServer() {
    switch (RegisteredOwner()) {
        case ClassOwner::None:
            return S_OK;
        case ClassOwner::Foreign:
            return S_FALSE;
        case ClassOwner::Ours:
            break;
    }
    return FromWin32(DeleteTree(HKEY_CLASSES_ROOT, kClassKey));
}

}  // namespace swfctl
