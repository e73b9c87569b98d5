#include "ole_container_site.h"

#include <olectl.h>

namespace kestoral {

// -- IUnknown -----------------------------------------------------------------------------------

STDMETHODIMP TOleContainerSite::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
        *object = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)) {
        *object = static_cast<IOleInPlaceSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame)) {
        *object = static_cast<IOleInPlaceFrame*>(this);
    } else if (IsEqualIID(iid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) TOleContainerSite::AddRef() { return ULONG(::InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) TOleContainerSite::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return ULONG(left);
}

// -- IOleClientSite: nothing is stored or embedded in a document ---------------------------------

STDMETHODIMP TOleContainerSite::SaveObject() { return E_NOTIMPL; }
STDMETHODIMP TOleContainerSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP TOleContainerSite::GetContainer(IOleContainer** container) {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
}
STDMETHODIMP TOleContainerSite::ShowObject() { return S_OK; }
STDMETHODIMP TOleContainerSite::OnShowWindow(BOOL) { return S_OK; }
STDMETHODIMP TOleContainerSite::RequestNewObjectLayout() { return E_NOTIMPL; }

// -- IOleWindow ---------------------------------------------------------------------------------

STDMETHODIMP TOleContainerSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = host_;
    return host_ ? S_OK : E_FAIL;
}
STDMETHODIMP TOleContainerSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

// -- IOleInPlaceSite ----------------------------------------------------------------------------

STDMETHODIMP TOleContainerSite::CanInPlaceActivate() { return host_ ? S_OK : S_FALSE; }
STDMETHODIMP TOleContainerSite::OnInPlaceActivate() { return S_OK; }
STDMETHODIMP TOleContainerSite::OnUIActivate() { return S_OK; }

STDMETHODIMP TOleContainerSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                                 LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) {
    if (!frame || !document || !position || !clip || !frameInfo) return E_POINTER;
    AddRef();
    *frame = static_cast<IOleInPlaceFrame*>(this);
    *document = nullptr;  // the frame is the document window too
    *position = bounds_;
    *clip = bounds_;
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = host_;
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP TOleContainerSite::Scroll(SIZE) { return E_NOTIMPL; }
STDMETHODIMP TOleContainerSite::OnUIDeactivate(BOOL) { return S_OK; }
STDMETHODIMP TOleContainerSite::OnInPlaceDeactivate() {
    inPlaceObject_ = nullptr;
    return S_OK;
}
STDMETHODIMP TOleContainerSite::DiscardUndoState() { return S_OK; }
STDMETHODIMP TOleContainerSite::DeactivateAndUndo() { return S_OK; }

STDMETHODIMP TOleContainerSite::OnPosRectChange(LPCRECT position) {
    if (!position) return E_POINTER;
    if (autoSize_) bounds_ = *position;
    if (inPlaceObject_) inPlaceObject_->SetObjectRects(&bounds_, &bounds_);
    return S_OK;
}

// -- IOleInPlaceUIWindow, IOleInPlaceFrame: no tool bars, menus or status line -----------------

STDMETHODIMP TOleContainerSite::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP TOleContainerSite::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP TOleContainerSite::SetBorderSpace(LPCBORDERWIDTHS) { return OLE_E_INVALIDRECT; }
STDMETHODIMP TOleContainerSite::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) { return S_OK; }
STDMETHODIMP TOleContainerSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return E_NOTIMPL; }
STDMETHODIMP TOleContainerSite::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP TOleContainerSite::RemoveMenus(HMENU) { return E_NOTIMPL; }
STDMETHODIMP TOleContainerSite::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP TOleContainerSite::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP TOleContainerSite::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

// -- IDispatch: ambient properties --------------------------------------------------------------

STDMETHODIMP TOleContainerSite::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}
STDMETHODIMP TOleContainerSite::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP TOleContainerSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return DISP_E_UNKNOWNNAME; }

STDMETHODIMP TOleContainerSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                       EXCEPINFO*, UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    ::VariantInit(result);
    switch (id) {
        case DISPID_AMBIENT_USERMODE:  // running, not being designed
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_TRUE;
            return S_OK;
        case DISPID_AMBIENT_UIDEAD:
        case DISPID_AMBIENT_SHOWHATCHING:
        case DISPID_AMBIENT_SHOWGRABHANDLES:
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_FALSE;
            return S_OK;
        case DISPID_AMBIENT_BACKCOLOR:  // the window behind the movie is black
            result->vt = VT_I4;
            result->lVal = 0;
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace kestoral
