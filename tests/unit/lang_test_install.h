// Test helpers of the language code: a temporary client installation with
// its registry values, the language object, and registry read-back.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "TestSupport.h"
#include "lang/MUIHelper.h"

namespace langtest {

constexpr wchar_t kClientKey[] = L"SOFTWARE\\Tavrel\\Orbisk";

// Deletes a key tree when created and when destroyed, without creating it.
class RegistryCleanup {
public:
    RegistryCleanup(HKEY root, std::wstring path) : m_root(root), m_path(std::move(path))
    {
        testsupport::DeleteRegistryTree(m_root, m_path);
    }
    ~RegistryCleanup() { testsupport::DeleteRegistryTree(m_root, m_path); }
    RegistryCleanup(const RegistryCleanup&) = delete;
    RegistryCleanup& operator=(const RegistryCleanup&) = delete;

private:
    HKEY m_root;
    std::wstring m_path;
};

// A fresh install folder named by "szInstallDir" (unless told otherwise),
// and clean current-user keys of the language choice.
class TempInstall {
public:
    explicit TempInstall(bool registered = true)
        : machine(HKEY_LOCAL_MACHINE, kClientKey), user(HKEY_CURRENT_USER, kAgentKey),
          m_hostedScanner(HKEY_CURRENT_USER, kHostedScannerLanguageKey),
          m_webSafety(HKEY_CURRENT_USER, kWebSafetyLanguageKey)
    {
        if (registered)
            machine.SetString(L"szInstallDir", folder.Path());
    }

    const std::wstring& Path() const { return folder.Path(); }
    std::wstring InstallLanguage(const std::wstring& id) const
    {
        return folder.MakeFolder(L"Agent\\Res\\" + id);
    }

    testsupport::TempFolder folder;
    testsupport::ScopedRegistryKey machine;   // local machine: SOFTWARE\Tavrel\Orbisk
    testsupport::ScopedRegistryKey user;      // current user: SOFTWARE\Tavrel\Orbisk\Agent

private:
    RegistryCleanup m_hostedScanner;
    RegistryCleanup m_webSafety;
};

struct HelperRelease {
    void operator()(IMUIHelper* helper) const { helper->Release(); }
};
using HelperPtr = std::unique_ptr<IMUIHelper, HelperRelease>;

inline HelperPtr MakeHelper()
{
    return HelperPtr(CMUIHelperFactory::CreateInstance());
}

struct RegValue {
    bool exists = false;
    DWORD type = 0;
    std::string bytes;

    std::wstring Text() const
    {
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    }
};

inline RegValue ReadValue(HKEY root, const wchar_t* path, const wchar_t* name)
{
    RegValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &bytes) == ERROR_SUCCESS) {
        value.bytes.resize(bytes);
        value.exists = bytes == 0 ||
                       RegQueryValueExW(key, name, nullptr, &value.type,
                                        reinterpret_cast<BYTE*>(&value.bytes[0]), &bytes) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return value;
}

inline std::string WideBytes(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
}

} // namespace langtest
