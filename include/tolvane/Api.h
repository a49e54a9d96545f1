// Export and import declarations of Tolvane.dll.
#pragma once

#include <windows.h>

#if defined(TOLVANE_BUILD)
#define TOLVANE_API __declspec(dllexport)
#else
#define TOLVANE_API __declspec(dllimport)
#endif
