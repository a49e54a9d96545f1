// Test helpers of the language code: a temporary installation and the language object.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "TestSupport.h"
#include "lang/MUIHelper.h"

namespace langtest {

// A fresh install folder named by "szInstallDir" (unless told otherwise), and clean keys of the choice and its copies.
struct TempInstall {
    explicit TempInstall(bool registered = true) { if (registered) machine.SetString(L"szInstallDir", folder.Path()); }
    const std::wstring& Path() const { return folder.Path(); }
    std::wstring InstallLanguage(const std::wstring& id) const { return folder.MakeFolder(L"Agent\\Res\\" + id); }

    testsupport::TempFolder folder;
    testsupport::ScopedRegistryKey machine{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk"};
    testsupport::ScopedRegistryKey user{HKEY_CURRENT_USER, kAgentKey};
    testsupport::ScopedRegistryKey hostedScanner{HKEY_CURRENT_USER, kHostedScannerLanguageKey};
    testsupport::ScopedRegistryKey webSafety{HKEY_CURRENT_USER, kWebSafetyLanguageKey};
};

using HelperPtr = std::unique_ptr<IMUIHelper, void (*)(IMUIHelper*)>;
inline HelperPtr MakeHelper() { return HelperPtr(CMUIHelperFactory::CreateInstance(), [](IMUIHelper* h) { h->Release(); }); }

} // namespace langtest
