// The exception barrier of the control's COM entry points. A C++ exception must never unwind
// into the host: it crosses a C calling convention, and the host has no handler for it (an
// allocation failure of a huge movie would end the screen saver). Every entry point that does
// real work runs its body through ComBarrier.
#pragma once

#include <windows.h>

#include <new>

namespace swfctl {

// `work()`'s HRESULT; E_OUTOFMEMORY when it ran out of memory, E_UNEXPECTED for any other
// exception.
template <class Work>
HRESULT ComBarrier(Work&& work) noexcept {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace swfctl
