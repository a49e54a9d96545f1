// The fault guard, each case in a process of its own (tests/programs/
// guard_fault.cpp), so that a fault the guard misses, or one it wrongly
// takes, shows in that process's exit code instead of ending the test run.
#include <gtest/gtest.h>

#include "ChildProcess.h"

using namespace testsupport;

TEST(FaultGuard, EachCaseInItsOwnProcess)
{
    const struct {
        const wchar_t* mode;
        DWORD exitCode;
    } cases[] = {
        // Every guarded operation survives a fault, also inside the C runtime.
        {L"wide-constructor", 0}, {L"copy-constructor", 0}, {L"wide-assignment", 0},
        {L"narrow-assignment", 0}, {L"string-assignment", 0}, {L"replace-find", 0},
        {L"replace-with", 0}, {L"replacechar-with", 0}, {L"filename-assignment", 0},
        {L"filename-append", 0}, {L"buffer-removechar", 0}, {L"buffer-removeallchars", 0},
        // Nothing of the guard outlives the library or reaches beyond its own calls.
        {L"unload-then-throw", 0}, {L"isbadreadptr-in-guard", 0}, {L"direction-flag", 0},
        {L"retry-in-catch", 0},
        {L"fault-after-guard", EXCEPTION_ACCESS_VIOLATION}, {L"fault-beside-guard", EXCEPTION_ACCESS_VIOLATION},
    };
    for (const auto& c : cases) {
        const ChildResult result = RunChild(std::wstring(L"guard_fault.exe ") + c.mode, 20000);
        const bool finished = c.exitCode != 0 || result.output.find("verdict 0") != std::string::npos;
        EXPECT_TRUE(result.exitCode == c.exitCode && finished) << Narrow(c.mode) << ": exit code 0x" << std::hex
                                                               << result.exitCode << "\n" << result.output;
    }
}
