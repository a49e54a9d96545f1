// A client without a C runtime (NoRuntime.cpp); C++ exceptions are served by the system's vcruntime140.dll.
#pragma once

void Print(const char* text);
void Check(bool passed, const char* what);   // prints "ok what" or "FAIL what", counting the failures
void RunChecks();                            // the program's checks; the exit code is the number of failures

// Construction whose result is what the constructor returns in RAX, as the code of a Microsoft compiler
// takes it: the construction is a tail call.
inline void* operator new(decltype(sizeof(0)), void* memory) noexcept { return memory; }

template <class T>
__declspec(noinline) T* Construct(void* memory) { return new (memory) T; }

template <class T>
T* New() { return Construct<T>(operator new(sizeof(T))); }
