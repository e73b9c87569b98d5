// The DLL's own state: its module handle and the counts that decide whether COM may unload it.
#pragma once

#include <windows.h>

namespace swfctl {

HINSTANCE ModuleHandle();
void SetModuleHandle(HINSTANCE module);

// Every live control object counts once, every IClassFactory::LockServer(TRUE) once.
void ObjectCreated();
void ObjectDestroyed();
void LockModule();
void UnlockModule();
bool ModuleInUse();

// The DLL's full path, for the registry.
bool ModulePath(wchar_t* buffer, DWORD size);

}  // namespace swfctl
