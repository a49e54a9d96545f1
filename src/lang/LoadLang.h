// The lookup and loading of the client's localized resource libraries.
//
// For a library name N and the language folder L of the interface language
// (e.g. 0409) the candidates are, in order:
//   <module folder>\Res\N, <module folder>\Res\L\N,
//   then for S in \Agent, \Kelmo, \Firewall, \BrowseProtection, \Shared:
//   <install folder>S\Res\N, <install folder>S\Res\L\N.
// The first that exists (file or folder) is the result; the search does not
// go on when it cannot be loaded.
#pragma once

#include <windows.h>

// Paths are built in buffers of this many characters (terminator included)
// and cut when longer.
constexpr DWORD kResourcePathChars = 1024;

// Loads the library for resource access only (LoadLibraryExW with
// DONT_RESOLVE_DLL_REFERENCES | LOAD_WITH_ALTERED_SEARCH_PATH): its entry
// point is not run and its imports are not resolved. module: the module
// whose folder is searched first; none means the process's executable.
// Returns none when not found or not loadable (GetLastError tells why).
// The caller frees the handle with FreeLibrary.
HMODULE LoadResourceLibrary(const wchar_t* name, HMODULE module);

// Writes the full path of the library into path (size characters). 1 when
// found; 0 when not found (path then empty) or when name is null.
int FindResourceLibrary(const wchar_t* name, wchar_t* path, DWORD size, HMODULE module);

// The steps of the search, with the same result convention.
int FindInModuleFolder(const wchar_t* name, wchar_t* path, DWORD size, HMODULE module);
int FindInInstallFolders(const wchar_t* name, wchar_t* path, DWORD size);
int FindInResFolder(const wchar_t* folder, const wchar_t* name, wchar_t* path, DWORD size);
