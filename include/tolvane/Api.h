// Export and import declarations of Tolvane.dll.
#pragma once

#include <windows.h>

#if defined(TOLVANE_BUILD)
#define TOLVANE_API __declspec(dllexport)
#else
#define TOLVANE_API __declspec(dllimport)
#endif

// A field that only the library's own code reads or writes: a client sees it
// for the object's size and layout alone, so a compiler that has seen every
// member it can call must not call it unused.
#if defined(__GNUC__) || defined(__clang__)
#define TOLVANE_LIBRARY_FIELD __attribute__((unused))
#else
#define TOLVANE_LIBRARY_FIELD
#endif
