// One small owner per kind of Windows handle. Each owner is movable, not copyable, and closes its
// handle exactly once; the invalid value is part of the type (0 for most, INVALID_HANDLE_VALUE
// for file and find handles).
#pragma once

#include <windows.h>

#include <utility>

namespace kestoral {

// Traits: `type`, `invalid()` and `close(type)`.
template <class Traits>
class ScopedHandle {
    using T = typename Traits::type;

public:
    ScopedHandle() = default;
    explicit ScopedHandle(T h) : h_(h) {}
    ~ScopedHandle() { reset(); }
    ScopedHandle(ScopedHandle&& o) noexcept : h_(o.release()) {}
    ScopedHandle& operator=(ScopedHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    T get() const { return h_; }
    bool valid() const { return h_ != Traits::invalid(); }
    explicit operator bool() const { return valid(); }
    T release() { return std::exchange(h_, Traits::invalid()); }
    void reset(T h = Traits::invalid()) {
        if (h_ != Traits::invalid()) Traits::close(h_);
        h_ = h;
    }
    // For APIs that return the handle through a pointer; the old one is closed first.
    T* out() {
        reset();
        return &h_;
    }

private:
    T h_ = Traits::invalid();
};

#define KESTORAL_HANDLE_TRAITS(Name, Type, Invalid, Close)   \
    struct Name {                                           \
        using type = Type;                                  \
        static type invalid() { return Invalid; }           \
        static void close(type h) { Close(h); }             \
    };

KESTORAL_HANDLE_TRAITS(KernelHandleTraits, HANDLE, nullptr, ::CloseHandle)
// CreateFile reports failure with INVALID_HANDLE_VALUE, not null.
KESTORAL_HANDLE_TRAITS(FileHandleTraits, HANDLE, INVALID_HANDLE_VALUE, ::CloseHandle)
KESTORAL_HANDLE_TRAITS(FindHandleTraits, HANDLE, INVALID_HANDLE_VALUE, ::FindClose)
KESTORAL_HANDLE_TRAITS(RegKeyTraits, HKEY, nullptr, ::RegCloseKey)
KESTORAL_HANDLE_TRAITS(LibraryTraits, HMODULE, nullptr, ::FreeLibrary)
KESTORAL_HANDLE_TRAITS(GdiObjectTraits, HGDIOBJ, nullptr, ::DeleteObject)
KESTORAL_HANDLE_TRAITS(WindowTraits, HWND, nullptr, ::DestroyWindow)
KESTORAL_HANDLE_TRAITS(MemoryDcTraits, HDC, nullptr, ::DeleteDC)
#undef KESTORAL_HANDLE_TRAITS

using UniqueHandle = ScopedHandle<KernelHandleTraits>;
using FileHandle = ScopedHandle<FileHandleTraits>;  // from CreateFile
using FindHandle = ScopedHandle<FindHandleTraits>;
using RegKey = ScopedHandle<RegKeyTraits>;
using Library = ScopedHandle<LibraryTraits>;
using GdiObject = ScopedHandle<GdiObjectTraits>;
using WindowHandle = ScopedHandle<WindowTraits>;
using MemoryDC = ScopedHandle<MemoryDcTraits>;  // from CreateCompatibleDC

}  // namespace kestoral
