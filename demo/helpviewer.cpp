// Stands in for the handler of compiled help files in the demo: the demo
// registers it for ".chm", so the shell starts it with the help file's path.
// It notes in "help-opened.txt" beside that file which file it was asked to open.
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count < 2)
        return 1;
    const std::wstring document(arguments[1]);
    const std::wstring record = document.substr(0, document.find_last_of(L'\\') + 1) + L"help-opened.txt";
    HANDLE file = CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const std::wstring line = L"help opened: " + document + L"\r\n";
    char text[2048];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, text, sizeof text, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(file, text, bytes > 0 ? bytes - 1 : 0, &written, nullptr);
    CloseHandle(file);
    return 0;
}
