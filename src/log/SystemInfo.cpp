#include "log/SystemInfo.h"

#include "common/WindowsVersion.h"

namespace LogUtils {
namespace {

// Asked once, with the extended structure only; the function-local static
// is created exactly once even when many threads log at the same moment.
const WindowsVersion& Facts()
{
    static const WindowsVersion facts = AskWindowsVersion(VersionQuery::Extended);
    return facts;
}

} // namespace

bool IsNtPlatform() { return Facts().nt; }
bool HasTerminalServices() { return Facts().terminalServices; }

} // namespace LogUtils
