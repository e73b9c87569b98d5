#include "control_set.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace kestoral {

namespace {

// The screen's device context for the time of one call.
class ScreenDC {
public:
    ScreenDC() : dc_(::GetDC(nullptr)) {}
    ~ScreenDC() {
        if (dc_) ::ReleaseDC(nullptr, dc_);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

const char kOriginalProcProperty[] = "kestoral.ContainerProc";

// Panels and group boxes are system controls that keep their children's notifications to
// themselves; this procedure hands them on to the form, which has the handlers.
LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    const auto original = reinterpret_cast<WNDPROC>(::GetPropA(hwnd, kOriginalProcProperty));
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (lParam != reinterpret_cast<LPARAM>(hwnd)) {
                return ::SendMessageA(::GetAncestor(hwnd, GA_ROOT), message, wParam, lParam);
            }
            break;
        case WM_ERASEBKGND: {
            // A group box draws only its frame and caption; the form clips its children, so
            // nothing else would paint the inside. It gets the colour its parent gives it.
            HWND parent = ::GetParent(hwnd);
            auto brush = reinterpret_cast<HBRUSH>(::SendMessageA(parent, WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(hwnd)));
            if (!brush) brush = ::GetSysColorBrush(COLOR_BTNFACE);
            RECT area;
            ::GetClientRect(hwnd, &area);
            ::FillRect(reinterpret_cast<HDC>(wParam), &area, brush);
            return TRUE;
        }
        case WM_NCDESTROY:
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            ::RemovePropA(hwnd, kOriginalProcProperty);
            break;
        default:
            break;
    }
    return original ? ::CallWindowProcA(original, hwnd, message, wParam, lParam)
                    : ::DefWindowProcA(hwnd, message, wParam, lParam);
}

void ForwardNotificationsToForm(HWND container) {
    const LONG_PTR original = ::GetWindowLongPtrA(container, GWLP_WNDPROC);
    ::SetPropA(container, kOriginalProcProperty, reinterpret_cast<HANDLE>(original));
    ::SetWindowLongPtrA(container, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ContainerProc));
}

const char* ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
        case ControlKind::Image:
        case ControlKind::Panel: return "STATIC";
        case ControlKind::GroupBox:
        case ControlKind::Button:
        case ControlKind::CheckBox: return "BUTTON";
        case ControlKind::DropDownList: return "COMBOBOX";
    }
    return "STATIC";
}

DWORD StyleOf(const ControlLayout& row) {
    DWORD style = WS_CHILD;
    if (!(row.options & kHidden)) style |= WS_VISIBLE;
    if (row.tabOrder >= 0 && row.kind != ControlKind::GroupBox && row.kind != ControlKind::Panel) style |= WS_TABSTOP;
    if (row.options & kClickable) style |= SS_NOTIFY;
    switch (row.kind) {
        case ControlKind::Label:
            // File contents reach labels too: an "&" there is text, not an accelerator.
            style |= SS_NOPREFIX;
            if (row.options & kAlignBottom) return style | SS_OWNERDRAW;
            if (row.options & kAlignRight) return style | SS_RIGHT;
            return style | ((row.options & kWordWrap) ? SS_LEFT : SS_LEFTNOWORDWRAP);
        case ControlKind::Image:
            if (row.options & kPictureBitmap) return style | SS_BITMAP;
            if (row.options & kPictureIcon) return style | SS_ICON;
            return style | SS_OWNERDRAW;
        case ControlKind::Panel: return style | SS_LEFT | WS_CLIPCHILDREN;
        case ControlKind::GroupBox: return style | BS_GROUPBOX | WS_CLIPCHILDREN;
        case ControlKind::Button: return style | BS_PUSHBUTTON;
        case ControlKind::CheckBox: return style | BS_AUTOCHECKBOX;
        case ControlKind::DropDownList: return style | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL;
    }
    return style;
}

// A drop-down list's window height includes its open list; the layout gives the closed height.
constexpr int kDropDownRows = 8;

// Tab-order key: tab stops first, in their order; the rest after them, in table order.
int TabKey(const ControlLayout* row) { return row->tabOrder >= 0 ? row->tabOrder : 1 << 20; }

}  // namespace

int FontHeightForPoints(int points, HDC screen) {
    return -::MulDiv(points, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
}

HFONT TControlSet::FontFor(const ControlLayout& row, HDC screen) {
    if (!row.font.face) return formFont_;
    HFONT font = ::CreateFontA(FontHeightForPoints(row.font.points, screen), 0, 0, 0,
                               row.font.bold ? FW_BOLD : FW_NORMAL, FALSE, row.font.underline, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                               row.font.face);
    fonts_.emplace_back(font);
    return font ? font : formFont_;
}

HWND TControlSet::CreateOne(const ControlLayout& row, HWND parent) {
    int height = row.height;
    if (row.kind == ControlKind::DropDownList) height += kDropDownRows * (row.itemHeight > 0 ? row.itemHeight : 16) + 2;
    DWORD exStyle = 0;
    if (row.kind == ControlKind::GroupBox || row.kind == ControlKind::Panel) exStyle |= WS_EX_CONTROLPARENT;
    HWND hwnd = ::CreateWindowExA(exStyle, ClassOf(row.kind), row.text, StyleOf(row), row.left, row.top, row.width,
                                  height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)),
                                  ::GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) throw std::runtime_error(std::string("Error creating control ") + row.name + ".");
    return hwnd;
}

void TControlSet::CreateChildren(int parentId, HWND parent, HDC screen) {
    std::vector<const ControlLayout*> children;
    for (const ControlLayout* row : rows_)
        if (row->parentId == parentId) children.push_back(row);
    std::stable_sort(children.begin(), children.end(),
                     [](const ControlLayout* a, const ControlLayout* b) { return TabKey(a) < TabKey(b); });

    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    for (const ControlLayout* row : children) {
        HWND hwnd = CreateOne(*row, parent);
        windows_[row->id] = hwnd;
        ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(*row, screen)), FALSE);

        if (row->kind == ControlKind::DropDownList && row->itemHeight > 0)
            ::SendMessageA(hwnd, CB_SETITEMHEIGHT, 0, row->itemHeight);
        if (row->options & kPictureBitmap) {
            HANDLE bitmap = ::LoadImageA(instance, MAKEINTRESOURCEA(row->picture), IMAGE_BITMAP, 0, 0, 0);
            bitmaps_.emplace_back(bitmap);
            ::SendMessageA(hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
        }
        if (row->options & kPictureIcon) {
            // Shared icons belong to the system; nothing to free.
            HANDLE icon = ::LoadImageA(instance, MAKEINTRESOURCEA(row->picture), IMAGE_ICON, row->width, row->height,
                                       LR_SHARED);
            ::SendMessageA(hwnd, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
        }
        if (row->options & kPictureStretch) pictures_[row->id];
        // A picture resizes its control to the picture's size; the layout has the last word.
        if (row->options & (kPictureBitmap | kPictureIcon))
            ::SetWindowPos(hwnd, nullptr, row->left, row->top, row->width, row->height, SWP_NOZORDER | SWP_NOACTIVATE);
        if (row->colour != kDefaultColour && row->kind == ControlKind::Panel)
            brushes_[row->id].reset(::CreateSolidBrush(row->colour));

        if (row->kind == ControlKind::Panel || row->kind == ControlKind::GroupBox) {
            ForwardNotificationsToForm(hwnd);
            CreateChildren(row->id, hwnd, screen);
        }
    }
}

void TControlSet::Create(HWND form, const ControlLayout* rows, size_t count, const FontSpec& formFont) {
    Destroy();
    form_ = form;
    for (size_t i = 0; i < count; ++i) rows_.push_back(&rows[i]);
    ScreenDC screen;
    formFont_ = static_cast<HFONT>(
        ::CreateFontA(FontHeightForPoints(formFont.points, screen.get()), 0, 0, 0, formFont.bold ? FW_BOLD : FW_NORMAL,
                      FALSE, formFont.underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                      DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, formFont.face));
    fonts_.emplace_back(formFont_);
    ::SendMessageA(form, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_), FALSE);
    CreateChildren(0, form, screen.get());
}

void TControlSet::Destroy() {
    for (const ControlLayout* row : rows_) {
        if (row->parentId != 0) continue;
        auto it = windows_.find(row->id);
        if (it != windows_.end() && ::IsWindow(it->second)) ::DestroyWindow(it->second);
    }
    windows_.clear();
    rows_.clear();
    pictures_.clear();
    brushes_.clear();
    bitmaps_.clear();
    fonts_.clear();
    formFont_ = nullptr;
}

HWND TControlSet::Window(int id) const {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : it->second;
}

const ControlLayout* TControlSet::Row(HWND control) const {
    for (const ControlLayout* row : rows_)
        if (Window(row->id) == control) return row;
    return nullptr;
}

TPicture& TControlSet::Picture(int id) { return pictures_[id]; }

HBRUSH TControlSet::ControlColour(HDC dc, HWND control) {
    const ControlLayout* row = Row(control);
    if (!row) return nullptr;
    auto brush = brushes_.find(row->id);
    if (brush != brushes_.end()) {
        ::SetBkColor(dc, row->colour);
        return static_cast<HBRUSH>(brush->second.get());
    }
    if (row->colour == kDefaultColour) return nullptr;
    ::SetTextColor(dc, row->colour);
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

bool TControlSet::DrawItem(const DRAWITEMSTRUCT& item) {
    const ControlLayout* row = Row(item.hwndItem);
    if (!row) return false;
    HBRUSH background = ::GetSysColorBrush(COLOR_BTNFACE);
    if (row->options & kPictureStretch) {
        Picture(row->id).DrawStretched(item.hDC, item.rcItem, background);
        return true;
    }
    if (row->kind == ControlKind::Label && (row->options & kAlignBottom)) {
        char text[256] = "";
        ::GetWindowTextA(item.hwndItem, text, sizeof text);
        ::FillRect(item.hDC, &item.rcItem, background);
        HGDIOBJ previous = ::SelectObject(item.hDC, reinterpret_cast<HGDIOBJ>(::SendMessageA(item.hwndItem, WM_GETFONT, 0, 0)));
        ::SetBkMode(item.hDC, TRANSPARENT);
        ::SetTextColor(item.hDC, row->colour != kDefaultColour ? row->colour : ::GetSysColor(COLOR_WINDOWTEXT));
        RECT area = item.rcItem;
        UINT format = DT_SINGLELINE | DT_BOTTOM | DT_NOPREFIX;
        format |= (row->options & kAlignRight) ? DT_RIGHT : DT_LEFT;
        ::DrawTextA(item.hDC, text, -1, &area, format);
        ::SelectObject(item.hDC, previous);
        return true;
    }
    return false;
}

bool TControlSet::SetCursorFor(HWND control) const {
    const ControlLayout* row = Row(control);
    if (!row || !(row->options & kHandCursor)) return false;
    ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649) /* IDC_HAND */));
    return true;
}

}  // namespace kestoral
