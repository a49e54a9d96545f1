// A windowed program that, half a second after its start (only a launcher that waits finds the record on return),
// records how it was started into "<its own path>.received": its command line, each argument, its start-up flags and
// show state, and whether it runs in a new process group. Tests put copies of it where a program or handler is expected.
#include <windows.h>
#include <winternl.h>

#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    Sleep(500);
    std::string record = std::string(GetCommandLineA()) + "\r\n";
    for (int i = 1; i < argc; ++i)
        record += std::string(argv[i]) + "\r\n";
    STARTUPINFOA startup = {};
    GetStartupInfoA(&startup);
    // CREATE_NEW_PROCESS_GROUP sets the console flags of the process parameters, behind the console handle.
    const PEB* peb = nullptr;
    asm("movq %%gs:0x60, %0" : "=r"(peb));
    const ULONG consoleFlags = ULONG_PTR(peb->ProcessParameters->Reserved2[1]);
    record += "startup flags: " + std::to_string(startup.dwFlags) + " show: " + std::to_string(startup.wShowWindow) +
              "\r\nnew process group: " + std::to_string(consoleFlags != 0) + "\r\n";
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string target = std::string(self) + ".received", partial = target + ".part";
    std::ofstream(partial, std::ios::binary) << record;
    // Readers see the whole record or none of it.
    return MoveFileExA(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
