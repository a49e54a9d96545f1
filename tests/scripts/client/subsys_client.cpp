// A client program built the way a product component links Tolvane.dll:
// the umbrella header and the import library of an installed copy.
#include <tolvane.h>

#include <cstdio>

int main()
{
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk\\zeSSCM\\OnAccess", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    int answers[4];
    const DWORD values[] = {0, 1, 2, 3};
    for (int i = 0; i < 4; ++i) {
        RegSetValueExW(key, L"dwAttrib", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&values[i]), 4);
        answers[i] = IsSubSysEnabled(0);
    }
    RegCloseKey(key);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk\\zeSSCM");
    std::printf("answers %d %d %d %d missing %d\n", answers[0], answers[1], answers[2], answers[3],
                IsSubSysEnabled(0));
    return 0;
}
