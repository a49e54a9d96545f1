#include "common/Guard.h"

#include <windows.h>

// Processor faults inside a guard are turned into C++ exceptions. The fault
// may lie in code our exception tables do not cover (the C runtime's strlen,
// a system call's argument check), reached through a call the compiler knows
// cannot throw, so the C++ unwinder could not get out of the faulting frame.
// Instead a vectored handler walks the stack itself, frame by frame with the
// system's unwind data, back to the guard's own call of its work
// (InvokeGuarded), and makes the thread continue there in a small trampoline,
// as if that call had called it; the trampoline throws, and the exception
// leaves InvokeGuarded for the guard's catch like any other. Objects of the
// abandoned frames between the guard and the fault are not destroyed.

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

bool IsInvokeGuarded(DWORD64 address)
{
    DWORD64 imageBase = 0;
    PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(address, &imageBase, nullptr);
    return function && imageBase + function->BeginAddress ==
                           reinterpret_cast<DWORD64>(&Wexmoor::InvokeGuarded);
}

// Unwinds context, frame by frame, to the innermost guard's call of its work.
// On success the context holds that frame's state at the call's return address.
bool UnwindToGuardCall(CONTEXT& context)
{
    constexpr int kMaxFrames = 1024;
    for (int frame = 0; frame < kMaxFrames; ++frame) {
        DWORD64 imageBase = 0;
        PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
        if (function) {
            PVOID handlerData = nullptr;
            DWORD64 establisherFrame = 0;
            RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context,
                             &handlerData, &establisherFrame, nullptr);
        } else {
            // A leaf function without unwind data: the return address is on top.
            context.Rip = *reinterpret_cast<DWORD64*>(context.Rsp);
            context.Rsp += 8;
        }
        if (context.Rip == 0)
            return false;
        if (IsInvokeGuarded(context.Rip))
            return true;
    }
    return false;
}

LONG CALLBACK RedirectGuardedFault(EXCEPTION_POINTERS* info)
{
    if (t_guardDepth == 0 || !IsProcessorFault(info->ExceptionRecord->ExceptionCode))
        return EXCEPTION_CONTINUE_SEARCH;
    CONTEXT* context = info->ContextRecord;
    CONTEXT unwound = *context;
    if (!UnwindToGuardCall(unwound))
        return EXCEPTION_CONTINUE_SEARCH;
    *context = unwound;
    const DWORD64 returnAddress = context->Rip;
    t_faultCode = info->ExceptionRecord->ExceptionCode;
    const DWORD64 stack = context->Rsp - 8;
    *reinterpret_cast<DWORD64*>(stack) = returnAddress;
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

__attribute__((noinline)) void InvokeGuarded(GuardedWork run, void* work)
{
    run(work);
    asm volatile("" ::: "memory");   // keeps this frame: the call is no tail call
}

void LogGuardFailure(const char* sourceFile, unsigned int line)
{
    LogUtils::LogEvent(sourceFile, line, LogUtils::Error, "Wexmoor").Write("Exception occurred");
}

} // namespace Wexmoor
