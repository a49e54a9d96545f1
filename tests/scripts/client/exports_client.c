/* A C client of the plain exports: while another kind of object holds the
 * log mutex's name (so every log event of the library fails), each export
 * answers as it does for a failure and the client goes on; a client's own
 * event leaves its last error as it was. */
#include <windows.h>
#include <stdio.h>

#include <tolvane/Functions.h>
#include <tolvane/Log.h>

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
    const TolvaneLogRecord record = TOLVANE_LOG_RECORD_INIT(TOLVANE_LOG_INFO, "Brisko");
    SetLastError(1234);
    TolvaneLogWriteA(&record, "squatted");
    const DWORD kept = GetLastError();
    printf("subsys %d special %d error %lu created %d help returned log kept %lu\n", subsys, special, error, fresh, kept);
    CloseHandle(squatter);
    return 0;
}
