/* A C client of the plain exports: while another kind of object holds the
 * log mutex's name (so every log event of the library fails), each export
 * answers as it does for a failure and the client goes on. */
#include <windows.h>
#include <stdio.h>

#include <tolvane/Functions.h>

int main(int argc, char** argv)
{
    wchar_t missing[MAX_PATH], created[MAX_PATH];
    if (argc < 2)
        return 2;
    MultiByteToWideChar(CP_ACP, 0, argv[1], -1, created, MAX_PATH);
    swprintf(missing, MAX_PATH, L"%ls\\no such folder\\file.dat", created);
    wcscat(created, L"\\created.dat");

    HANDLE squatter = CreateEventW(NULL, TRUE, FALSE, L"MUX_QXTRELMLOG_BDEED226-DDC1-4f9e-ACC9-EBC49E4752F5");
    if (squatter == NULL || GetLastError() == ERROR_ALREADY_EXISTS)
        return 3;

    const BOOL subsys = IsSubSysEnabled(0);
    SetLastError(0);
    const BOOL special = CreateFileSpecialAccess(missing);
    const DWORD error = GetLastError();
    const BOOL fresh = CreateFileSpecialAccess(created);
    DisplayKelmoHelp();
    printf("subsys %d special %d error %lu created %d help returned\n", subsys, special, error, fresh);
    CloseHandle(squatter);
    return 0;
}
