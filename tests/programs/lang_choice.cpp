// lang_choice.exe LANGUAGE...: builds a temporary installation with the
// given language folders, each holding this build's resource library of
// that language, and prints the interface language that the client chooses
// for the platform's UI languages of this process, with the status text 705
// of the resource library found for it (UTF-8):
//   user 0c07 system 0c07 choice 0407 text Bereinigt
// The registry keys it uses are removed again.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/RegHelp.h"
#include "common/RegKey.h"
#include "lang/LoadLang.h"
#include "lang/MUIHelper.h"

namespace {

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\'));
}

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + L"\\" + name);
            else
                DeleteFileW((path + L"\\" + name).c_str());
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

void DeleteKeys()
{
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClientRootKey);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kClientRootKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kAgentKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kAgentKey);
}

std::string Utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], bytes, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring install = std::wstring(temp) + L"tolvane-lang-choice-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(install.c_str(), nullptr);
    CreateDirectoryW((install + L"\\Agent").c_str(), nullptr);
    CreateDirectoryW((install + L"\\Agent\\Res").c_str(), nullptr);
    for (int i = 1; i < argc; ++i) {
        const std::string narrow(argv[i]);
        const std::wstring language(narrow.begin(), narrow.end());   // four hexadecimal digits
        const std::wstring folder = install + L"\\Agent\\Res\\" + language;
        CreateDirectoryW(folder.c_str(), nullptr);
        CopyFileW((ProgramFolder() + L"\\qxres\\" + language + L"\\QxRes_l.dll").c_str(),
                  (folder + L"\\QxRes_l.dll").c_str(), FALSE);
    }

    DeleteKeys();
    {
        RegKey key;
        if (!key.Create(HKEY_LOCAL_MACHINE, kClientRootKey, KEY_ALL_ACCESS))
            return 2;
        RegSetValueExW(key.Get(), L"szInstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(install.c_str()),
                       static_cast<DWORD>((install.size() + 1) * sizeof(wchar_t)));
    }

    IMUIHelper* helper = CMUIHelperFactory::CreateInstance();
    const std::wstring choice = helper->GetUILanguageString();
    helper->Release();

    std::wstring text = L"<none>";
    if (HMODULE library = LoadResourceLibrary(L"QxRes_l.dll", nullptr)) {
        wchar_t buffer[1000];
        const int length = LoadStringW(library, 705, buffer, 1000);
        text.assign(buffer, length > 0 ? length : 0);
        FreeLibrary(library);
    }
    printf("user %04x system %04x choice %s text %s\n", GetUserDefaultUILanguage(),
           GetSystemDefaultUILanguage(), Utf8(choice).c_str(), Utf8(text).c_str());

    DeleteKeys();
    RemoveTree(install);
    return 0;
}
