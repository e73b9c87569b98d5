#include "ShockwaveFlashObjects_TLB.h"

namespace kestoral {
namespace {

// The default size of a control before it is placed, as in a form's design data.
const RECT kDefaultBounds = {0, 0, 192, 192};

void Check(HRESULT hr) {
    if (FAILED(hr)) throw EOleSysError(hr);
}

// Pixels to HIMETRIC (0.01 mm) at the screen's resolution, for IOleObject::SetExtent.
SIZEL HimetricFromPixels(const RECT& bounds) {
    HDC screen = ::GetDC(nullptr);
    const int dpiX = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
    const int dpiY = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return SIZEL{::MulDiv(bounds.right - bounds.left, 2540, dpiX), ::MulDiv(bounds.bottom - bounds.top, 2540, dpiY)};
}

}  // namespace

TShockwaveFlash::TShockwaveFlash() : site_(new TOleContainerSite) {
    site_->SetBounds(kDefaultBounds);
    Check(::CoCreateInstance(CLSID_ShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                             IID_IOleObject, oleObject_.outVoid()));
    DWORD misc = 0;
    oleObject_->GetMiscStatus(DVASPECT_CONTENT, &misc);
    const bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst) Check(oleObject_->SetClientSite(site_.get()));
    if (auto persist = oleObject_.As<IPersistStreamInit>(IID_IPersistStreamInit)) Check(persist->InitNew());
    if (!siteFirst) Check(oleObject_->SetClientSite(site_.get()));
    dispatch_ = oleObject_.As<IDispatch>(IID_IDispatch);
    if (!dispatch_) throw EOleSysError(E_NOINTERFACE);
}

TShockwaveFlash::~TShockwaveFlash() {
    Deactivate();
    if (oleObject_) {
        oleObject_->Close(OLECLOSE_NOSAVE);
        oleObject_->SetClientSite(nullptr);
    }
}

void TShockwaveFlash::SetParent(HWND parent) {
    if (parent == parent_) return;
    Deactivate();
    parent_ = parent;
    if (parent_) Activate();
}

void TShockwaveFlash::Activate() {
    RECT bounds = site_->Bounds();
    site_->SetHostWindow(parent_);
    SIZEL extent = HimetricFromPixels(bounds);
    oleObject_->SetExtent(DVASPECT_CONTENT, &extent);
    Check(oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, parent_, &bounds));
    inPlaceObject_ = oleObject_.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    if (!inPlaceObject_) throw EOleSysError(E_NOINTERFACE);
    site_->SetInPlaceObject(inPlaceObject_.get());
    Check(inPlaceObject_->GetWindow(&window_));
    ControlWindowCreated(window_);
    ApplyVisibility();
}

void TShockwaveFlash::Deactivate() {
    if (window_) ControlWindowDestroying(window_);
    if (inPlaceObject_) inPlaceObject_->InPlaceDeactivate();
    site_->SetInPlaceObject(nullptr);
    inPlaceObject_.reset();
    window_ = nullptr;
    shown_ = false;
}

void TShockwaveFlash::SetBounds(const RECT& bounds) {
    site_->SetBounds(bounds);
    if (inPlaceObject_) {
        SIZEL extent = HimetricFromPixels(bounds);
        oleObject_->SetExtent(DVASPECT_CONTENT, &extent);
        inPlaceObject_->SetObjectRects(&bounds, &bounds);
    }
}

void TShockwaveFlash::AlignToClient() {
    alignedToClient_ = true;
    ParentResized();
}

void TShockwaveFlash::ParentResized() {
    if (!alignedToClient_ || !parent_) return;
    RECT client = {};
    ::GetClientRect(parent_, &client);
    SetBounds(client);
}

void TShockwaveFlash::SetVisible(bool visible) {
    visible_ = visible;
    ApplyVisibility();
}

void TShockwaveFlash::ApplyVisibility() {
    if (!window_) return;
    if (visible_ && !shown_) {
        // Controls that wait for the show verb before they draw get it once.
        RECT bounds = site_->Bounds();
        shown_ = true;
        oleObject_->DoVerb(OLEIVERB_SHOW, nullptr, site_.get(), 0, parent_, &bounds);
    }
    ::ShowWindow(window_, visible_ ? SW_SHOWNA : SW_HIDE);
}

void TShockwaveFlash::SetProperty(DISPID id, const Variant& value) {
    DISPID named = DISPID_PROPERTYPUT;
    VARIANTARG argument = value.get();  // a shallow copy: Invoke only reads its arguments
    DISPPARAMS params = {&argument, &named, 1, 1};
    EXCEPINFO exception = {};
    UINT argumentError = 0;
    const HRESULT hr =
        dispatch_->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, &exception, &argumentError);
    if (hr == DISP_E_EXCEPTION) throw EOleException(exception);
    Check(hr);
}

void TShockwaveFlash::SetScale(const std::wstring& value) { SetProperty(DISPID_FlashScale, Variant::FromString(value)); }
void TShockwaveFlash::SetWMode(const std::wstring& value) { SetProperty(DISPID_FlashWMode, Variant::FromString(value)); }
void TShockwaveFlash::SetLoop(bool value) { SetProperty(DISPID_FlashLoop, Variant::FromBool(value)); }
void TShockwaveFlash::SetMenu(bool value) { SetProperty(DISPID_FlashMenu, Variant::FromBool(value)); }
void TShockwaveFlash::SetPlaying(bool value) { SetProperty(DISPID_FlashPlaying, Variant::FromBool(value)); }
void TShockwaveFlash::SetMovie(const std::wstring& value) { SetProperty(DISPID_FlashMovie, Variant::FromString(value)); }

}  // namespace kestoral
