// A windowed program that records how it was started into "<its own path>.received": its command line, each argument
// (after a leading "--sleep-ms=N", which waits N milliseconds first), its start-up flags and show state, and whether
// it runs in a new process group. Tests put copies of it where a program or handler is expected.
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    const bool sleeps = argc > 1 && strncmp(argv[1], "--sleep-ms=", 11) == 0;
    Sleep(sleeps ? strtoul(argv[1] + 11, nullptr, 10) : 0);
    std::string record = std::string(GetCommandLineA()) + "\r\n";
    for (int i = sleeps ? 2 : 1; i < argc; ++i)
        record += std::string(argv[i]) + "\r\n";
    STARTUPINFOA startup = {};
    GetStartupInfoA(&startup);
    // CREATE_NEW_PROCESS_GROUP sets the console flags of the process parameters, behind the console handle.
    const PEB* peb = nullptr;
    asm("movq %%gs:0x60, %0" : "=r"(peb));
    const void* consoleFlags = peb->ProcessParameters->Reserved2[1];
    char text[128];
    snprintf(text, sizeof text, "startup flags: 0x%lx show: %u\r\nnew process group: %d\r\n", startup.dwFlags,
             startup.wShowWindow, ULONG(ULONG_PTR(consoleFlags)) != 0);
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string target = std::string(self) + ".received", partial = target + ".part";
    FILE* file = fopen(partial.c_str(), "wb");
    fputs((record + text).c_str(), file);
    fclose(file);
    // Readers see the whole record or none of it.
    return MoveFileExA(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
