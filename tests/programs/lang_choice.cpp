// lang_choice.exe LANGUAGE...: over language folders holding this build's resource libraries, prints
// the UI languages, the choice and the text 705 found for it (UTF-8): "user 0c07 system 0c07 choice 0407 text Bereinigt".
#include <algorithm>
#include <cstdio>
#include <string>

#include "lang/LoadLang.h"
#include "lang_test_install.h"

int main(int argc, char** argv)
{
    langtest::TempInstall install;
    for (int i = 1; i < argc; ++i) {
        const std::wstring language = testsupport::Wide(argv[i]);
        CopyFileW((testsupport::ModuleFolder() + L"\\qxres\\" + language + L"\\QxRes_l.dll").c_str(),
                  (install.InstallLanguage(language) + L"\\QxRes_l.dll").c_str(), FALSE);
    }
    wchar_t text[1000] = L"<none>";
    if (HMODULE library = LoadResourceLibrary(L"QxRes_l.dll", nullptr)) {
        text[std::max(0, LoadStringW(library, 705, text, 1000))] = 0;
        FreeLibrary(library);
    }
    const std::wstring line = L"choice " + langtest::MakeHelper()->GetUILanguageString() + L" text " + text;
    char utf8[4000];
    utf8[WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8, sizeof(utf8) - 1, nullptr, nullptr)] = 0;
    printf("user %04x system %04x %s\n", GetUserDefaultUILanguage(), GetSystemDefaultUILanguage(), utf8);
    return 0;
}
