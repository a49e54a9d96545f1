// Test helpers of the language code: a temporary installation, the language object, registry read-back.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>

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

// A registry value's type and bytes as stored; type 0 when it is missing.
using RegValue = std::pair<DWORD, std::string>;
inline RegValue ReadValue(HKEY root, const wchar_t* path, const wchar_t* name)
{
    HKEY key = nullptr;
    DWORD type = 0, size = 256;
    BYTE data[256];
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    const bool found = RegQueryValueExW(key, name, nullptr, &type, data, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found ? RegValue(type, std::string(reinterpret_cast<const char*>(data), size)) : RegValue();
}

inline std::string WideBytes(const std::wstring& text)   // with the terminator
{
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
}

} // namespace langtest
