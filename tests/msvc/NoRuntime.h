// A client without a C runtime: its own entry point, allocation and console
// output. C++ exceptions are served by the system's vcruntime140.dll.
#pragma once

// The checks' console output.
void Print(const char* text);
// Prints "ok what" or "FAIL what" and counts the failures.
void Check(bool passed, const char* what);

// The program's checks; the process exit code is the number of failures.
void RunChecks();

// Construction whose result is what the constructor returns in RAX, as the
// code of a Microsoft compiler takes it: the construction is a tail call.
inline void* operator new(decltype(sizeof(0)), void* memory) noexcept
{
    return memory;
}

template <class T>
__declspec(noinline) T* Construct(void* memory)
{
    return new (memory) T;
}

template <class T>
T* New()
{
    return Construct<T>(operator new(sizeof(T)));
}
