// The library's entry point: it only reports success. Nothing is started
// here; every shared resource is created on first use.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
