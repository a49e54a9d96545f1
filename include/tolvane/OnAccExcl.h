// COnAccExcl: asks the on-access scanner's driver interface library to
// leave the calling process unscanned, or to scan it again.
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

    // Loads Kelmo\Trennix.DLL of the installation and obtains the driver handle.
    void Init();
    // Sends request 19 (exclude != 0) or 20 (exclude == 0) when connected.
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
