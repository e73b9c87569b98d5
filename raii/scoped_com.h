// Owners of COM resources: an interface pointer, a BSTR and a VARIANT. Like the handle owners of
// scoped_win.h each is movable, not copyable, and frees its resource exactly once.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <string>
#include <utility>

namespace kestoral {

// One reference to an interface. Construction from a raw pointer adopts that reference (no
// AddRef); AddRefTo() takes a new one.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* adopted) : p_(adopted) {}
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& o) noexcept : p_(o.release()) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    static ComPtr AddRefTo(T* p) {
        if (p) p->AddRef();
        return ComPtr(p);
    }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T* release() { return std::exchange(p_, nullptr); }
    void reset(T* p = nullptr) {
        if (p_) p_->Release();
        p_ = p;
    }
    // For APIs that return an interface through a pointer; the old one is released first.
    T** out() {
        reset();
        return &p_;
    }
    void** outVoid() { return reinterpret_cast<void**>(out()); }

    // QueryInterface for another interface; empty when the object does not have it.
    template <class U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> other;
        if (p_) p_->QueryInterface(iid, other.outVoid());
        return other;
    }

private:
    T* p_ = nullptr;
};

// A BSTR, freed with SysFreeString.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::wstring& text) : s_(::SysAllocStringLen(text.data(), UINT(text.size()))) {}
    ~Bstr() { reset(); }
    Bstr(Bstr&& o) noexcept : s_(o.release()) {}
    Bstr& operator=(Bstr&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return s_; }
    BSTR release() { return std::exchange(s_, nullptr); }
    void reset(BSTR s = nullptr) {
        if (s_) ::SysFreeString(s_);
        s_ = s;
    }
    BSTR* out() {
        reset();
        return &s_;
    }
    std::wstring str() const { return s_ ? std::wstring(s_, ::SysStringLen(s_)) : std::wstring(); }

private:
    BSTR s_ = nullptr;
};

// A VARIANT, cleared with VariantClear.
class Variant {
public:
    Variant() { ::VariantInit(&v_); }
    ~Variant() { ::VariantClear(&v_); }
    Variant(Variant&& o) noexcept {
        v_ = o.v_;
        ::VariantInit(&o.v_);
    }
    Variant& operator=(Variant&& o) noexcept {
        if (this != &o) {
            ::VariantClear(&v_);
            v_ = o.v_;
            ::VariantInit(&o.v_);
        }
        return *this;
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    static Variant FromBool(bool value) {
        Variant v;
        v.v_.vt = VT_BOOL;
        v.v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        return v;
    }
    static Variant FromString(const std::wstring& text) {
        Variant v;
        v.v_.vt = VT_BSTR;
        v.v_.bstrVal = Bstr(text).release();
        return v;
    }

    const VARIANT& get() const { return v_; }
    VARIANT* out() {
        ::VariantClear(&v_);
        return &v_;
    }

private:
    VARIANT v_;
};

}  // namespace kestoral
