// IsSubSysEnabled: whether a subsystem of the client is switched on. Each
// subsystem has a key below the switch key whose "dwAttrib" bit 0 switches
// it off; the registry is read on every call.
#include "tolvane/Functions.h"

#include "common/ClientKeys.h"
#include "common/ExportCall.h"
#include "common/FileName.h"
#include "common/RegHelp.h"

extern "C" TOLVANE_API BOOL IsSubSysEnabled(int subsystem)
{
    return CallExport([&] {
        CFileName keyPath;
        keyPath = kSubSystemSwitchKey;
        if (subsystem == 0)
            keyPath.Append(L"OnAccess");
        else if (subsystem == 1)
            keyPath.Append(L"Murmel");

        CRegHelp key;
        key.SetKeyName(keyPath.c_str());
        if (!key.Open(HKEY_LOCAL_MACHINE, 0))
            return FALSE;
        DWORD attributes = 0;
        if (!key.GetDword(L"dwAttrib", attributes))
            return FALSE;
        return (attributes & 1) == 0 ? TRUE : FALSE;
    }, FALSE);
}
