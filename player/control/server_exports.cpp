// The four exports of an in-process COM server (undecorated, through control.def) and DllMain.
#include <windows.h>

#include "class_factory.h"
#include "class_ids.h"
#include "com_barrier.h"
#include "module.h"
#include "movie_window.h"
#include "registration.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        swfctl::SetModuleHandle(module);
        ::DisableThreadLibraryCalls(module);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // FreeLibrary, not process exit: the class must go with the code of its procedure.
        swfctl::MovieWindow::UnregisterClass();
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, swfctl::kPlayerClassId)) return CLASS_E_CLASSNOTAVAILABLE;
    return swfctl::TheClassFactory().QueryInterface(iid, object);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return swfctl::ModuleInUse() ? S_FALSE : S_OK; }

extern "C" HRESULT WINAPI DllRegisterServer() { return swfctl::ComBarrier(swfctl::RegisterServer); }

extern "C" HRESULT WINAPI DllUnregisterServer() { return swfctl::ComBarrier(swfctl::UnregisterServer); }
