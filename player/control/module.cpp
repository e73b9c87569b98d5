#include "module.h"

namespace swfctl {
namespace {

HINSTANCE g_module = nullptr;
LONG g_objects = 0;
LONG g_locks = 0;

}  // namespace

HINSTANCE ModuleHandle() { return g_module; }
void SetModuleHandle(HINSTANCE module) { g_module = module; }

void ObjectCreated() { ::InterlockedIncrement(&g_objects); }
void ObjectDestroyed() { ::InterlockedDecrement(&g_objects); }
void LockModule() { ::InterlockedIncrement(&g_locks); }
void UnlockModule() { ::InterlockedDecrement(&g_locks); }
bool ModuleInUse() { return g_objects > 0 || g_locks > 0; }

bool ModulePath(wchar_t* buffer, DWORD size) {
    const DWORD length = ::GetModuleFileNameW(g_module, buffer, size);
    return length > 0 && length < size;
}

}  // namespace swfctl
