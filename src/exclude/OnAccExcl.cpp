// COnAccExcl: reaches the on-access scanner's driver through its interface
// library Kelmo\Trennix.DLL of the installation and asks it to leave the
// calling process unscanned, or to scan it again.

#include "tolvane/OnAccExcl.h"

#include "common/FileName.h"
#include "common/InstallDir.h"
#include "common/ScopedHandle.h"
#include "log/LogEvent.h"

namespace {

constexpr wchar_t kDriverLibraryPart[] = L"\\Kelmo\\Trennix.DLL";

// Requests understood by the driver.
constexpr unsigned long kExcludeProcessRequest = 19;
constexpr unsigned long kIncludeProcessRequest = 20;

template <class Fn>
Fn ResolveEntryPoint(HMODULE library, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

} // namespace

COnAccExcl::COnAccExcl()
    : m_driverHandle(nullptr),
      m_library(nullptr),
      m_onAccessInit(nullptr),
      m_onAccessEnd(nullptr),
      m_onAccessCallDriver(nullptr)
{
}

COnAccExcl::~COnAccExcl()
{
    if (m_library)
        FreeLibrary(m_library);
}

void COnAccExcl::Init()
{
    try {
        wchar_t installDir[kInstallDirChars] = {};
        if (!GetInstallDir(installDir)) {
            // The library path is still empty here.
            TOLVANE_LOG(Error).Write("Unable to load the Trennix.DLL library from %s", "");
            return;
        }

        CFileName libraryPath;
        libraryPath = installDir;
        libraryPath.Append(kDriverLibraryPart);

        // Its own imports come from its folder and the system folder only, never
        // from the host program's folder, the current folder or PATH.
        ModuleHandle library(LoadLibraryExW(libraryPath.c_str(), nullptr,
                                            LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32));
        if (!library)
            return;

        // The entry points are kept only with a connected driver.
        const auto init = ResolveEntryPoint<OnAccessInitFn>(library.Get(), "OnAccess_Init");
        const auto end = ResolveEntryPoint<OnAccessEndFn>(library.Get(), "OnAccess_End");
        const auto callDriver = ResolveEntryPoint<OnAccessCallDriverFn>(library.Get(), "OnAccess_CallDriver");
        if (!init || !end || !callDriver || init(&m_driverHandle) != 0)
            return;
        m_library = library.Release();
        m_onAccessInit = init;
        m_onAccessEnd = end;
        m_onAccessCallDriver = callDriver;
    } catch (...) {
        // A failed path assignment (logged by the string class) leaves the
        // object without a connection.
    }
}

void COnAccExcl::ExcludeThisProcess(int exclude)
{
    if (!m_onAccessCallDriver)
        return;
    m_onAccessCallDriver(m_driverHandle,
                         exclude ? kExcludeProcessRequest : kIncludeProcessRequest,
                         nullptr, nullptr, nullptr, 0);
}
