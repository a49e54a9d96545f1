// Figures of the exclusion list:
//  - IsExcluded calls per second for 100000 paths (half of them excluded)
//    against 50 items of mixed forms, beside the floor of one
//    GetFileAttributesW per path, and the ratio of the two;
//  - GetExcludeItems with 1000 items in the registry.

#include <tolvane.h>

#include "../BenchClock.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const wchar_t kBenchKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\BenchExclude";
constexpr int kPaths = 100000;
constexpr int kRounds = 3;

const unsigned short* U(const std::wstring& text)
{
    return reinterpret_cast<const unsigned short*>(text.c_str());
}

std::wstring Numbered(const wchar_t* format, int number)
{
    wchar_t text[64];
    swprintf(text, 64, format, number);
    return text;
}

// A registry key filled with szExclude values, deleted again at the end.
class BenchKey {
public:
    BenchKey()
    {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kBenchKey);
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kBenchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &m_key, nullptr);
    }
    ~BenchKey()
    {
        RegCloseKey(m_key);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kBenchKey);
    }
    void Add(const std::wstring& text)
    {
        const std::wstring name = Numbered(L"szExclude%04d", m_count++);
        RegSetValueExW(m_key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

private:
    HKEY m_key = nullptr;
    int m_count = 0;
};

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

void Touch(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

} // namespace

int main()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + Numbered(L"bench_exclude_%u", static_cast<int>(GetCurrentProcessId()));
    CreateDirectoryW(root.c_str(), nullptr);

    // 50 items: plain folders, folders with everything below them, single
    // and double extensions, file names, and lists of alternatives.
    BenchKey key;
    for (int i = 0; i < 15; ++i)
        key.Add(root + Numbered(L"\\plain%02d", i));
    for (int i = 0; i < 10; ++i)
        key.Add(root + Numbered(L"\\deep%02d\\*", i));
    for (int i = 0; i < 10; ++i)
        key.Add(Numbered(L"*.x%02d", i));
    for (int i = 0; i < 5; ++i)
        key.Add(Numbered(L"*.tar.z%02d", i));
    for (int i = 0; i < 5; ++i)
        key.Add(Numbered(L"name%02d.dat", i));
    for (int i = 0; i < 5; ++i)
        key.Add(Numbered(L"*.a%02d;", i) + Numbered(L"*.b%02d;?.c", i));

    // The folders exist; one path in fifty names an existing file.
    for (int i = 0; i < 15; ++i) {
        CreateDirectoryW((root + Numbered(L"\\plain%02d", i)).c_str(), nullptr);
        CreateDirectoryW((root + Numbered(L"\\deep%02d", i)).c_str(), nullptr);
        CreateDirectoryW((root + Numbered(L"\\deep%02d\\sub", i)).c_str(), nullptr);
        CreateDirectoryW((root + Numbered(L"\\keep%02d", i)).c_str(), nullptr);
    }

    std::vector<std::wstring> paths;
    paths.reserve(kPaths);
    for (int i = 0; i < kPaths; ++i) {
        const int n = i / 2;
        std::wstring path;
        if (i % 2 == 0) {   // excluded, by each form in turn
            switch (n % 5) {
            case 0: path = root + Numbered(L"\\plain%02d", n % 15) + Numbered(L"\\file%d.txt", n); break;
            case 1: path = root + Numbered(L"\\deep%02d\\sub", n % 10) + Numbered(L"\\file%d.txt", n); break;
            case 2: path = root + Numbered(L"\\keep%02d", n % 15) + Numbered(L"\\file%d", n) + Numbered(L".x%02d", n % 10); break;
            case 3: path = root + Numbered(L"\\keep%02d", n % 15) + Numbered(L"\\name%02d.dat", n % 5); break;
            default: path = root + Numbered(L"\\keep%02d", n % 15) + Numbered(L"\\f%d.tar", n) + Numbered(L".z%02d", n % 5); break;
            }
        } else {            // not excluded
            switch (n % 4) {
            case 0: path = root + Numbered(L"\\keep%02d", n % 15) + Numbered(L"\\file%d.txt", n); break;
            case 1: path = root + Numbered(L"\\deep%02d", n % 10) + Numbered(L"\\file%d.txt", n); break;
            case 2: path = root + Numbered(L"\\plain%02d\\sub", n % 15) + Numbered(L"\\file%d.x99", n); break;
            default: path = root + Numbered(L"\\keep%02d", n % 15) + Numbered(L"\\f%d.zip", n) + Numbered(L".z%02d", n % 5); break;
            }
        }
        if (i % 50 == 0)
            Touch(path);
        paths.push_back(path);
    }

    CExcludeHelper helper;
    helper.GetExcludeItems(U(kBenchKey));

    double bestFloor = 1e9;
    double bestExcluded = 1e9;
    int excluded = 0;
    int existing = 0;
    for (int round = 0; round < kRounds; ++round) {
        double start = Now();
        existing = 0;
        for (const std::wstring& path : paths)
            existing += GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        bestFloor = std::min(bestFloor, Now() - start);

        start = Now();
        excluded = 0;
        for (const std::wstring& path : paths)
            excluded += helper.IsExcluded(U(path));
        bestExcluded = std::min(bestExcluded, Now() - start);
    }

    std::printf("paths: %d (%d excluded, %d existing files), items: 50 (+ pagefile.sys), best of %d rounds\n",
                kPaths, excluded, existing, kRounds);
    std::printf("GetFileAttributesW (floor): %10.0f calls/s  %7.2f us/call\n",
                kPaths / bestFloor, bestFloor * 1e6 / kPaths);
    std::printf("IsExcluded:                 %10.0f calls/s  %7.2f us/call\n",
                kPaths / bestExcluded, bestExcluded * 1e6 / kPaths);
    std::printf("ratio IsExcluded / floor:   %10.2fx (goal at most 1.50x)\n", bestExcluded / bestFloor);

    // GetExcludeItems with 1000 registry items.
    {
        BenchKey many;
        for (int i = 0; i < 1000; ++i)
            many.Add(root + Numbered(L"\\folder%04d", i));
        CExcludeHelper loader;
        constexpr int kLoads = 20;
        int items = 0;
        const double start = Now();
        for (int i = 0; i < kLoads; ++i) {
            unsigned short* const* array = loader.GetExcludeItems(U(kBenchKey));
            for (items = 0; array && array[items]; ++items) {}
        }
        const double perLoad = (Now() - start) / kLoads;

        // The registry's own share: one enumeration and the two queries of
        // a string read per value.
        HKEY raw = nullptr;
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, kBenchKey, 0, KEY_READ, &raw);
        const double rawStart = Now();
        for (int i = 0; i < kLoads; ++i) {
            wchar_t name[2048];
            wchar_t data[512];
            for (DWORD index = 0;; ++index) {
                DWORD nameChars = 2048;
                if (RegEnumValueW(raw, index, name, &nameChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                    break;
                DWORD type = 0;
                DWORD bytes = 0;
                RegQueryValueExW(raw, name, nullptr, &type, nullptr, &bytes);
                bytes = sizeof data;
                RegQueryValueExW(raw, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &bytes);
            }
        }
        const double rawPerLoad = (Now() - rawStart) / kLoads;
        RegCloseKey(raw);
        std::printf("GetExcludeItems, 1000 registry items: %d items per load, %.2f ms/load "
                    "(registry calls alone: %.2f ms)\n", items, perLoad * 1e3, rawPerLoad * 1e3);
    }

    RemoveTree(root);
    return excluded == kPaths / 2 ? 0 : 1;
}
