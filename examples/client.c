/* A C client of Tolvane.dll: it calls every exported function. tolvane.h
   declares only the plain C functions and the version when compiled as C.
   Exits with 0 when every call succeeded.

   Build (docs/linking.md):
     x86_64-w64-mingw32-gcc-posix -std=c99 -pedantic -Wall -Wextra -Werror \
         -I"$DIST/include" client.c "$DIST/lib/libTolvane.dll.a" -static -o client_c.exe */
#include <tolvane.h>

#include <stdio.h>
#include <wchar.h>

int main(void)
{
    wchar_t path[MAX_PATH + 64] = {0};
    BOOL created;
    int subsystem;

    printf("Tolvane headers %s (0x%06x)\n", TOLVANE_VERSION_STRING, TOLVANE_VERSION_NUMBER);
    for (subsystem = 0; subsystem <= 2; ++subsystem)
        printf("IsSubSysEnabled(%d) = %d\n", subsystem, (int)IsSubSysEnabled(subsystem));

    GetTempPathW(MAX_PATH, path);
    wcscat(path, L"tolvane-c-client.txt");
    created = CreateFileSpecialAccess(path);
    printf("CreateFileSpecialAccess: %s\n", created ? "created" : "FAILED");
    DeleteFileW(path);

    /* Opens the configured help address or the installed help file and
       does not wait for it; without an installation it does nothing. */
    DisplayKelmoHelp();
    printf("DisplayKelmoHelp: returned\n");
    return created ? 0 : 1;
}
