// A windowed program that records how it was started: it writes its command
// line and then each of its arguments, one per line, into the file named
// after its own path with ".received" appended. Tests register it as a URL handler or
// copy it under another name (the help file) to see what reached it.
// Leading options (not recorded as arguments):
//   --sleep-ms=N     wait N milliseconds before writing;
//   --report-group   end the record with "new process group: 1" when the
//                    program was started with CREATE_NEW_PROCESS_GROUP, else 0.
// With the environment variable TOLVANE_RECORD_STARTUP set (programs started
// without options), the record ends with how the starter asked for the
// process: "startup flags: 0x.. show: N" (its start-up information) and
// "new process group: N".
#include <windows.h>
#include <shellapi.h>
#include <winternl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

std::string Ansi(const wchar_t* text)
{
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 1)
        WideCharToMultiByte(CP_ACP, 0, text, -1, &result[0], bytes, nullptr, nullptr);
    return result;
}

// A process started with CREATE_NEW_PROCESS_GROUP finds the console flags
// of its process parameters set (the field behind the console handle).
bool NewProcessGroup()
{
    typedef NTSTATUS(NTAPI * QueryProcess)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryProcess>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    if (query == nullptr ||
        query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return false;
    const BYTE* parameters = reinterpret_cast<const BYTE*>(basic.PebBaseAddress->ProcessParameters);
    ULONG consoleFlags = 0;
    memcpy(&consoleFlags, parameters + 2 * sizeof(ULONG) + 2 * sizeof(ULONG) + sizeof(HANDLE),
           sizeof consoleFlags);
    return consoleFlags != 0;
}

// How the starter asked for this process, as far as the process can see it.
std::string StartupRecord()
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    char text[256];
    snprintf(text, sizeof text, "startup flags: 0x%lx show: %u\r\nnew process group: %d\r\n",
             startup.dwFlags, startup.wShowWindow, NewProcessGroup() ? 1 : 0);
    return text;
}

} // namespace

int main()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    int first = 1;
    bool reportGroup = false;
    const wchar_t sleepOption[] = L"--sleep-ms=";
    for (; first < count; ++first) {
        if (wcsncmp(arguments[first], sleepOption, wcslen(sleepOption)) == 0)
            Sleep(wcstoul(arguments[first] + wcslen(sleepOption), nullptr, 10));
        else if (wcscmp(arguments[first], L"--report-group") == 0)
            reportGroup = true;
        else
            break;
    }

    std::string record = Ansi(GetCommandLineW()) + "\r\n";
    for (int i = first; i < count; ++i)
        record += Ansi(arguments[i]) + "\r\n";
    if (reportGroup)
        record += NewProcessGroup() ? "new process group: 1\r\n" : "new process group: 0\r\n";
    if (GetEnvironmentVariableW(L"TOLVANE_RECORD_STARTUP", nullptr, 0) != 0)
        record += StartupRecord();

    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring target = std::wstring(self) + L".received";
    std::wstring partial = target + L".part";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    // Readers see the whole record or none of it.
    return MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
