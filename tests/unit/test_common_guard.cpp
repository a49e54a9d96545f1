// Every guarded string operation survives a fault in the work it guards,
// also inside the C runtime: each runs in a process of its own, so that a
// fault the guard misses ends that process instead of the test run.
#include <gtest/gtest.h>

#include "ChildProcess.h"

using namespace testsupport;

TEST(FaultGuard, EveryGuardedOperationSurvivesAFaultInItsOwnProcess)
{
    const wchar_t* operations[] = {
        L"wide-constructor", L"copy-constructor", L"wide-assignment", L"narrow-assignment",
        L"string-assignment", L"replace-find", L"replace-with", L"replacechar-with",
        L"filename-assignment", L"filename-append",
    };
    for (const wchar_t* operation : operations) {
        const ChildResult result = RunChild(std::wstring(L"guard_fault.exe ") + operation);
        EXPECT_EQ(0u, result.exitCode) << Narrow(operation) << ":\n" << result.output;
    }
}
