// The guard of the common code's allocating and copying operations: any
// failure inside, processor faults included, is logged as "Exception
// occurred" (level Error, category Wexmoor) and turned into a thrown
// CSystemException.
#pragma once

#include <type_traits>
#include <utility>

#include "common/SystemException.h"
#include "log/LogEvent.h"

namespace Wexmoor {

// A processor fault (access violation and the like) raised inside a guard,
// rethrown as a C++ exception on the faulting thread.
struct ProcessorFault {
    unsigned long code;
};

// While one exists on a thread, processor faults of that thread are turned
// into ProcessorFault exceptions.
class FaultGuardScope {
public:
    FaultGuardScope();
    ~FaultGuardScope();
    FaultGuardScope(const FaultGuardScope&) = delete;
    FaultGuardScope& operator=(const FaultGuardScope&) = delete;
};

void LogGuardFailure(const char* sourceFile, unsigned int line);

// Calls run(work) in a frame of its own: a fault in code that our exception
// tables do not cover is rethrown from this call.
typedef void (*GuardedWork)(void* work);
void InvokeGuarded(GuardedWork run, void* work);

// Runs work; on any failure runs onFailure, logs and throws CSystemException(code).
template <class Work, class OnFailure>
void RunGuarded(const char* sourceFile, unsigned int line, unsigned int code,
                Work&& work, OnFailure&& onFailure)
{
    try {
        FaultGuardScope scope;
        InvokeGuarded([](void* w) { (*static_cast<std::remove_reference_t<Work>*>(w))(); }, &work);
    } catch (...) {
        LogGuardFailure(sourceFile, line);
        std::forward<OnFailure>(onFailure)();
        throw CSystemException{code};
    }
}

} // namespace Wexmoor

#define RUN_GUARDED(code, work, onFailure) \
    ::Wexmoor::RunGuarded(__FILE__, __LINE__, code, work, onFailure)
