// Lookup of the localized resource library in the program's folder and the
// client's install folders.
#include "lang/LoadLang.h"

#include <strsafe.h>

#include "common/InstallDir.h"
#include "common/ScopedHandle.h"
#include "lang/MUIHelper.h"
#include "log/LogEvent.h"

namespace {

constexpr DWORD kResourceLoadFlags = DONT_RESOLVE_DLL_REFERENCES | LOAD_WITH_ALTERED_SEARCH_PATH;  // 9
constexpr DWORD kInstallDirBytes = 1024;

const wchar_t* const kInstallSubFolders[] = {
    L"\\Agent", L"\\Kelmo", L"\\Firewall", L"\\BrowseProtection", L"\\Shared",
};

// A path of at most kResourcePathChars - 1 characters; every piece is
// appended as far as it fits.
class PathBuffer {
public:
    PathBuffer() { m_text[0] = L'\0'; }
    explicit PathBuffer(const wchar_t* text) : PathBuffer() { Append(text); }

    PathBuffer& Append(const wchar_t* piece)
    {
        StringCchCatW(m_text, kResourcePathChars, piece);   // cuts what does not fit
        return *this;
    }
    const wchar_t* c_str() const { return m_text; }

private:
    wchar_t m_text[kResourcePathChars];
};

// True when a search for exactly this name finds an entry (file or folder).
bool EntryExists(const wchar_t* path)
{
    WIN32_FIND_DATAW entry;
    const FindHandle search(FindFirstFileW(path, &entry));
    return search.IsValid();
}

int CopyFound(const PathBuffer& candidate, wchar_t* path, DWORD size)
{
    if (size != 0)
        StringCchCopyW(path, size, candidate.c_str());   // as far as it fits
    return 1;
}

} // namespace

int FindInResFolder(const wchar_t* folder, const wchar_t* name, wchar_t* path, DWORD size)
{
    if (size != 0)
        path[0] = L'\0';

    PathBuffer neutral(folder);
    neutral.Append(L"\\Res\\").Append(name);
    if (EntryExists(neutral.c_str()))
        return CopyFound(neutral, path, size);

    PathBuffer localized(folder);
    localized.Append(L"\\Res\\");
    IMUIHelper* helper = CMUIHelperFactory::CreateInstance();
    if (helper != nullptr) {
        localized.Append(helper->GetUILanguageString().c_str());
        helper->Release();
    } else {
        WEXMOOR_LOG(Info).Write("CMUIHelperFactory::CreateInstance()... failed");
    }
    localized.Append(L"\\").Append(name);
    if (EntryExists(localized.c_str()))
        return CopyFound(localized, path, size);
    return 0;
}

int FindInModuleFolder(const wchar_t* name, wchar_t* path, DWORD size, HMODULE module)
{
    if (size != 0)
        path[0] = L'\0';
    wchar_t folder[kResourcePathChars];
    const DWORD length = GetModuleFileNameW(module, folder, kResourcePathChars);
    if (length == 0)
        return 0;
    folder[kResourcePathChars - 1] = L'\0';
    if (wchar_t* lastSeparator = wcsrchr(folder, L'\\'))
        *lastSeparator = L'\0';
    return FindInResFolder(folder, name, path, size);
}

int FindInInstallFolders(const wchar_t* name, wchar_t* path, DWORD size)
{
    if (size != 0)
        path[0] = L'\0';
    // Room for 1024 bytes (511 characters and the terminator); the value's
    // type is not examined. The extra character keeps unterminated data
    // terminated.
    wchar_t installFolder[kInstallDirBytes / sizeof(wchar_t) + 1];
    if (!ReadInstallDir(installFolder, kInstallDirBytes / sizeof(wchar_t) + 1, KEY_QUERY_VALUE,
                        InstallDirValue::AnyType))
        return 0;

    int found = 0;
    for (const wchar_t* subFolder : kInstallSubFolders) {
        PathBuffer folder(installFolder);
        folder.Append(subFolder);
        found = FindInResFolder(folder.c_str(), name, path, size);
        if (found == 1)
            break;
    }
    return found;
}

int FindResourceLibrary(const wchar_t* name, wchar_t* path, DWORD size, HMODULE module)
{
    if (size != 0)
        path[0] = L'\0';
    if (name == nullptr)
        return 0;
    if (FindInModuleFolder(name, path, size, module) == 1)
        return 1;
    return FindInInstallFolders(name, path, size);
}

HMODULE LoadResourceLibrary(const wchar_t* name, HMODULE module)
{
    wchar_t path[kResourcePathChars];
    if (FindResourceLibrary(name, path, kResourcePathChars, module) != 1)
        return nullptr;
    return LoadLibraryExW(path, nullptr, kResourceLoadFlags);
}
