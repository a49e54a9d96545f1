// lang_choice.exe LANGUAGE...: over language folders holding this build's resource libraries, prints the UI languages,
// the choice and the text 705 found for it: "user 0c07 system 0c07 choice 0407 text Bereinigt".
#include <algorithm>
#include <cstdio>

#include "TestInstall.h"
#include "lang/LoadLang.h"
#include "lang/MUIHelper.h"

int main(int argc, char** argv)
{
    testsupport::TestInstall install;
    for (int i = 1; i < argc; ++i)
        install.InstallResourceLibrary(testsupport::Wide(argv[i]));
    wchar_t text[1000] = L"<none>";
    if (HMODULE library = LoadResourceLibrary(L"QxRes_l.dll", nullptr))
        text[std::max(0, LoadStringW(library, 705, text, 1000))] = 0;   // freed when the program ends
    IMUIHelper* helper = CMUIHelperFactory::CreateInstance();
    const std::wstring line = L"choice " + helper->GetUILanguageString() + L" text " + text;
    helper->Release();
    printf("user %04x system %04x %ls\n", GetUserDefaultUILanguage(), GetSystemDefaultUILanguage(), line.c_str());
}
