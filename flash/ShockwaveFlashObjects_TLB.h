// TShockwaveFlash: the Shockwave Flash ActiveX control, created through COM, hosted in place as
// a child window of its parent, and driven through its dispatch properties. Every failure of the
// control is raised as an EOleSysError (creation, activation) or EOleException (a rejected put).
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <string>

#include "flash_ids.h"
#include "ole_container_site.h"
#include "ole_error.h"
#include "scoped_com.h"

namespace kestoral {

class TShockwaveFlash {
public:
    // Creates the control (in-process or local server) and gives it its client site. The control
    // has no window until it gets a parent.
    TShockwaveFlash();
    virtual ~TShockwaveFlash();
    TShockwaveFlash(const TShockwaveFlash&) = delete;
    TShockwaveFlash& operator=(const TShockwaveFlash&) = delete;

    // Activates the control in place as a child of `parent` at the current bounds; null
    // deactivates it. Its window then exists and is shown or hidden with Visible().
    void SetParent(HWND parent);
    HWND Parent() const { return parent_; }

    // The control's own window while it is active in place, else null.
    HWND ControlWindow() const { return window_; }

    // Bounds in the parent's client coordinates.
    void SetBounds(const RECT& bounds);
    RECT Bounds() const { return site_->Bounds(); }

    // Makes the control cover the parent's client area, now and at every ParentResized().
    void AlignToClient();
    void ParentResized();

    // On (the default), the control may change its own rectangle; off, it follows the host alone.
    void SetAutoSize(bool autoSize) { site_->SetAutoSize(autoSize); }

    void SetVisible(bool visible);
    bool Visible() const { return visible_; }

    // Property puts (IDispatch::Invoke, DISPATCH_PROPERTYPUT).
    void SetScale(const std::wstring& value);
    void SetWMode(const std::wstring& value);
    void SetLoop(bool value);
    void SetMenu(bool value);
    void SetPlaying(bool value);
    void SetMovie(const std::wstring& value);
    void SetProperty(DISPID id, const Variant& value);

protected:
    // Called once the control's window exists, and before it is destroyed: the place for a
    // derived class to subclass it.
    virtual void ControlWindowCreated(HWND window) { (void)window; }
    virtual void ControlWindowDestroying(HWND window) { (void)window; }

private:
    void Activate();
    void Deactivate();
    void ApplyVisibility();

    ComPtr<IOleObject> oleObject_;
    ComPtr<IDispatch> dispatch_;
    ComPtr<TOleContainerSite> site_;
    ComPtr<IOleInPlaceObject> inPlaceObject_;
    HWND parent_ = nullptr;
    HWND window_ = nullptr;
    bool visible_ = true;
    bool alignedToClient_ = false;
    bool shown_ = false;  // the show verb has been sent
};

}  // namespace kestoral
