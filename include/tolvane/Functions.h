// The exported free functions of Tolvane.dll (plain C names).
#pragma once

#include "tolvane/Api.h"

#ifdef __cplusplus
extern "C" {
#endif

// 1 when the client's subsystem (0 on-access scanner, 1 peer update, other
// numbers the switch key itself) is switched on, else 0.
TOLVANE_API BOOL IsSubSysEnabled(int subsystem);

// Creates (or empties) a file that every client process may read and the
// system and administrators may do everything with. 1 on success.
TOLVANE_API BOOL CreateFileSpecialAccess(LPCWSTR path);

// Opens the product help: the configured address, else the installed help file
// (started when it is a program, else opened by the shell's handler for it).
TOLVANE_API void DisplayKelmoHelp(void);

#ifdef __cplusplus
}
#endif
