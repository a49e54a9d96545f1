// Stands in for the product's compiled help file in the demo installation:
// it notes in "help-opened.txt" beside itself that the help was opened,
// with the command line it was given.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring record(path);
    record = record.substr(0, record.find_last_of(L'\\') + 1) + L"help-opened.txt";
    HANDLE file = CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const std::wstring line = std::wstring(L"help opened: ") + GetCommandLineW() + L"\r\n";
    char text[2048];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, text, sizeof text, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(file, text, bytes > 0 ? bytes - 1 : 0, &written, nullptr);
    CloseHandle(file);
    return 0;
}
