// A windowed program that records how it was started: it writes its command
// line and then each of its arguments, one per line, into the file named
// after its own path with ".received" appended. Tests register it as a URL handler or
// copy it under another name (the help file) to see what reached it.
// A first argument "--sleep-ms=N" makes it wait N milliseconds first.
#include <windows.h>
#include <shellapi.h>

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

} // namespace

int main()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    int first = 1;
    const wchar_t sleepOption[] = L"--sleep-ms=";
    if (count > 1 && wcsncmp(arguments[1], sleepOption, wcslen(sleepOption)) == 0) {
        Sleep(wcstoul(arguments[1] + wcslen(sleepOption), nullptr, 10));
        first = 2;
    }

    std::string record = Ansi(GetCommandLineW()) + "\r\n";
    for (int i = first; i < count; ++i)
        record += Ansi(arguments[i]) + "\r\n";

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
