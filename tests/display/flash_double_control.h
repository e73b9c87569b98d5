// The control object of the Flash test double: just enough of an ActiveX control for the screen
// saver's host. It logs every call the test looks at, paints its window in one known colour,
// can be told to reject one property put (KESTORAL_FLASH_REJECT=<dispid>), and can ask its site
// for a size of its own once its movie is put (KESTORAL_FLASH_PREFERRED_SIZE=<w>,<h>).
#pragma once

#include <windows.h>
#include <ole2.h>

#include <map>
#include <string>

#include "scoped_com.h"

namespace flash_double {

// Magenta: a colour the screen saver never paints itself, so a screenshot shows the control.
constexpr COLORREF kDoubleColour = RGB(255, 0, 255);

// Live objects and server locks, for DllCanUnloadNow.
extern LONG g_objects;
extern LONG g_locks;
extern HINSTANCE g_module;

class Control final : public IOleObject, public IOleInPlaceObject, public IDispatch {
public:
    Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT position) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* id) override;
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

private:
    ~Control();
    HRESULT ActivateInPlace(HWND parent, LPCRECT position);
    HRESULT PutProperty(DISPID id, const VARIANT& value, EXCEPINFO* exception);
    void AskForPreferredSize();

    LONG references_ = 1;
    kestoral::ComPtr<IOleClientSite> site_;
    kestoral::ComPtr<IOleInPlaceSite> inPlaceSite_;  // while active in place
    HWND window_ = nullptr;
    SIZEL extent_ = {5080, 5080};
    std::map<DISPID, std::wstring> values_;  // what was put, as text
};

}  // namespace flash_double
