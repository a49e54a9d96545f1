// What a Microsoft-ABI program normally takes from its C runtime: the entry point, operator new/delete,
// console output, and the type_info vtable that the catch clauses' type descriptors name (the exception
// handler matches types by name and never calls through it).
#include <windows.h>

#include "NoRuntime.h"

extern "C" const void* const TypeInfoVtable[2] __asm__("??_7type_info@@6B@") = {nullptr, nullptr};
static unsigned failures = 0;

void* operator new(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }
void operator delete(void* memory) noexcept { memory && HeapFree(GetProcessHeap(), 0, memory); }
void operator delete(void* memory, size_t) noexcept { operator delete(memory); }
void Print(const char* text) { DWORD n; WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, lstrlenA(text), &n, nullptr); }
void Check(bool passed, const char* what) { Print(passed ? "ok " : "FAIL "), Print(what), Print("\n"), failures += !passed; }
extern "C" void Start() { RunChecks(), ExitProcess(failures); }
