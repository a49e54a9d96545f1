#include "common/Guard.h"

#include <windows.h>

#include "log/LogEvent.h"

// Processor faults inside a guard become C++ exceptions in the way a
// structured __except does it on x64, with the guard's own frame
// (tolvane_invoke_guarded, FaultTrampoline.S) carrying the handler in its
// unwind information:
//   - the system offers a fault to the frames from the faulting one outwards;
//     a handler nearer the fault (IsBadReadPtr's, the host's own) sees it
//     first, and a fault outside every guard never reaches this one;
//   - the guard's handler takes processor faults only, and unwinds the stack
//     to its frame with RtlUnwindEx: the frames in between get their
//     termination handlers run (GCC's frames ignore a foreign exception, so
//     their objects are abandoned, not destroyed);
//   - the unwind lands in the guard's frame with the fault's code, which is
//     thrown from there as ProcessorFault.
// Nothing is installed process-wide and nothing is kept per thread: a
// library that used a guard can be unloaded at any time.

extern "C" EXCEPTION_DISPOSITION tolvane_guard_frame_handler(EXCEPTION_RECORD* record, void* frame,
                                                            CONTEXT* context,
                                                            DISPATCHER_CONTEXT* dispatch);
extern "C" void tolvane_guard_landing();

namespace {

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
        return false;   // stack overflow cannot go on on the same stack; C++ exceptions pass
    }
}

} // namespace

extern "C" EXCEPTION_DISPOSITION tolvane_guard_frame_handler(EXCEPTION_RECORD* record, void* frame,
                                                            CONTEXT* context,
                                                            DISPATCHER_CONTEXT* dispatch)
{
    if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) ||
        !IsProcessorFault(record->ExceptionCode))
        return ExceptionContinueSearch;
    RtlUnwindEx(frame, reinterpret_cast<void*>(&tolvane_guard_landing), record,
                reinterpret_cast<void*>(static_cast<ULONG_PTR>(record->ExceptionCode)), context,
                dispatch->HistoryTable);
    return ExceptionContinueSearch;   // not reached: the unwind does not come back
}

extern "C" [[noreturn]] void tolvane_throw_processor_fault(unsigned long code)
{
    throw Wexmoor::ProcessorFault{code};
}

namespace Wexmoor {

void LogGuardFailure(const char* sourceFile, unsigned int line)
{
    LogUtils::LogEvent(sourceFile, line, LogUtils::Error, "Wexmoor").Write("Exception occurred");
}

} // namespace Wexmoor
