// A client without a C runtime (NoRuntime.cpp); C++ exceptions are served by the system's vcruntime140.dll.
#pragma once

void Print(const char* text);
void Check(bool passed, const char* what);   // prints "ok what" or "FAIL what"; the exit code counts the FAILs
void RunChecks();                            // the program's checks

// Construction as a Microsoft compiler's code does it: a tail call whose result is the `this` returned in RAX.
inline void* operator new(decltype(sizeof(0)), void* memory) noexcept { return memory; }
template <class T> __declspec(noinline) T* Construct(void* memory) { return new (memory) T; }
template <class T> T* New() { return Construct<T>(operator new(sizeof(T))); }
