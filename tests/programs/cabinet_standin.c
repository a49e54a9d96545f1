/* A library of the cabinet library's name that only records being loaded, by creating the file named in
 * CABINET_STANDIN_RECORD. Put beside a program, it must never be loaded in place of the system's. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"CABINET_STANDIN_RECORD", path, MAX_PATH);
    (void)instance, (void)reserved;
    if (reason == DLL_PROCESS_ATTACH && length > 0 && length < MAX_PATH)
        CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
    return TRUE;
}
