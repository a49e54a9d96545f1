#include "common/Guard.h"

#include <windows.h>

// Processor faults inside a guard are turned into C++ exceptions: a vectored
// handler makes the faulting thread continue in a small trampoline, as if the
// faulting instruction had called it, and the trampoline throws. The
// exception then unwinds through the faulting frame like any other, so the
// guard's catch and every destructor on the way run normally. The code is
// built with -fnon-call-exceptions so that faulting instructions of our own
// code are covered by its exception tables.

extern "C" void tolvane_fault_trampoline_aligned();    // entered with rsp % 16 == 8
extern "C" void tolvane_fault_trampoline_unaligned();  // entered with rsp % 16 == 0

namespace {

thread_local int t_guardDepth = 0;
thread_local unsigned long t_faultCode = 0;

bool IsProcessorFault(DWORD code)
{
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_STACK_CHECK:
        return true;
    default:
        return false;   // stack overflow cannot be continued on the same stack
    }
}

LONG CALLBACK RedirectGuardedFault(EXCEPTION_POINTERS* info)
{
    if (t_guardDepth == 0 || !IsProcessorFault(info->ExceptionRecord->ExceptionCode))
        return EXCEPTION_CONTINUE_SEARCH;
    CONTEXT* context = info->ContextRecord;
    t_faultCode = info->ExceptionRecord->ExceptionCode;
    // Push a return address one byte into the faulting instruction, so the
    // unwinder looks the frame up at that instruction itself.
    const DWORD64 stack = context->Rsp - 8;
    *reinterpret_cast<DWORD64*>(stack) = context->Rip + 1;
    context->Rsp = stack;
    context->Rip = reinterpret_cast<DWORD64>(stack % 16 == 8 ? &tolvane_fault_trampoline_aligned
                                                              : &tolvane_fault_trampoline_unaligned);
    return EXCEPTION_CONTINUE_EXECUTION;
}

void InstallFaultHandlerOnce()
{
    static PVOID handler = AddVectoredExceptionHandler(1, RedirectGuardedFault);
    (void)handler;
}

} // namespace

extern "C" [[noreturn]] void tolvane_throw_processor_fault()
{
    throw Wexmoor::ProcessorFault{t_faultCode};
}

namespace Wexmoor {

FaultGuardScope::FaultGuardScope()
{
    InstallFaultHandlerOnce();
    ++t_guardDepth;
}

FaultGuardScope::~FaultGuardScope()
{
    --t_guardDepth;
}

void LogGuardFailure(const char* sourceFile, unsigned int line)
{
    LogUtils::LogEvent(sourceFile, line, LogUtils::Error, "Wexmoor").Write("Exception occurred");
}

} // namespace Wexmoor
