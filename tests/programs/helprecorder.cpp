// A windowed program that records how it was started, into the file named after its own path with
// ".received" appended: its command line, each argument, then "startup flags: 0x.. show: N" (its start-up
// information) and "new process group: N". Tests put copies of it where a program or handler is expected.
// A leading "--sleep-ms=N" (not recorded as an argument) makes it wait N milliseconds before it writes.
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    int first = 1;
    if (argc > 1 && strncmp(argv[1], "--sleep-ms=", 11) == 0)
        Sleep(strtoul(argv[first++] + 11, nullptr, 10));
    std::string record = std::string(GetCommandLineA()) + "\r\n";
    for (int i = first; i < argc; ++i)
        record += std::string(argv[i]) + "\r\n";
    // CREATE_NEW_PROCESS_GROUP sets the console flags of the process parameters, behind the console handle.
    const ULONG consoleFlags = ULONG(ULONG_PTR(NtCurrentTeb()->ProcessEnvironmentBlock->ProcessParameters->Reserved2[1]));
    STARTUPINFOA startup = {};
    GetStartupInfoA(&startup);
    char text[128];
    snprintf(text, sizeof text, "startup flags: 0x%lx show: %u\r\nnew process group: %d\r\n", startup.dwFlags,
             startup.wShowWindow, consoleFlags != 0);
    record += text;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string target = std::string(self) + ".received", partial = target + ".part";
    HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, record.data(), DWORD(record.size()), &written, nullptr);
    CloseHandle(file);
    // Readers see the whole record or none of it.
    return MoveFileExA(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
