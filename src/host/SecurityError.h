// The exception raised when a security object (SID, access control list,
// security descriptor) cannot be built. It carries the HRESULT of the
// failure: a Windows error in the low 16 bits with the FACILITY_WIN32
// marking, E_OUTOFMEMORY for a failed allocation, E_FAIL for an invalid SID
// or descriptor. The special-access file operations catch it at their
// boundary; it never leaves the library.
#pragma once

#include <windows.h>

namespace Host {

struct CSecurityError {
    HRESULT result;
};

// The HRESULT of a Windows error; E_FAIL when the call set no error.
inline HRESULT ResultFromWin32(DWORD error)
{
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

// Raises CSecurityError with the calling thread's last Windows error.
[[noreturn]] inline void ThrowLastSecurityError()
{
    throw CSecurityError{ResultFromWin32(GetLastError())};
}

// The Windows error a failed special-access operation leaves for its caller:
// the Win32 code of a FACILITY_WIN32 result, else the HRESULT itself.
inline DWORD LastErrorOf(HRESULT result)
{
    return HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result)
                                                      : static_cast<DWORD>(result);
}

} // namespace Host
