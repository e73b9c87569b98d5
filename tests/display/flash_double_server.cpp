// The in-process server of the Flash test double: registered by a test under the Flash class id
// (InprocServer32, ThreadingModel Apartment). KESTORAL_FLASH_FAIL_CREATE=<hresult> makes every
// creation fail with that status; every creation is logged to KESTORAL_DOUBLE_LOG.
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "double_log.h"
#include "flash_double_control.h"

namespace flash_double {

HINSTANCE g_module = nullptr;

namespace {

const CLSID kFlashClassId = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

HRESULT CreationFailure() {
    char value[64];
    DWORD n = GetEnvironmentVariableA("KESTORAL_FLASH_FAIL_CREATE", value, sizeof value);
    return n > 0 && n < sizeof value ? HRESULT(std::strtoul(value, nullptr, 0)) : S_OK;
}

class Factory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // A static object: its references only keep the server loaded.
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(InterlockedIncrement(&g_locks)); }
    STDMETHODIMP_(ULONG) Release() override { return ULONG(InterlockedDecrement(&g_locks)); }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        const HRESULT failure = CreationFailure();
        char line[64];
        std::snprintf(line, sizeof line, "FlashCreate result=0x%08lX", static_cast<unsigned long>(failure));
        AppendCall(line);
        if (FAILED(failure)) return failure;
        Control* control = new (std::nothrow) Control;
        if (!control) return E_OUTOFMEMORY;
        const HRESULT hr = control->QueryInterface(iid, object);
        control->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) {
            InterlockedIncrement(&g_locks);
        } else {
            InterlockedDecrement(&g_locks);
        }
        return S_OK;
    }
};

Factory g_factory;

}  // namespace
}  // namespace flash_double

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        flash_double::g_module = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, flash_double::kFlashClassId)) return CLASS_E_CLASSNOTAVAILABLE;
    return flash_double::g_factory.QueryInterface(iid, object);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return flash_double::g_objects == 0 && flash_double::g_locks == 0 ? S_OK : S_FALSE;
}
