// Runs the special-access export under this process's identity and reports
// the descriptor it builds for it. Usage: host_descriptor_probe FILE.
// FILE is created with CreateFileSpecialAccess and then receives one line per
// entry of the caller's descriptor: "SID mask type flags" (hexadecimal).
#include <windows.h>
#include <sddl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "host/SAccess.h"
#include "tolvane/Functions.h"

int main()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (count < 2)
        return 2;
    if (!CreateFileSpecialAccess(arguments[1]))
        return 3;

    Host::CSecureFileAttributes attributes;
    Host::BuildCallerFileAttributes(attributes);
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    ACL* acl = nullptr;
    GetSecurityDescriptorDacl(attributes.Seal()->lpSecurityDescriptor, &present, &acl, &defaulted);

    std::string report;
    for (DWORD i = 0; acl != nullptr && i < acl->AceCount; ++i) {
        void* ace = nullptr;
        GetAce(acl, i, &ace);
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        char* sid = nullptr;
        ConvertSidToStringSidA(&allowed->SidStart, &sid);
        char line[256];
        snprintf(line, sizeof line, "%s %08lx %02x %02x\r\n", sid, allowed->Mask,
                 allowed->Header.AceType, allowed->Header.AceFlags);
        LocalFree(sid);
        report += line;
    }

    HANDLE file = CreateFileW(arguments[1], GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 4;
    DWORD written = 0;
    WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
