// Report files: CReportFile, the temporary names in the upload folder, the
// special-access creation, the UTF-8 write with its rename, and the
// system-status report of the base class.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../client/report_sandbox.h"
#include "LogCapture.h"
#include "TestSupport.h"
#include "report_probe.h"

using reporttest::ProbeReport;
using reporttest::ReportSandbox;
using testsupport::FileExists;
using testsupport::ReadFileBytes;

namespace {

std::vector<std::string> Messages(const testsupport::LogCapture& log, const char* category)
{
    std::vector<std::string> messages;
    for (const auto& event : log.events)
        if (event.category == category)
            messages.push_back(event.message);
    return messages;
}

TEST(ReportFile, OpenModesAndReadOnlyFlag)
{
    testsupport::TempFolder folder;
    const std::wstring path = folder.Join(L"file.txt");
    testsupport::WriteFileBytes(path, "abc");
    const struct {
        unsigned int mode;
        bool canWrite;
    } cases[] = {{0, false}, {1, true}, {2, false}, {3, false}, {9, false}};
    for (const auto& c : cases) {
        CReportFile file(path.c_str());
        ASSERT_NE(0, file.Open(c.mode)) << c.mode;
        EXPECT_EQ(c.canWrite ? 1u : 0u, file.Write("x", 1)) << c.mode;
        EXPECT_NE(0, file.Close());
        EXPECT_EQ(0, file.Close());
    }
    CReportFile missing(folder.Join(L"missing.txt").c_str());
    EXPECT_EQ(0, missing.Open(1));
    EXPECT_EQ(0u, missing.Write("x", 1));
    EXPECT_EQ(0u, missing.GetSize());
}

TEST(ReportFile, WriteTextAppendsUtf8WithoutByteOrderMark)
{
    testsupport::TempFolder folder;
    const std::wstring path = folder.Join(L"report.xml");
    testsupport::WriteFileBytes(path, "");
    CReportFile file(path.c_str());
    ASSERT_NE(0, file.Open(1));
    EXPECT_EQ(4u, file.WriteText(CMyString(L"<a>\n")));
    EXPECT_EQ(10u, file.WriteText(CMyString(L"\u00e4\u20ac\U0001D11E!")));   // 2 + 3 + 4 + 1 bytes
    EXPECT_EQ(0u, file.WriteText(CMyString(L"")));
    EXPECT_EQ(0u, file.WriteText(CMyString()));
    file.Close();
    EXPECT_EQ("<a>\n\xC3\xA4\xE2\x82\xAC\xF0\x9D\x84\x9E!", ReadFileBytes(path));
}

TEST(ReportFile, GetSizeKeepsThePosition)
{
    testsupport::TempFolder folder;
    const std::wstring path = folder.Join(L"data.bin");
    testsupport::WriteFileBytes(path, "0123456789");
    CReportFile file(path.c_str());
    ASSERT_NE(0, file.Open(0));
    char buffer[4] = {};
    EXPECT_EQ(3u, file.Read(buffer, 3));
    EXPECT_EQ(10u, file.GetSize());
    EXPECT_EQ(2u, file.Read(buffer, 2));
    EXPECT_EQ("34", std::string(buffer, 2));
}

TEST(ReportFileName, CopiesAtMostLengthCharacters)
{
    ReportSandbox sandbox;
    ProbeReport report;
    wchar_t buffer[16];
    wmemset(buffer, L'#', 16);
    ASSERT_EQ(1, report.GetReportFileName(buffer, 10));
    EXPECT_EQ(sandbox.UploadFolder().substr(0, 10), std::wstring(buffer, 10));
    EXPECT_EQ(L'#', buffer[10]);   // no terminator added
}

TEST(ReportFileName, NoNameWithoutUsableUploadFolder)
{
    const struct {
        const char* name;
        int setup;   // 0 no configuration key, 1 no value, 2 parent folder missing, 3 value a number
    } cases[] = {{"no key", 0}, {"no value", 1}, {"parent missing", 2}, {"number", 3}};
    for (const auto& c : cases) {
        ReportSandbox sandbox;
        if (c.setup == 0)
            testsupport::DeleteRegistryTree(HKEY_LOCAL_MACHINE, reporttest::kUploadConfigKey);
        else if (c.setup == 1)
            sandbox.upload.DeleteValue(L"szUploadFrom");
        else if (c.setup == 2)
            sandbox.upload.SetString(L"szUploadFrom", sandbox.folder.Join(L"Missing\\Upload"));
        else
            sandbox.upload.SetDword(L"szUploadFrom", 5);
        testsupport::LogCapture log;
        ProbeReport report;
        wchar_t name[261] = {};
        EXPECT_EQ(0, report.GetReportFileName(name, 260)) << c.name;
        EXPECT_STREQ(L"", name) << c.name;
        EXPECT_FALSE(FileExists(sandbox.folder.Join(L"Missing"))) << c.name;
        EXPECT_TRUE(Messages(log, "Wexmoor").empty()) << c.name;
    }
}

TEST(ReportFiles, CreateXmlFileMakesANewEmptyFileOnly)
{
    testsupport::TempFolder folder;
    const std::wstring path = folder.Join(L"CIOtest.tmp");
    ProbeReport report;
    EXPECT_NE(0, report.CreateXmlFile(path.c_str()));
    EXPECT_EQ("", ReadFileBytes(path));
    testsupport::WriteFileBytes(path, "kept");
    testsupport::LogCapture log;
    EXPECT_EQ(0, report.CreateXmlFile(path.c_str()));
    EXPECT_EQ("kept", ReadFileBytes(path));
    EXPECT_EQ(std::vector<std::string>{"Failed to create file"}, Messages(log, "Wexmoor"));
}

TEST(ReportFiles, WriteToXmlFileWritesUtf8AndRenames)
{
    const struct {
        const wchar_t* content;   // null: no text
        std::string bytes;
    } cases[] = {
        {L"<Root>\u00fc</Root>\r\n", "<Root>\xC3\xBC</Root>\r\n"},
        {L"", ""},
        {nullptr, ""},
    };
    for (const auto& c : cases) {
        testsupport::TempFolder folder;
        const std::wstring temporary = folder.Join(L"CIOname.tmp");
        CMyString missingContent(L"x");
        ProbeReport withoutFile;
        EXPECT_EQ(0, withoutFile.WriteToXmlFile(temporary.c_str(), missingContent));
        EXPECT_FALSE(FileExists(folder.Join(L"CIOname.xml")));
        testsupport::WriteFileBytes(temporary, "");
        CMyString content;
        if (c.content)
            content = c.content;
        testsupport::LogCapture log;
        ProbeReport report;
        EXPECT_NE(0, report.WriteToXmlFile(temporary.c_str(), content));
        EXPECT_FALSE(FileExists(temporary));
        EXPECT_EQ(c.bytes, ReadFileBytes(folder.Join(L"CIOname.xml")));
        // The messages end with a line feed, which the front end drops.
        EXPECT_EQ((std::vector<std::string>{"CreateFile()..", " Starting to write to file.",
                                            "Successfully written"}),
                  Messages(log, "Wexmoor"));
    }
}

TEST(ReportFiles, WriteToXmlFileKeepsANameThatCannotTakeTheExtension)
{
    // 517 characters without a full stop: ".xml" does not fit into 519.
    testsupport::TempFolder folder;
    const std::wstring nested =
        folder.MakeFolder(std::wstring(200, L'n') + L"\\" + std::wstring(200, L'n'));
    std::wstring temporary = nested + L"\\";
    temporary.append(517 - temporary.size(), L'm');
    ASSERT_EQ(std::wstring::npos, temporary.find(L'.'));
    testsupport::WriteFileBytes(temporary, "");
    ASSERT_TRUE(FileExists(temporary));
    CMyString content(L"x");
    testsupport::LogCapture log;
    ProbeReport report;
    EXPECT_EQ(1, report.WriteToXmlFile(temporary.c_str(), content));
    EXPECT_EQ("x", ReadFileBytes(temporary));
    const std::vector<std::string> messages = Messages(log, "Wexmoor");
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ("StringCchCopy Failed in GetTokenCount", messages.back());
}

TEST(ReportFiles, WriteReportMakesAStatusReport)
{
    ReportSandbox sandbox;
    testsupport::LogCapture log;
    ProbeReport report;
    report.content = L"<Status/>";
    EXPECT_NE(0, report.WriteReport(nullptr));
    std::vector<std::wstring> files = sandbox.Files();
    ASSERT_EQ(1u, files.size());
    EXPECT_EQ(L".xml", files[0].substr(files[0].size() - 4));
    EXPECT_EQ("<Status/>", ReadFileBytes(sandbox.UploadFolder() + L"\\" + files[0]));

    std::vector<std::string> messages = Messages(log, "Wexmoor");
    const std::string created = "zeUpload: CreateXmlFile(" +
        testsupport::Narrow(sandbox.UploadFolder() + L"\\" + files[0].substr(0, files[0].size() - 4)) +
        ".tmp)..";
    const std::vector<std::string> expected = {
        "zeUpload: GetReportFileName..", created, "zeUpload: WriteToXmlFile..", "CreateFile()..",
        " Starting to write to file.", "Successfully written",
        "Successfully written System Status XML Report"};
    ASSERT_GE(messages.size(), expected.size());
    EXPECT_EQ(expected, std::vector<std::string>(messages.end() - expected.size(), messages.end()));
}

} // namespace
