// COnAccExcl against the sample driver interface libraries of the build. The sample library appends every call it
// receives to the file TRENNIX_RECORD. Kelmo also holds TrennixHelper.dll, which one variant imports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LogCapture.h"
#include "TestSupport.h"
#include "tolvane/OnAccExcl.h"

namespace {

using Lines = std::vector<std::string>;

// Requests go out only after a successful Init, each with the handle that OnAccess_Init stored; the destructor unloads
// the library without OnAccess_End or request 20. Only a missing installation folder is logged.
TEST(OnAccessExclusion, RequestsReachTheDriverOnlyAfterASuccessfulInit)
{
    const std::string call = "OnAccess_CallDriver handle=H request=";
    const Lines connected = {"load", "OnAccess_Init handle=H result=0", call + "19 args=0x0,0x0,0x0,0",
                             call + "20 args=0x0,0x0,0x0,0", call + "19 args=0x0,0x0,0x0,0", "unload"};
    // The library built, installed as Kelmo\Trennix.DLL; whether "szInstallDir" names the folder; the calls recorded,
    // H standing for the handle in the OnAccess_Init line; the messages logged.
    const struct { const wchar_t* libraryBuild; bool registered; Lines record, logged; } cases[] = {
        {L"Trennix.DLL", true, connected, {}}, {L"Trennix_WithHelper.DLL", true, connected, {}},   // its import lies only in Kelmo
        {L"Trennix_WithoutEnd.DLL", true, {"load", "unload"}, {}},
        {L"Trennix_InitFails.DLL", true, {"load", "OnAccess_Init handle=H result=1", "unload"}, {}},
        {nullptr, true, {}, {}}, {L"Trennix.DLL", false, {}, {"Unable to load the Trennix.DLL library from "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        testsupport::TempFolder root;
        testsupport::ScopedRegistryKey key(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk");
        const std::wstring library = root.Join(L"Kelmo\\Trennix.DLL"), record = root.Join(L"record.txt");
        ASSERT_TRUE(!c.libraryBuild || testsupport::CopyBuilt(c.libraryBuild, library));
        ASSERT_TRUE(testsupport::CopyBuilt(L"helper-only\\TrennixHelper.dll", root.Join(L"Kelmo\\TrennixHelper.dll")));
        if (c.registered)
            key.SetString(L"szInstallDir", root.Path());
        SetEnvironmentVariableW(L"TRENNIX_RECORD", record.c_str());
        testsupport::LogCapture capture;
        {
            COnAccExcl exclusion;
            exclusion.ExcludeThisProcess(1);   // not connected yet: nothing is sent
            exclusion.Init();
            EXPECT_EQ(c.record == connected, GetModuleHandleW(library.c_str()) != nullptr);
            for (int exclude : {5, 0, -1})
                exclusion.ExcludeThisProcess(exclude);
        }
        SetEnvironmentVariableW(L"TRENNIX_RECORD", nullptr);
        EXPECT_EQ(nullptr, GetModuleHandleW(library.c_str()));
        Lines lines = testsupport::ReadLines(record);
        const size_t at = lines.size() > 1 ? lines[1].find("handle=0x") : std::string::npos;
        const std::string handle = at == std::string::npos ? "no handle" : lines[1].substr(at + 7, 18);
        for (std::string& line : lines)
            if (line.find(handle) != std::string::npos)
                line.replace(line.find(handle), handle.size(), "H");
        EXPECT_EQ(c.record, lines);
        EXPECT_EQ(c.logged, capture.Messages());
        for (const auto& event : capture.events)
            EXPECT_TRUE(event.level == LogUtils::Error && event.category == "Tolvane" && !event.hasError);
    }
}

} // namespace
