// The fault guard, each case of tests/programs/guard_fault.cpp in a process of its own: a fault that the
// guard misses, or one that it wrongly takes, shows in that process's verdict instead of ending the test run.
#include <gtest/gtest.h>

#include <sstream>

#include "ChildProcess.h"

using namespace testsupport;

TEST(FaultGuard, EachCaseInItsOwnProcess)
{
    std::istringstream modes(RunChild(L"guard_fault.exe", 20000).output);
    int count = 0;
    for (std::string mode; modes >> mode; ++count) {
        const ChildResult result = RunChild(L"guard_fault.exe " + Wide(mode), 20000);
        EXPECT_TRUE(result.exitCode == 0 && result.output.find("verdict 0") != std::string::npos)
            << mode << ": exit code 0x" << std::hex << result.exitCode << "\n" << result.output;
    }
    EXPECT_EQ(count, 15);
}
