/* Trennix.DLL: a stand-in for the on-access scanner's driver interface
 * library. It talks to no driver: every call is appended as one line to the
 * file named by the environment variable TRENNIX_RECORD (when it is set), so
 * a test or a demo can see exactly what a client sent.
 *
 * Lines written (handles as 0x followed by 16 hexadecimal digits):
 *   load
 *   OnAccess_Init handle=0x... result=N
 *   OnAccess_CallDriver handle=0x... request=N args=0x...,0x...,0x...,N
 *   OnAccess_End handle=0x...
 *   unload
 *
 * Build variants for the failure cases of a client:
 *   TRENNIX_WITHOUT_END   OnAccess_End is not exported;
 *   TRENNIX_INIT_FAILS    OnAccess_Init answers 1 and stores no handle;
 *   TRENNIX_WITH_HELPER   imports TrennixHelper.dll, which lies only in the
 *                         library's own folder.
 */
#include <windows.h>
#include <stdio.h>

#define TRENNIX_EXPORT __declspec(dllexport)


static void Record(const char* format, ...)
{
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"TRENNIX_RECORD", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;

    char line[256];
    va_list args;
    va_start(args, format);
    int chars = _vsnprintf(line, sizeof line - 2, format, args);
    va_end(args);
    if (chars < 0)
        chars = (int)sizeof line - 2;
    line[chars++] = '\r';
    line[chars++] = '\n';

    /* Lines of several processes may be appended to one record. */
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, line, (DWORD)chars, &written, NULL);
    CloseHandle(file);
}

static unsigned long long AsNumber(const void* pointer)
{
    return (unsigned long long)(ULONG_PTR)pointer;
}

#ifdef TRENNIX_WITH_HELPER
__declspec(dllimport) long TrennixHelperAnswer(void);
#endif

TRENNIX_EXPORT long OnAccess_Init(void** driverHandle)
{
#ifdef TRENNIX_WITH_HELPER
    if (TrennixHelperAnswer() != 0)
        return 1;
#endif
#ifdef TRENNIX_INIT_FAILS
    Record("OnAccess_Init handle=0x%016llx result=1", AsNumber(NULL));
    (void)driverHandle;
    return 1;
#else
    /* Driver handles count up from a recognisable base, so each successful
     * OnAccess_Init of a process hands out a handle of its own. */
    static volatile LONG handlesIssued = 0;
    void* handle = (void*)(ULONG_PTR)(0x7E5A0000u + (ULONG_PTR)InterlockedIncrement(&handlesIssued));
    if (!driverHandle)
        return 87; /* ERROR_INVALID_PARAMETER */
    *driverHandle = handle;
    Record("OnAccess_Init handle=0x%016llx result=0", AsNumber(handle));
    return 0;
#endif
}

#ifndef TRENNIX_WITHOUT_END
TRENNIX_EXPORT long OnAccess_End(void* driverHandle)
{
    Record("OnAccess_End handle=0x%016llx", AsNumber(driverHandle));
    return 0;
}
#endif

TRENNIX_EXPORT long OnAccess_CallDriver(void* driverHandle, unsigned long request,
                                        void* arg1, void* arg2, void* arg3,
                                        unsigned long arg4)
{
    Record("OnAccess_CallDriver handle=0x%016llx request=%lu args=0x%llx,0x%llx,0x%llx,%lu",
           AsNumber(driverHandle), request, AsNumber(arg1), AsNumber(arg2), AsNumber(arg3), arg4);
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        Record("load");
    else if (reason == DLL_PROCESS_DETACH)
        Record("unload");
    return TRUE;
}
