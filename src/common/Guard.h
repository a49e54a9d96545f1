// The guard of the common code's allocating and copying operations: any
// failure inside, processor faults included, is logged as "Exception
// occurred" (level Error, category Wexmoor) and turned into a thrown
// CSystemException.
#pragma once

#include <type_traits>
#include <utility>

#include "common/SystemException.h"

namespace Wexmoor {

// A processor fault (access violation and the like) raised inside a guard,
// thrown again as a C++ exception from the guard's own frame.
struct ProcessorFault {
    unsigned long code;
};

void LogGuardFailure(const char* sourceFile, unsigned int line);

// Calls run(work) in the guard's own frame, whose exception handler turns a
// processor fault anywhere below it, that no nearer handler takes, into a
// ProcessorFault thrown from this call (Guard.cpp, FaultTrampoline.S).
typedef void (*GuardedWork)(void* work);
extern "C" void tolvane_invoke_guarded(GuardedWork run, void* work);

// Runs work; on any failure runs onFailure, logs and throws CSystemException(code).
template <class Work, class OnFailure>
void RunGuarded(const char* sourceFile, unsigned int line, unsigned int code,
                Work&& work, OnFailure&& onFailure)
{
    try {
        tolvane_invoke_guarded([](void* w) { (*static_cast<std::remove_reference_t<Work>*>(w))(); }, &work);
    } catch (...) {
        LogGuardFailure(sourceFile, line);
        std::forward<OnFailure>(onFailure)();
        throw CSystemException{code};
    }
}

} // namespace Wexmoor

#define RUN_GUARDED(code, work, onFailure) \
    ::Wexmoor::RunGuarded(__FILE__, __LINE__, code, work, onFailure)
