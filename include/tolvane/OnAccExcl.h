// COnAccExcl: asks the on-access scanner's driver interface library to
// leave the calling process unscanned, or to scan it again. One thread per
// object at a time. The constructor does nothing that can fail; the
// destructor only unloads the library (it does not send request 20).
#pragma once

#include "tolvane/Api.h"

class TOLVANE_API COnAccExcl {
public:
    typedef long (*OnAccessInitFn)(void** driverHandle);
    typedef long (*OnAccessEndFn)(void* driverHandle);
    typedef long (*OnAccessCallDriverFn)(void* driverHandle, unsigned long request,
                                         void* arg1, void* arg2, void* arg3,
                                         unsigned long arg4);

    COnAccExcl();
    ~COnAccExcl();
    COnAccExcl(const COnAccExcl&) = delete;
    COnAccExcl& operator=(const COnAccExcl&) = delete;

    // Loads <install folder>\Kelmo\Trennix.DLL and obtains the driver handle.
    // Result: none. When the library, one of its three entry points or its
    //   OnAccess_Init fails, the object stays unconnected, silently. A second
    //   Init loads the library again without unloading the first.
    // Last error: unchanged when there is no installation folder (then an
    //   Error line is logged).
    // Throws: nothing.
    void Init();
    // Sends request 19 (exclude != 0) or 20 (exclude == 0) to the driver when
    // connected; does nothing otherwise. Result: none.
    // Last error: unchanged when not connected.
    // Throws: nothing.
    void ExcludeThisProcess(int exclude);

private:
    // Fixed layout: client programs allocate this object themselves, so its
    // size and every field offset are part of the interface (pinned for both
    // ABIs by tests/msvc/layouts.txt). Never add, remove, resize or reorder a
    // field. New state lives in the library: in a table keyed by the object's
    // address (filled by the constructor, emptied by the destructor), or in a
    // new exported class.
    void* m_driverHandle;
    HMODULE m_library;
    OnAccessInitFn m_onAccessInit;
    OnAccessEndFn m_onAccessEnd;
    OnAccessCallDriverFn m_onAccessCallDriver;
};
