// The class factory of the player control. One static instance: its references only keep the
// module loaded, like LockServer.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace swfctl {

class ClassFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;
};

ClassFactory& TheClassFactory();

}  // namespace swfctl
