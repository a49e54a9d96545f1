// The exported free functions of Tolvane.dll (plain C names). No exception
// ever leaves them, also when the library's own logging fails: a failure gives
// the failure answer below. Log lines go where the logging configuration sends
// them (docs/logging.md); the configuration is read again for every event.
#pragma once

#include "tolvane/Api.h"

#ifdef __cplusplus
extern "C" {
#endif

// Whether a subsystem of the client is switched on: 0 the on-access scanner
// (key zeSSCM\OnAccess), 1 peer update (zeSSCM\Murmel), any other number the
// switch key zeSSCM itself, below HKEY_LOCAL_MACHINE\SOFTWARE\Tavrel\Orbisk.
// Read on every call; nothing is kept.
// Result: 1 when the key opens, "dwAttrib" is a REG_DWORD and its bit 0 is 0;
//   0 otherwise, so also when the switch is not configured.
// Last error: unchanged (also when the switch key is missing).
// Throws: nothing.
// Threads: any number at once. Logs nothing.
TOLVANE_API BOOL IsSubSysEnabled(int subsystem);

// Creates (or empties) the file path and closes it again. A new file gets its
// own access rights: Everyone read and delete, LocalSystem and Administrators
// full access, and the calling account full access when it is neither; an
// existing file keeps its rights. path: a null-terminated UTF-16 path that
// CreateFileW accepts (null fails with the error CreateFileW gives).
// Result: 1 created or emptied; 0 not.
// Last error: changed: on failure the Windows error of the failed step (3 a
//   missing folder, 5 access denied, 14 out of memory), ERROR_INTERNAL_ERROR
//   (1359) when none is known.
// Throws: nothing.
// Threads: any number at once. Process-wide effect: ends the calling thread's
//   impersonation (it impersonates its own process for a moment), so a thread
//   that impersonates a client must impersonate again afterwards.
// Logs Warning lines in category "Tolvane" on failure.
TOLVANE_API BOOL CreateFileSpecialAccess(LPCWSTR path);

// Opens the product help: the address "szHelpURL" of the agent key through the
// shell, else the help file installed with the agent (started when it is a
// program, else opened by the shell's handler for it; docs/client-api.md);
// without an installation folder nothing happens.
// Result: none; whether the help appeared is not reported.
// Last error: unchanged when there is no installation folder; otherwise the
//   shell's and the process start's errors may be left.
// Throws: nothing.
// Threads: any; it never waits for the help. Logs Debug and Error lines.
TOLVANE_API void DisplayKelmoHelp(void);

#ifdef __cplusplus
}
#endif
