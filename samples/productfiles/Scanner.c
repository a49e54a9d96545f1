/* zeOnAcc.dll (sample): stands in for the on-access scanner, whose version
   resource the reports read. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
