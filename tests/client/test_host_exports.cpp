// The host service exports as a client program sees them through
// Tolvane.dll: special-access files on disk, and the help shown through
// the shell or as the installed help file.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "../unit/help_recorder.h"
#include "TestSupport.h"
#include "tolvane.h"

using testsupport::Narrow;
using testsupport::ScopedRegistryKey;
using testsupport::TempFolder;

TEST(HostExports, CreateFileSpecialAccessCreatesOrEmptiesFiles)
{
    TempFolder folder;
    testsupport::WriteFileBytes(folder.Join(L"old.dat"), "previous contents");
    struct Case {
        const wchar_t* name;
        BOOL result;
        DWORD error;
    };
    const Case cases[] = {
        {L"fresh.dat", TRUE, 0},
        {L"old.dat", TRUE, 0},
        {L"no such folder\\file.dat", FALSE, ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        const std::wstring path = folder.Join(c.name);
        SCOPED_TRACE(Narrow(path));
        BOOL result = CreateFileSpecialAccess(path.c_str());
        DWORD error = GetLastError();
        EXPECT_EQ(result, c.result);
        if (c.result) {
            EXPECT_EQ(testsupport::ReadFileBytes(path), "");
            testsupport::WriteFileBytes(path, "report");
            EXPECT_EQ(testsupport::ReadFileBytes(path), "report");
        } else {
            EXPECT_EQ(error, c.error);
            EXPECT_FALSE(testsupport::FileExists(path));
        }
    }
}

TEST(HostExports, DisplayKelmoHelpOpensTheAddressOrTheHelpFile)
{
    const wchar_t scheme[] = L"tolvaneclienthelp";
    const std::wstring address = std::wstring(scheme) + L":index";
    struct Case {
        const char* name;
        const wchar_t* helpUrl;   // null: none configured
        bool handlerRuns;
        bool helpFileRuns;
    };
    const Case cases[] = {
        {"address", address.c_str(), true, false},
        {"no address", nullptr, false, true},
        {"address nobody opens", L"tolvanenobody:index", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        folder.MakeFolder(L"Agent");
        ScopedRegistryKey client(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk");
        client.SetString(L"szInstallDir", folder.Path() + L"\\");
        ScopedRegistryKey agent(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk\\Agent");
        if (c.helpUrl)
            agent.SetString(L"szHelpURL", c.helpUrl);
        ScopedRegistryKey schemeKey(HKEY_CLASSES_ROOT, scheme);
        schemeKey.SetString(L"URL Protocol", L"");
        ScopedRegistryKey command(HKEY_CLASSES_ROOT, std::wstring(scheme) + L"\\shell\\open\\command");
        command.SetString(L"", L"\"" + folder.Join(L"handler.exe") + L"\" \"%1\"");
        const std::wstring handlerRecord = hosttest::InstallRecorder(folder.Join(L"handler.exe"));
        const std::wstring helpFile = folder.Join(L"Agent\\qxhelp.chm");
        const std::wstring helpRecord = hosttest::InstallRecorder(helpFile);

        DisplayKelmoHelp();

        // Whichever was started writes its record; then the other must not have run.
        const std::wstring& started = c.handlerRuns ? handlerRecord : helpRecord;
        const std::wstring& skipped = c.handlerRuns ? helpRecord : handlerRecord;
        std::vector<std::string> received = hosttest::WaitForRecord(started);
        if (c.handlerRuns) {
            ASSERT_EQ(received.size(), 2u);
            EXPECT_EQ(received[1], Narrow(address));
        } else {
            // The install folder ends with a backslash; the path has exactly one.
            EXPECT_EQ(received, std::vector<std::string>{Narrow(helpFile)});
        }
        EXPECT_FALSE(testsupport::FileExists(skipped));
    }
}
