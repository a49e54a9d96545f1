/* TrennixHelper.dll: a library that Trennix_WithHelper.DLL imports. It is
 * built into a folder of its own and installed only beside that library, so
 * the library loads only when its imports are looked up in its own folder. */
#include <windows.h>

__declspec(dllexport) long TrennixHelperAnswer(void)
{
    return 0;
}
