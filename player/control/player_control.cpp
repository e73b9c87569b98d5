#include "player_control.h"

#include <algorithm>

#include "acm_mp3_decoder.h"
#include <gdi_font_provider.h>

#include "class_ids.h"
#include "com_barrier.h"
#include "canvas_blit.h"
#include "module.h"

namespace swfctl {

PlayerControl::PlayerControl() {
    ObjectCreated();
    playback_.setMp3Decoder(AcmMp3DecoderFactory());
    playback_.setDeviceFonts(std::make_shared<swf::GdiFontProvider>());
}

PlayerControl::~PlayerControl() {
    window_.destroy();
    ObjectDestroyed();
}

// -- IUnknown -----------------------------------------------------------------------------------

STDMETHODIMP PlayerControl::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject)) {
        *object = static_cast<IOleObject*>(this);
    } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject)) {
        *object = static_cast<IOleInPlaceObject*>(this);
    } else if (IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2)) {
        *object = static_cast<IViewObject2*>(this);
    } else if (IsEqualIID(iid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) PlayerControl::AddRef() { return ULONG(::InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) PlayerControl::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return ULONG(left);
}

// -- IOleObject ---------------------------------------------------------------------------------

STDMETHODIMP PlayerControl::SetClientSite(IOleClientSite* site) {
    if (!site) InPlaceDeactivate();
    clientSite_ = kestoral::ComPtr<IOleClientSite>::AddRefTo(site);
    return S_OK;
}

STDMETHODIMP PlayerControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = clientSite_.get();
    if (*site) (*site)->AddRef();
    return S_OK;
}

STDMETHODIMP PlayerControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP PlayerControl::Close(DWORD) {
    InPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP PlayerControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }
STDMETHODIMP PlayerControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP PlayerControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }
STDMETHODIMP PlayerControl::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP PlayerControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT position) {
    return ComBarrier([&]() -> HRESULT {
        if (site && !clientSite_) clientSite_ = kestoral::ComPtr<IOleClientSite>::AddRefTo(site);
        switch (verb) {
            case OLEIVERB_PRIMARY:
            case OLEIVERB_SHOW:
            case OLEIVERB_OPEN:
            case OLEIVERB_INPLACEACTIVATE:
            case OLEIVERB_UIACTIVATE: {
                const HRESULT hr = ActivateInPlace(parent, position);
                if (SUCCEEDED(hr)) window_.show(true);
                return hr;
            }
            case OLEIVERB_HIDE:
                window_.show(false);
                return S_OK;
            default:
                if (verb > 0) {  // an unknown positive verb acts as the primary one
                    const HRESULT hr = ActivateInPlace(parent, position);
                    if (FAILED(hr)) return hr;
                    window_.show(true);
                    return OLEOBJ_S_INVALIDVERB;
                }
                return E_NOTIMPL;
        }
    });
}

HRESULT PlayerControl::ActivateInPlace(HWND parentHint, LPCRECT position) {
    if (window_.handle()) {
        if (position) window_.move(*position);
        return S_OK;
    }
    if (!clientSite_) return E_UNEXPECTED;
    auto site = clientSite_.As<IOleInPlaceSite>(IID_IOleInPlaceSite);
    if (!site) return E_NOINTERFACE;
    if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
    HWND parent = nullptr;
    if (FAILED(site->GetWindow(&parent)) || !parent) parent = parentHint;
    if (!parent) return E_FAIL;
    RECT bounds = position ? *position : RECT{0, 0, 0, 0};
    kestoral::ComPtr<IOleInPlaceFrame> frame;
    kestoral::ComPtr<IOleInPlaceUIWindow> document;
    RECT sitePosition = {}, siteClip = {};
    OLEINPLACEFRAMEINFO frameInfo = {};
    frameInfo.cb = sizeof frameInfo;
    if (SUCCEEDED(site->GetWindowContext(frame.out(), document.out(), &sitePosition, &siteClip, &frameInfo)) &&
        !position) {
        bounds = sitePosition;
    }
    site->OnInPlaceActivate();
    if (!window_.create(parent, bounds)) {
        site->OnInPlaceDeactivate();
        return E_FAIL;
    }
    window_.setMenuEnabled(menu_);
    inPlaceSite_ = std::move(site);
    return S_OK;
}

STDMETHODIMP PlayerControl::EnumVerbs(IEnumOLEVERB** verbs) {
    if (verbs) *verbs = nullptr;
    return OLE_S_USEREG;
}
STDMETHODIMP PlayerControl::Update() { return S_OK; }
STDMETHODIMP PlayerControl::IsUpToDate() { return S_OK; }

STDMETHODIMP PlayerControl::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = kPlayerClassId;
    return S_OK;
}

STDMETHODIMP PlayerControl::GetUserType(DWORD, LPOLESTR* type) {
    if (type) *type = nullptr;
    return OLE_S_USEREG;
}

STDMETHODIMP PlayerControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
}

STDMETHODIMP PlayerControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

STDMETHODIMP PlayerControl::Advise(IAdviseSink*, DWORD* connection) {
    if (connection) *connection = 0;
    return OLE_E_ADVISENOTSUPPORTED;
}
STDMETHODIMP PlayerControl::Unadvise(DWORD) { return OLE_E_NOCONNECTION; }
STDMETHODIMP PlayerControl::EnumAdvise(IEnumSTATDATA** advises) {
    if (advises) *advises = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP PlayerControl::GetMiscStatus(DWORD aspect, DWORD* status) {
    if (!status) return E_POINTER;
    *status = 0;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE |
              OLEMISC_RECOMPOSEONRESIZE;
    return S_OK;
}

STDMETHODIMP PlayerControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// -- IOleWindow, IOleInPlaceObject --------------------------------------------------------------

STDMETHODIMP PlayerControl::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_.handle();
    return *window ? S_OK : E_FAIL;
}

STDMETHODIMP PlayerControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP PlayerControl::InPlaceDeactivate() {
    if (!window_.handle() && !inPlaceSite_) return S_OK;
    window_.destroy();
    if (inPlaceSite_) {
        // The site may release us from here: stay alive until this call is done.
        AddRef();
        kestoral::ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
        site->OnInPlaceDeactivate();
        site.reset();
        Release();
    }
    return S_OK;
}

STDMETHODIMP PlayerControl::UIDeactivate() { return S_OK; }

STDMETHODIMP PlayerControl::SetObjectRects(LPCRECT position, LPCRECT) {
    return ComBarrier([&]() -> HRESULT {
        if (!position) return E_POINTER;
        window_.move(*position);
        return S_OK;
    });
}

STDMETHODIMP PlayerControl::ReactivateAndUndo() { return INPLACE_E_NOTUNDOABLE; }

// -- IViewObject, IViewObject2 ------------------------------------------------------------------

STDMETHODIMP PlayerControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC target, LPCRECTL bounds,
                                 LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    return ComBarrier([&]() -> HRESULT {
        if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        if (!target || !bounds) return E_INVALIDARG;
        const int width = std::min<LONG>(bounds->right - bounds->left, swf::kMaxBitmapSide);
        const int height = std::min<LONG>(bounds->bottom - bounds->top, swf::kMaxBitmapSide);
        if (width <= 0 || height <= 0 || int64_t(width) * height > swf::kMaxBitmapPixels) return E_INVALIDARG;
        swf::Canvas canvas(width, height);
        playback_.renderWhole(canvas);
        const BITMAPINFO info = TopDownInfo(width, height);
        const int lines = ::SetDIBitsToDevice(target, bounds->left, bounds->top, DWORD(width), DWORD(height), 0, 0, 0,
                                              UINT(height), canvas.pixels.data(), &info, DIB_RGB_COLORS);
        return lines > 0 ? S_OK : E_FAIL;
    });
}

STDMETHODIMP PlayerControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
    if (colors) *colors = nullptr;
    return S_FALSE;  // no palette of its own
}

STDMETHODIMP PlayerControl::Freeze(DWORD, LONG, void*, DWORD* freeze) {
    if (freeze) *freeze = 0;
    return E_NOTIMPL;
}
STDMETHODIMP PlayerControl::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP PlayerControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    viewAspects_ = aspects;
    viewFlags_ = flags;
    viewSink_ = kestoral::ComPtr<IAdviseSink>::AddRefTo(sink);
    return S_OK;
}

STDMETHODIMP PlayerControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewFlags_;
    if (sink) {
        *sink = viewSink_.get();
        if (*sink) (*sink)->AddRef();
    }
    return S_OK;
}

STDMETHODIMP PlayerControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

}  // namespace swfctl
