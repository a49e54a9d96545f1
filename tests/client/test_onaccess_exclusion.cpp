// COnAccExcl through Tolvane.dll against the sample driver interface
// libraries of the build, installed into a test installation folder. The
// sample library appends every call it receives to the file named by
// TRENNIX_RECORD.

#include <gtest/gtest.h>

#include <tolvane.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

const wchar_t kClientKey[] = L"SOFTWARE\\Tavrel\\Orbisk";

// A temporary installation: "szInstallDir" names a temp folder whose Kelmo
// sub-folder holds the given build of the sample library as Trennix.DLL,
// and TRENNIX_RECORD names a record file inside it.
class TestInstallation {
public:
    TestInstallation(const wchar_t* libraryBuild, bool trailingBackslash)
        : m_key(HKEY_LOCAL_MACHINE, kClientKey)
    {
        m_root.MakeFolder(L"Kelmo");
        m_libraryPath = m_root.Join(L"Kelmo\\Trennix.DLL");
        if (libraryBuild) {
            const std::wstring source = testsupport::ModuleFolder() + L"\\" + libraryBuild;
            EXPECT_TRUE(CopyFileW(source.c_str(), m_libraryPath.c_str(), FALSE))
                << "missing sample build " << testsupport::Narrow(source);
        }
        m_key.SetString(L"szInstallDir", m_root.Path() + (trailingBackslash ? L"\\" : L""));
        m_recordPath = m_root.Join(L"record.txt");
        SetEnvironmentVariableW(L"TRENNIX_RECORD", m_recordPath.c_str());
    }
    ~TestInstallation() { SetEnvironmentVariableW(L"TRENNIX_RECORD", nullptr); }

    std::vector<std::string> Record() const
    {
        if (!testsupport::FileExists(m_recordPath))
            return {};
        return testsupport::ReadLines(m_recordPath);
    }
    bool LibraryLoaded() const { return GetModuleHandleW(m_libraryPath.c_str()) != nullptr; }

private:
    testsupport::TempFolder m_root;
    testsupport::ScopedRegistryKey m_key;
    std::wstring m_libraryPath;
    std::wstring m_recordPath;
};

using Lines = std::vector<std::string>;

// The handle that the record's OnAccess_Init line reports, or "".
std::string StoredHandle(const Lines& record)
{
    const std::string prefix = "OnAccess_Init handle=";
    for (const std::string& line : record) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return line.substr(prefix.size(), line.find(' ', prefix.size()) - prefix.size());
    }
    return "";
}

TEST(OnAccessExclusion, RequestsReachTheDriverWithTheStoredHandle)
{
    for (bool trailingBackslash : {false, true}) {
        SCOPED_TRACE(trailingBackslash ? "install folder ends with a backslash" : "install folder without backslash");
        TestInstallation installation(L"Trennix.DLL", trailingBackslash);
        {
            COnAccExcl exclusion;
            exclusion.ExcludeThisProcess(1);   // not connected yet: nothing is sent
            exclusion.Init();
            EXPECT_TRUE(installation.LibraryLoaded());
            exclusion.ExcludeThisProcess(5);
            exclusion.ExcludeThisProcess(0);
            exclusion.ExcludeThisProcess(-1);
        }
        EXPECT_FALSE(installation.LibraryLoaded());

        const Lines record = installation.Record();
        const std::string handle = StoredHandle(record);
        ASSERT_EQ(18u, handle.size()) << "no handle stored by OnAccess_Init";
        EXPECT_NE("0x0000000000000000", handle);
        const Lines expected = {
            "load",
            "OnAccess_Init handle=" + handle + " result=0",
            "OnAccess_CallDriver handle=" + handle + " request=19 args=0x0,0x0,0x0,0",
            "OnAccess_CallDriver handle=" + handle + " request=20 args=0x0,0x0,0x0,0",
            "OnAccess_CallDriver handle=" + handle + " request=19 args=0x0,0x0,0x0,0",
            "unload",   // unloaded by the destructor, without OnAccess_End or request 20
        };
        EXPECT_EQ(expected, record);
    }
}

TEST(OnAccessExclusion, LibrariesThatAreNotAcceptedReceiveNoRequest)
{
    const struct {
        const char* what;
        const wchar_t* libraryBuild;
        Lines expected;
    } cases[] = {
        {"OnAccess_End missing", L"Trennix_WithoutEnd.DLL", {"load", "unload"}},
        {"OnAccess_Init fails", L"Trennix_InitFails.DLL",
         {"load", "OnAccess_Init handle=0x0000000000000000 result=1", "unload"}},
        {"no library in the installation", nullptr, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestInstallation installation(c.libraryBuild, false);
        COnAccExcl exclusion;
        exclusion.Init();
        EXPECT_FALSE(installation.LibraryLoaded());   // unloaded again by Init
        exclusion.ExcludeThisProcess(1);
        exclusion.ExcludeThisProcess(0);
        EXPECT_EQ(c.expected, installation.Record());
    }
}

} // namespace
