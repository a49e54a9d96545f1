// Owners of Windows handles, one type per kind of handle; each closes its
// handle with the function of its kind when it goes out of scope:
//   CScopedHandle  kernel objects (tokens, processes, threads, events,
//                  mutexes): CloseHandle
//   FileHandle     an opened file, INVALID_HANDLE_VALUE when none: CloseHandle
//   FindHandle     a file search of FindFirstFileW: FindClose
//   ModuleHandle   a loaded library: FreeLibrary
// Registry keys have their owner in common/RegKey.h.
#pragma once

#include <windows.h>

template <class Kind>
class ScopedHandleOf {
public:
    using Handle = typename Kind::Handle;

    explicit ScopedHandleOf(Handle handle = Kind::None()) : m_handle(handle) {}
    ~ScopedHandleOf() { Reset(); }
    ScopedHandleOf(const ScopedHandleOf&) = delete;
    ScopedHandleOf& operator=(const ScopedHandleOf&) = delete;

    Handle Get() const { return m_handle; }
    bool IsValid() const { return Kind::IsSet(m_handle); }
    explicit operator bool() const { return IsValid(); }
    Handle* Receive() { Reset(); return &m_handle; }
    void Reset(Handle handle = Kind::None())
    {
        if (Kind::IsSet(m_handle))
            Kind::Close(m_handle);
        m_handle = handle;
    }
    // Gives the handle up without closing it.
    Handle Release()
    {
        const Handle handle = m_handle;
        m_handle = Kind::None();
        return handle;
    }

private:
    Handle m_handle;
};

namespace HandleKind {

struct Kernel {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static bool IsSet(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};

struct File : Kernel {
    static Handle None() { return INVALID_HANDLE_VALUE; }
};

struct Find {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static bool IsSet(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};

struct Module {
    using Handle = HMODULE;
    static Handle None() { return nullptr; }
    static bool IsSet(Handle h) { return h != nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};

} // namespace HandleKind

using CScopedHandle = ScopedHandleOf<HandleKind::Kernel>;
using FileHandle = ScopedHandleOf<HandleKind::File>;
using FindHandle = ScopedHandleOf<HandleKind::Find>;
using ModuleHandle = ScopedHandleOf<HandleKind::Module>;
