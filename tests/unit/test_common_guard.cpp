// The fault guard, each case of guard_fault.exe in a process of its own: a fault that the guard misses, or
// one that it wrongly takes, shows in that process's verdict instead of ending the test run.
#include <gtest/gtest.h>

#include <sstream>

#include "ChildProcess.h"

TEST(FaultGuard, EachCaseInItsOwnProcess)
{
    std::istringstream names(testsupport::RunChild(L"guard_fault.exe").output);
    int count = 0;
    for (std::string name; names >> name; ++count) {
        const auto result = testsupport::RunChild(L"guard_fault.exe " + testsupport::Wide(name));
        EXPECT_TRUE(result.exitCode == 0 && result.output.find("verdict 0") != std::string::npos)
            << name << ": exit code 0x" << std::hex << result.exitCode << "\n" << result.output;
    }
    EXPECT_EQ(count, 17);
}
